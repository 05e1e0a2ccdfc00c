// A listening socket on 127.0.0.1 for the local servers: it accepts whatever connects, as soon as the
// run loop says something is waiting, and hands each new connection's socket to its owner.
#pragma once

#include <cstdint>
#include <functional>

namespace platform
{
struct SocketWatchObj;
}

class CTestListener
{
public:
    explicit CTestListener(std::function<void(int fd)> onAccept);
    ~CTestListener();
    CTestListener(const CTestListener&) = delete;
    CTestListener& operator=(const CTestListener&) = delete;

    // Port 0 takes a free one; false when the port is taken.
    bool Listen(uint16_t port);
    void Stop();
    uint16_t Port() const { return mPort; }

private:
    static void Event(void* context, int event);

    std::function<void(int fd)> mOnAccept;
    int mFD = -1;
    platform::SocketWatchObj* mWatch = nullptr;
    uint16_t mPort = 0;
};
