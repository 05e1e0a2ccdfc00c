// The chat feature's owner: the lines the client writes into the public and private chat windows as the
// user's options show them, the session's conversation logs, and the state of the conversations that is
// not on the screen: the scrambling of the hidden "scramble" command (its two tables, made with the first
// key), the pork mode of the hidden "pork" command, and who was answered by the automatic response or the
// refusal lately.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "client/chat/CMyAutoReplies.h"
#include "client/chat/UMyChatLine.h"
#include "client/core/CMyChatLog.h"
#include "framework/runtime/UDateTime.h"

class CMySession;
class CMyWindowSet;
class CMyOldChatWin;
class CMyChatWin;
struct SMySettings;
struct SUserEntry;

struct SHitMsgData;
class CWindow;
class CMyChat
{
public:
    // The settings say how lines look and whether they are logged; the session names the server of the
    // logs; the window set holds the public chat window.
    CMyChat(const SMySettings& settings, const CMySession& session, CMyWindowSet& windows);
    CMyChat(const CMyChat&) = delete;
    CMyChat& operator=(const CMyChat&) = delete;

    // A line into the public chat window or a private chat window, as the user's options show it: with
    // the time, his own lines set apart, lines that name him highlighted and noticed.
    template <class TChatWin>
    SMyChatLine ShowLine(TChatWin* window, const void* text, uint32_t size);
    // A line of a conversation (Mac OS Roman) into the session's log, when the user keeps logs: `where`
    // names the conversation ("private chat 3", "message from Robin"), empty for the public chat.
    void LogConversation(const std::string& where, const void* text, uint32_t size);
    // A connection to `address` named `name` (length-prefixed) begins: the public chat keeps the
    // scrollback of the same server, below a line that says so, and starts empty for another.
    void StartPublicChatFor(const uint8_t* address, const uint8_t* name);
    // The public chat's text goes.
    void ClearPublicChat();
    // A user dropped on the private chat window `window` is invited to its chat: the drop carries the
    // dragged user's id and the chat's, each 32 bits in the machine's order.
    void InviteDropped(CWindow* window, const SHitMsgData& drop);
    // A user's icon, flags or name changed (301), after the online users list took the change. `oldName`
    // is the name that list knew (full length, never cut), null when the user was not listed.
    void ShowUserChange(const SUserEntry& user, const uint8_t* oldName);
    // A user of private chat `chat` changed icon, flags or name, or joined it.
    void ShowMemberChange(CMyChatWin* chat, const SUserEntry& user);
    // A user left the server (302): a line in the public chat when the options ask for one.
    void ShowUserLeft(const uint8_t* name);

    // On with a key of three characters (length-prefixed), off with a key of any other length; the
    // tables of the last key stay for the next time it is switched on.
    void SetScrambling(const uint8_t* key);
    bool IsScrambling() const { return mScramChat; }
    // What the user typed, scrambled and marked when scrambling is on.
    void ScrambleOutgoing(std::string& text) const;
    // A public chat line as the server sent it, with the speaker's name and a colon before the text:
    // a marked line is unscrambled in place and its mark shown, while scrambling is on.
    void UnscrambleIncoming(uint8_t* line, uint32_t size) const;

    // Every public chat line the user sends is one of the pork lines instead.
    void SetPorkMode() { mPorkMode = true; }
    bool IsPorkMode() const { return mPorkMode; }
    static const char* PorkLine();

    CMyAutoReplies& AutoReplies() { return mAutoReplies; }

    // The logs of the session numbered `serial` with the server at `address` ("host:port").
    CMyChatLog& Log() { return mLog; }
    void UseLogFor(uint32_t serial, const std::string& address)
    {
        if (serial == mLogSerial) return;
        mLogSerial = serial;
        mLog.Begin(address);
    }
    // The server the public chat's scrollback belongs to.
    std::string& PublicChatServer() { return mPublicChatServer; }

    // The online users list of the session numbered `serial` has arrived: users who join or leave after
    // it are told in the public chat, the ones of the list itself are not.
    void SetUserListArrived(uint32_t serial) { mUserListSerial = serial; }
    bool HasUserListArrived(uint32_t serial) const { return serial && mUserListSerial == serial; }

private:
    // How lines look now, for a line that arrives at `now`.
    const SMyChatLineStyle& LineStyle(const SCalendarDate& now);
    void LogAt(const SCalendarDate& now, const std::string& where, const void* text, uint32_t size);

    const SMySettings& mSettings;
    const CMySession& mSession;
    CMyWindowSet& mWindows;
    std::unique_ptr<uint8_t[]> mScramTable;
    std::unique_ptr<uint8_t[]> mUnscramTable;
    bool mScramChat = false;
    bool mPorkMode = false;
    uint32_t mUserListSerial = 0;
    CMyChatLog mLog;
    uint32_t mLogSerial = 0;
    SCalendarDate mLogMinute{};
    std::string mLogDate, mLogTime;
    SMyChatLineStyle mStyle;
    std::string mStyleWordsFrom;
    std::string mPublicChatServer;
    CMyAutoReplies mAutoReplies;
};
