// What a small server knows: accounts and guests, who is online, the news, the agreement and the
// access bits it grants. The local server asks it for the answers it has no script for, so tests and
// the demo server see a server that behaves like one.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/testserver/CSharedFolder.h"
#include "tools/testserver/TestWire.h"

class CTestServer;
class CTransferServer;
struct STestReply;

using SAccessBits = std::array<uint8_t, 8>;

struct SServerAccount
{
    std::string password;
    std::string name; // the name the account shows when the client gives none
    SAccessBits access{};
};

struct SServerUser
{
    uint16_t id = 0;
    int16_t icon = 0;
    uint16_t flags = 0;
    std::string name;
};

class CServerModel
{
public:
    // Accounts by login.
    std::map<std::string, SServerAccount> accounts;
    bool guestAllowed = true;
    SAccessBits guestAccess{};
    std::string news;
    std::string agreement;
    // A "Server Message" sent to every user right after their login (empty: none).
    std::string welcome;
    // The id the next private chat gets; later ones count up from it.
    uint32_t nextChatID = 1;
    // Users that are always listed as online, as if connected from elsewhere.
    std::vector<SServerUser> extraUsers;
    // Logins of accounts that were banned: their logins are refused for the rest of the run.
    std::set<std::string> banned;
    // The transfer listener (on the transaction port + 1) that carries what file requests negotiate; not
    // owned. Without one, previews and transfers are refused.
    CTransferServer* transfers = nullptr;

    // The real folder shared with clients ("" shares nothing: the root is empty and every change is
    // refused). False when it is not a folder.
    bool ShareFolder(const std::string& folder);
    const std::string& SharedFolder() const { return mShared.Root(); }
    // Comments of shared items by their path below the shared folder; the server keeps them in memory.
    std::map<std::string, std::string> comments;

    // Answers a request of a connection. False when the model has no answer for that type.
    // `followUps` are transactions that go to the same connection right after the reply.
    bool Answer(CTestServer& server, uint32_t connection, const STestTransaction& request, STestReply& reply,
                std::vector<std::pair<uint16_t, std::string>>& followUps);
    void Disconnected(CTestServer& server, uint32_t connection);

    // Transactions the server starts: a server (1) or administrator (other) message to every user,
    // and a disconnect message to one connection.
    void SendServerMessage(CTestServer& server, const std::string& text, uint16_t kind);
    void SendDisconnectMessage(CTestServer& server, uint32_t connection, const std::string& text);

    bool IsLoggedIn(uint32_t connection) const;
    // The members of a private chat, as connections (none when there is no such chat).
    std::vector<uint32_t> ChatMembers(uint32_t chatID) const;
    std::string ChatSubject(uint32_t chatID) const;
    std::vector<SServerUser> OnlineUsers() const;
    // The login of a connection, or "" for a guest or a connection not logged in.
    std::string LoginOf(uint32_t connection) const;
    // The access bits a connection was given at login (or since, when its account changed).
    SAccessBits AccessOf(uint32_t connection) const;
    // Bit n is mask 0x80 >> (n % 8) of byte n / 8.
    static bool HasBit(const SAccessBits& access, uint32_t bit);

    static std::string Complement(std::string text);
    static SAccessBits AllAccess();

private:
    struct SSession
    {
        bool loggedIn = false;
        std::string login;
        SServerUser user;
        SAccessBits access{};
    };
    // One request being answered. Each feature's requests are answered in a file of its own; each
    // Answer… returns false for types that are not its own.
    struct SRequest
    {
        CTestServer& server;
        uint32_t connection;
        const STestTransaction& request;
        STestReply& reply;
        std::vector<std::pair<uint16_t, std::string>>& followUps;
        SSession& session;
    };
    bool AnswerSession(SRequest& r);   // ServerSession.cpp: login, online users, name and icon
    bool AnswerChat(SRequest& r);      // ServerChat.cpp: chat, private chats, private messages
    bool AnswerUsers(SRequest& r);     // ServerUsers.cpp: client information, accounts
    bool AnswerNews(SRequest& r);      // ServerNews.cpp
    bool AnswerFiles(SRequest& r);     // ServerFiles.cpp: listings, information, changes to the shared folder
    bool AnswerTransfers(SRequest& r); // ServerTransfers.cpp: previews, file downloads and uploads
    bool AnswerFolderDownload(SRequest& r); // ServerFolderTransfers.cpp
    // The file or folder a download names: inside the shared folder (an alias followed), of the kind asked
    // for, with transfers on and the right to download. Otherwise the request is refused and false returned.
    bool FindDownloadItem(SRequest& r, bool folder, std::string& outPath, struct stat& outStat);
    // Gives the transfer listener the handlers of file downloads and uploads (once per listener).
    void ServeFileTransfers(CTransferServer& server);
    CTransferServer* mServedTransfers = nullptr;

    // Comments follow their items when these are renamed or moved, and go with them.
    void MoveComments(const std::string& from, const std::string& to);
    void DropComments(const std::string& item);

    void NotifyOthers(CTestServer& server, uint32_t connection, uint16_t type, const std::string& body);
    void NotifyAll(CTestServer& server, uint16_t type, const std::string& body);
    // Refuses the request (and returns false) unless the requester has the access bit.
    static bool Require(SRequest& r, uint32_t bit, const char* refusal);
    bool AnswerAccounts(SRequest& r); // ServerUsers.cpp: creating, opening, changing, deleting accounts
    static std::string UserFields(const SServerUser& user);

    // A private chat: who is in it (connections, in the order they joined) and who was asked in.
    struct SChat
    {
        std::string subject;
        std::vector<uint32_t> members;
        std::vector<uint32_t> invited;
    };
    bool IsChatMember(uint32_t chatID, uint32_t connection) const;
    uint32_t ConnectionOfUser(uint16_t userID) const;
    void Invite(CTestServer& server, uint32_t chatID, uint32_t from, uint32_t to);
    void SendToChat(CTestServer& server, uint32_t chatID, uint16_t type, const std::string& body,
                    uint32_t except = 0);
    // A user who leaves the server leaves every chat; one who changes name or icon shows it there.
    void LeaveChat(CTestServer& server, uint32_t chatID, uint32_t connection);
    void LeaveAllChats(CTestServer& server, uint32_t connection);
    void ChatMemberChanged(CTestServer& server, uint32_t connection);

    std::map<uint32_t, SSession> mSessions;
    std::map<uint32_t, SChat> mChats;
    CSharedFolder mShared;
    uint16_t mNextUserID = 1;
};
