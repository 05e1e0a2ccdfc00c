// The local test tracker: listens on 127.0.0.1 and answers the tracker hello with a list of servers,
// as scripted: in batches, in pieces of a few bytes, with messages of other types between them, with a
// total other than the real count, or closing early. Used by tests and by the demo server. Like the test
// server it runs on the program's one thread; whoever drives it pumps the run loop.
#pragma once

#include "tools/testserver/CTestListener.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CTestSocket;
namespace platform
{
struct SocketWatchObj;
}

struct STestTrackedServer
{
    uint8_t address[4] = {127, 0, 0, 1};
    uint16_t port = 5500;
    uint16_t users = 0;
    std::string name;
    std::string desc;
};

class CTestTracker
{
public:
    enum class EHello
    {
        Accept,
        WrongMagic,   // answers with another signature
        WrongVersion, // answers with version 2
        Ignore,       // never answers
        Close,        // closes when the client's hello arrives
    };

    CTestTracker();
    ~CTestTracker();
    CTestTracker(const CTestTracker&) = delete;
    CTestTracker& operator=(const CTestTracker&) = delete;

    // 0 = any free port; false when that fails.
    bool Listen(uint16_t port = 0);
    uint16_t Port() const { return mListener.Port(); }

    void SetHello(EHello mode) { mHello = mode; }
    void SetServers(std::vector<STestTrackedServer> servers) { mServers = std::move(servers); }
    const std::vector<STestTrackedServer>& Servers() const { return mServers; }
    // Servers per server-list message (0: all in one).
    void SetBatchSize(uint32_t servers) { mBatchSize = servers; }
    // The total each message announces; negative: the real count.
    void SetAnnouncedTotal(int32_t total) { mAnnouncedTotal = total; }
    // A message of type 2 with this many bytes before every server list (0: none).
    void SetJunkSize(uint32_t bytes) { mJunkSize = bytes; }
    // At most this many bytes per write (0: as much as the network takes).
    void SetPieceSize(uint32_t bytes) { mPieceSize = bytes; }
    // Sends only the first message (and its junk) and then closes.
    void SetCloseBeforeTotal(bool on) { mCloseBeforeTotal = on; }
    // Closes right after the last byte of the reply.
    void SetCloseWhenSent(bool on) { mCloseWhenSent = on; }
    // Bytes sent after the hello instead of the scripted messages (empty: the script).
    void SetRawReply(const std::string& bytes) { mRawReply = bytes; }

    // The reply to a client hello, as scripted.
    std::string Reply() const;
    // One server-list message holding the given servers.
    static std::string ServerListMessage(uint16_t total, const std::vector<STestTrackedServer>& servers);
    static std::string Message(uint16_t type, const std::string& body);
    static std::string Record(const STestTrackedServer& server);

    uint32_t ConnectionCount() const { return mConnectionCount; }
    uint32_t HelloCount() const { return mHelloCount; }
    const std::string& LastHello() const { return mLastHello; }
    // Connections the client has closed (or that broke).
    uint32_t ClosedCount() const { return mClosedCount; }

private:
    struct SConnection;
    void Adopt(int fd);
    void Input(SConnection& c);

    CTestListener mListener{[this](int fd) { Adopt(fd); }};
    EHello mHello = EHello::Accept;
    std::vector<STestTrackedServer> mServers;
    uint32_t mBatchSize = 0;
    int32_t mAnnouncedTotal = -1;
    uint32_t mJunkSize = 0;
    uint32_t mPieceSize = 0;
    bool mCloseBeforeTotal = false;
    bool mCloseWhenSent = false;
    std::string mRawReply;
    std::vector<std::unique_ptr<SConnection>> mConnections;
    uint32_t mConnectionCount = 0;
    uint32_t mHelloCount = 0;
    uint32_t mClosedCount = 0;
    std::string mLastHello;
};
