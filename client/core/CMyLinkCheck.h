// Asking a connection whether it is still there. After a sleep or a change of network a TCP connection
// can look open for minutes while nothing reaches the other end: the check sends a request the server
// must answer and, when no answer has come within kTimeoutMs, tells its owner that the link is dead.
#pragma once

#include <cstdint>
#include <functional>

#include "framework/net/UTransact.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

class CMyLinkCheck
{
public:
    static constexpr uint32_t kTimeoutMs = 10000;

    // `dead` runs when a check went unanswered.
    explicit CMyLinkCheck(std::function<void()> dead);
    CMyLinkCheck(const CMyLinkCheck&) = delete;
    CMyLinkCheck& operator=(const CMyLinkCheck&) = delete;

    // Checks `connection` now, unless a check is under way already.
    void Start(TTransactObj* connection);
    // Forgets the check (its connection is going).
    void Stop();
    bool IsChecking() const { return mRequest.Get() != nullptr; }

private:
    static void TimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);
    void Tick();

    std::function<void()> mDead;
    COwner<TTransactSessionObj, UTransact::DisposeSession> mRequest;
    COwner<TTimerObj, UTimer::Dispose> mTimer;
};
