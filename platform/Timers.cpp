#include "platform/Timers.h"

#include <QObject>
#include <QTimerEvent>
#include <ctime>

namespace platform
{
namespace
{
TimerTickProc gTickProc = nullptr;

class TimerHost : public QObject
{
protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (gTickProc) gTickProc(event->timerId());
    }
};

TimerHost& Host()
{
    static TimerHost* host = new TimerHost; // lives as long as the process; Qt may tick until exit
    return *host;
}
} // namespace

void SetTimerTickProc(TimerTickProc proc)
{
    gTickProc = proc;
}

int StartTimer(uint32_t periodMs)
{
    // Precise timers: the task reaper and the tests count on periods that are not rounded to 5%.
    int id = Host().startTimer(std::chrono::milliseconds(periodMs), Qt::PreciseTimer);
    return id > 0 ? id : 0;
}

void StopTimer(int timerID)
{
    if (timerID > 0) Host().killTimer(timerID);
}

uint64_t MonotonicMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
}
} // namespace platform
