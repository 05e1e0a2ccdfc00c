#include "framework/ui/UModalLoop.h"

#include "framework/runtime/UApplication.h"

bool UModalLoop::Run(const std::function<bool()>& done)
{
    while (!done() && !UApplication::IsQuitting())
    {
        UApplication::Process();
        if (done() || UApplication::IsQuitting()) break;
        UApplication::ProcessAndSleep();
    }
    return done();
}
