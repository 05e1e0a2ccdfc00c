// A minimal SOCKS 4 relay for tests: reads a CONNECT request, reaches the destination on this machine,
// answers with the configured result code and then relays bytes both ways.
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

class CSocksRelay
{
public:
    CSocksRelay();
    ~CSocksRelay();
    CSocksRelay(const CSocksRelay&) = delete;
    CSocksRelay& operator=(const CSocksRelay&) = delete;

    bool Listen(uint16_t port = 0);
    uint16_t Port() const { return mListener.Port(); }
    // 90 grants; anything else refuses (the relay then closes). The reply goes out in pieces of
    // replyPieceSize bytes, one per turn of the loop (0 = all at once).
    void SetResult(uint8_t code) { mResult = code; }
    void SetReplyPieceSize(uint32_t bytes) { mReplyPieceSize = bytes; }
    // Takes the request and never answers, keeping the connection open: a firewall that hangs.
    void SetSilent(bool on) { mSilent = on; }

    // The request bytes of the last client (version, command, port, address, user id and its 0).
    const std::string& LastRequest() const { return mLastRequest; }
    uint32_t RequestCount() const { return mRequestCount; }

private:
    struct SSession;
    void Adopt(int fd);
    void ClientInput(SSession& s);
    void Reply(SSession& s, uint8_t code);

    CTestListener mListener{[this](int fd) { Adopt(fd); }};
    uint8_t mResult = 90;
    uint32_t mReplyPieceSize = 0;
    bool mSilent = false;
    std::string mLastRequest;
    uint32_t mRequestCount = 0;
    std::vector<std::unique_ptr<SSession>> mSessions;
};
