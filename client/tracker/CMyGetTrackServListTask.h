// One tracker query: its own connection to the tracker, the hello each way, then server-list messages
// until the tracker's announced total is in. It needs no server connection and survives a disconnect.
#pragma once

#include <cstdint>

#include "client/core/CMyTask.h"
#include "client/core/CMyTrackerStream.h"
#include "framework/net/SInternetNameAddress.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

class CMyTracker;

class CMyGetTrackServListTask : public CMyTask
{
public:
    // `address` and `name` are the tracker entry's, length-prefixed; `trackID` is its ID. What the tracker
    // lists goes to `tracker`, which outlives its queries.
    CMyGetTrackServListTask(CMyTracker& tracker, const uint8_t* address, const uint8_t* name,
                            int16_t trackID);
    ~CMyGetTrackServListTask() override;

    void Process() override;
    // Its own connection's notices bring every step after the first.
    bool IsWaitingOnNetwork() const override;

    uint32_t GetCount() const { return mCount; }
    uint32_t GetTotalCount() const { return mTotalCount; }
    int16_t GetTrackID() const { return mTrackID; }
    const SInternetNameAddress& GetTrackerAddress() const { return mTrackerAddress; }

private:
    void HandleMessage();
    void FailIfHelloLate() const;
    static void HelloTimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);

    CMyTracker& mTracker;
    COwner<TTransportObj, UTransport::Dispose> mTpt;
    // Runs from the connect until the tracker's hello is in: a firewall or a tracker that takes the
    // connection and stays silent would otherwise hold the query until it closes, if ever.
    COwner<TTimerObj, UTimer::Dispose> mHelloTimer;
    bool mHelloTimedOut = false;
    uint32_t mCount = 0;
    uint32_t mTotalCount = 0;
    CMyTrackerStream mStream;
    SInternetNameAddress mTrackerAddress{};
    int16_t mTrackID;
};
