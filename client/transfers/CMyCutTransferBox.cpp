#include "client/transfers/CMyCutTransferBox.h"

#include <utility>

#include "client/app/AppNumbers.h"
#include "client/boxes/UNoticeBox.h"
#include "framework/runtime/MessageProc.h"

CMyCutTransferBox::CMyCutTransferBox(std::function<bool(uint32_t)> holds)
    : mHolds(std::move(holds)), mTimer(UTimer::New(TimerProc, this))
{
}

void CMyCutTransferBox::TransferCut(uint32_t serial)
{
    // Lost already: the row says what happened and the transfer comes back with the session.
    if (mWaiting || !mHolds(serial)) return;
    mSerial = serial;
    mWaiting = true;
    UTimer::Start(mTimer, kGraceMs, false);
}

void CMyCutTransferBox::TimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg == kMsgTimer) static_cast<CMyCutTransferBox*>(context)->Tick();
}

void CMyCutTransferBox::Tick()
{
    if (!mWaiting) return;
    mWaiting = false;
    if (mHolds(mSerial)) UNoticeBox::ShowNumbered(kBoxTransferClosed);
}
