#include "framework/ui/UModalLoop.h"

#include <QDialog>

#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/SHitMsgData.h"
#include "platform/EventLoop.h"

namespace
{
uint32_t gDepth = 0;
} // namespace

bool UModalLoop::Run(const std::function<bool()>& done)
{
    struct StDepth
    {
        StDepth() { ++gDepth; }
        ~StDepth() { --gDepth; }
    } depth;
    while (!done() && !UApplication::IsQuitting())
    {
        UApplication::Process();
        if (done() || UApplication::IsQuitting()) break;
        // Only a wait: ProcessAndSleep would process once more first, and when that brings what `done`
        // waits for (a timer's hit, say) the loop would sleep with nothing left to wake it.
        platform::WaitForOneEvent();
    }
    return done();
}

SModalResult UModalLoop::RunWindow(CWindow& window, const std::function<bool(uint32_t hit)>& isEnd)
{
    SHitMsgData hit{};
    while (window.NextModalHit(hit))
        if (isEnd(hit.id)) return SModalResult{false, hit.id};
    return SModalResult{true, 0};
}

bool UModalLoop::RunDialog(QDialog& dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    bool finished = false;
    QObject::connect(&dialog, &QDialog::finished, [&finished] { finished = true; });
    dialog.show();
    if (!Run([&finished] { return finished; }))
    {
        dialog.reject();
        return false;
    }
    return dialog.result() == QDialog::Accepted;
}

uint32_t UModalLoop::GetDepth()
{
    return gDepth;
}
