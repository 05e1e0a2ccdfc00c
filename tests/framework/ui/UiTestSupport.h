// An application object that records the window hits that reach it through the queue.
#pragma once

#include <vector>

#include "framework/runtime/CApplication.h"
#include "framework/ui/SHitMsgData.h"
#include "tests/support/RunLoopWait.h"

class CHitRecorder : public CApplication
{
public:
    struct SHit
    {
        CWindow* window;
        SHitMsgData hit;
    };
    void WindowHit(CWindow* window, const SHitMsgData& hit) override { hits.push_back({window, hit}); }
    // Waits until `count` hits arrived.
    bool WaitForHits(size_t count)
    {
        return PumpUntil([&] { return hits.size() >= count; }, "window hits");
    }
    std::vector<SHit> hits;
};
