// The box that tells a transfer was cut short (its connection closed before the end), unless the
// connection to the server went too: the transfer then waits in its row for the reconnect or the next
// login and resumes from its partial file, and a box would report a failure that mends itself. A server
// that is killed closes both connections at once, in no fixed order, so the box waits a moment for the
// transaction connection to tell before it is shown.
#pragma once

#include <cstdint>
#include <functional>

#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

class CMyCutTransferBox
{
public:
    static constexpr uint32_t kGraceMs = 1000;

    // `holds` is true while the session numbered `serial` is still up and no reconnect is under way.
    explicit CMyCutTransferBox(std::function<bool(uint32_t serial)> holds);
    CMyCutTransferBox(const CMyCutTransferBox&) = delete;
    CMyCutTransferBox& operator=(const CMyCutTransferBox&) = delete;

    // A transfer of the session numbered `serial` was cut. Cuts that come while one waits are told with
    // it, in one box.
    void TransferCut(uint32_t serial);
    bool IsWaiting() const { return mWaiting; }

private:
    static void TimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);

    void Tick();

    std::function<bool(uint32_t)> mHolds;
    COwner<TTimerObj, UTimer::Dispose> mTimer;
    uint32_t mSerial = 0;
    bool mWaiting = false;
};
