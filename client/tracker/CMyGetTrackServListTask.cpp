#include "client/tracker/CMyGetTrackServListTask.h"

#include <cstring>

#include "client/core/CMySession.h"
#include "client/core/CMyTaskHost.h"
#include "client/core/UMyTrackerWire.h"
#include "client/tracker/CMyTracker.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/CApplication.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UTimer.h"

namespace
{
class CTransportSource : public CMyTrackerSource
{
public:
    explicit CTransportSource(TTransportObj* tpt) : mTpt(tpt) {}
    uint32_t Waiting() override { return UTransport::GetReceiveSize(mTpt); }
    uint32_t Read(void* buffer, uint32_t maxSize) override
    {
        return UTransport::Receive(mTpt, buffer, maxSize);
    }
    bool Closed() override { return !UTransport::IsConnected(mTpt); }

private:
    TTransportObj* mTpt;
};

// A tracker given as "host:port" is reached at that port; the protocol's own port otherwise.
bool HasPort(const uint8_t* address)
{
    const auto* colon = static_cast<const uint8_t*>(std::memchr(address + 1, ':', address[0]));
    return colon && colon + 1 < address + 1 + address[0] && colon[1] >= '0' && colon[1] <= '9';
}
} // namespace

CMyGetTrackServListTask::CMyGetTrackServListTask(CMyTracker& tracker, const uint8_t* address,
                                                 const uint8_t* name, int16_t trackID)
    : CMyTask(reinterpret_cast<const uint8_t*>("")), mTracker(tracker), mTrackID(trackID)
{
    mIsStandAlone = 1;
    mTrackerAddress.type = kInternetNameAddressType;
    mTrackerAddress.port = address && HasPort(address) ? 0 : UMyTrackerWire::kTrackerPort;
    if (address) std::memcpy(mTrackerAddress.name, address, size_t(address[0]) + 1);
    SetRowText(0, 1, "Listing Tracker \"%#s\"", name);
}

CMyGetTrackServListTask::~CMyGetTrackServListTask()
{
    mHelloTimer.Reset();
    if (!mIsFinished) mTracker.ConnectionRefused(mTrackID);
    if (mTpt) UTransport::Disconnect(mTpt);
}

bool CMyGetTrackServListTask::IsWaitingOnNetwork() const
{
    return mTpt && UTransport::GetReceiveState(mTpt) != UTransport::kReceiveDrained;
}

void CMyGetTrackServListTask::Process()
{
    if (mStage == 1)
    {
        mTpt.Reset(UTransport::New(kTransportStream));
        UTransport::SetMessageHandler(mTpt, CApplication::MessageHandler, CApplication::Get());
        const uint32_t size = GetAddressSize(mTrackerAddress);
        const SInternetNameAddress firewall = Host().Session().FirewallAddress();
        if (firewall.name[0])
            UTransport::StartConnectThruFirewall(mTpt, &mTrackerAddress, size, &firewall,
                                                 GetAddressSize(firewall));
        else
            UTransport::StartConnect(mTpt, &mTrackerAddress, size);
        // As long as a server gets for its handshake.
        mHelloTimer.Reset(UTimer::StartNew(HelloTimerProc, this, UTransact::kHandshakeTimeoutMs, false));
        mStage = 2;
        return;
    }
    if (mStage == 2)
    {
        if (UTransport::GetConnectStatus(mTpt) != 3)
        {
            FailIfHelloLate();
            return;
        }
        uint8_t hello[UMyTrackerWire::kHelloSize];
        UMyTrackerWire::MakeHello(hello);
        UTransport::Send(mTpt, hello, sizeof hello);
        mStage = CMyTrackerStream::kStageHello;
    }
    CTransportSource source(mTpt);
    // Once finished the task still reads what is already waiting, and a close then only ends it.
    while (mStream.Next(source, mIsFinished))
    {
        mStage = mStream.Stage();
        HandleMessage();
    }
    mStage = mStream.Stage();
    FailIfHelloLate();
    if (mStage > CMyTrackerStream::kStageHello) mHelloTimer.Reset();
}

void CMyGetTrackServListTask::FailIfHelloLate() const
{
    // The tracker, or the firewall on the way, did not answer in time.
    if (mHelloTimedOut && mStage <= CMyTrackerStream::kStageHello) Fail(kErrTypeTransport, 103);
}

void CMyGetTrackServListTask::HelloTimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg != kMsgTimer) return;
    static_cast<CMyGetTrackServListTask*>(context)->mHelloTimedOut = true;
    // The next pass over the tasks gives this one its step, in which it fails.
    UApplication::PostMessage(kMsgTimeout);
}

void CMyGetTrackServListTask::HandleMessage()
{
    // Other messages are read whole and dropped; a server list too short for its head says nothing.
    const std::vector<uint8_t>& body = mStream.Body();
    if (mStream.MsgType() != UMyTrackerWire::kMsgServerList || body.size() < UMyTrackerWire::kListHeadSize)
        return;
    mTotalCount = uint32_t((body[0] << 8) | body[1]);
    mTracker.SetTotalServerCount(mTrackID, mTotalCount);
    mCount += mTracker.AddListFromData(mTrackID, body.data() + UMyTrackerWire::kListHeadSize,
                                       uint32_t(body.size() - UMyTrackerWire::kListHeadSize));
    SetProgress(mCount, mTotalCount);
    if (mCount >= mTotalCount && !mIsFinished)
    {
        SetProgress(10, 10);
        Finish();
    }
}
