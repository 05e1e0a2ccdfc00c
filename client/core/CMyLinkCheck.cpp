#include "client/core/CMyLinkCheck.h"

#include <utility>

#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/SError.h"

CMyLinkCheck::CMyLinkCheck(std::function<void()> dead)
    : mDead(std::move(dead)), mTimer(UTimer::New(TimerProc, this))
{
}

void CMyLinkCheck::Start(TTransactObj* connection)
{
    if (IsChecking() || !connection) return;
    // The online users are something every server answers to everyone who logged in.
    StFieldData none;
    mRequest.Reset(UTransact::NewSendSession(connection, kTranGetOnlineUsers));
    UTransact::SendSessionData(mRequest, none);
    UTimer::Start(mTimer, kTimeoutMs, false);
}

void CMyLinkCheck::Stop()
{
    UTimer::Stop(mTimer);
    mRequest.Reset();
}

void CMyLinkCheck::TimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg == kMsgTimer) static_cast<CMyLinkCheck*>(context)->Tick();
}

void CMyLinkCheck::Tick()
{
    if (!IsChecking()) return;
    bool answered = false;
    try
    {
        answered = UTransact::IsSessionReceiveComplete(mRequest);
    }
    catch (const SError&)
    {
        // A request that failed on its own was not answered either.
    }
    mRequest.Reset();
    if (!answered && mDead) mDead();
}
