#include "tools/testserver/CTestListener.h"

#include <utility>

#include "platform/Socket.h"

CTestListener::CTestListener(std::function<void(int fd)> onAccept) : mOnAccept(std::move(onAccept)) {}

CTestListener::~CTestListener()
{
    Stop();
}

bool CTestListener::Listen(uint16_t port)
{
    Stop();
    if (platform::ListenLoopback(port, mFD, mPort) != 0) return false;
    mWatch = platform::WatchSocket(mFD, Event, this);
    platform::SetReadWatch(mWatch, true);
    return true;
}

void CTestListener::Stop()
{
    platform::UnwatchSocket(mWatch);
    mWatch = nullptr;
    platform::CloseSocket(mFD);
    mFD = -1;
    mPort = 0;
}

void CTestListener::Event(void* context, int event)
{
    if (event != platform::kSocketReadable) return;
    auto* self = static_cast<CTestListener*>(context);
    // Everything waiting is taken now: the watch reports readiness once for a queue of connections.
    int fd;
    while (self->mFD >= 0 && platform::AcceptConnection(self->mFD, fd) == 0)
        self->mOnAccept(fd);
}
