#include "platform/EventLoop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

namespace platform
{
namespace
{
void (*gBeforeBlockHook)() = nullptr;
bool gHooked = false;
int gArgc = 1;
char gArg0[] = "quenvol";
char* gArgv[] = {gArg0, nullptr};
} // namespace

void InitEventLoop()
{
    if (!QCoreApplication::instance()) new QCoreApplication(gArgc, gArgv);
    if (gHooked) return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher) return;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                     []
                     {
                         if (gBeforeBlockHook) gBeforeBlockHook();
                     });
    gHooked = true;
}

void DeliverPendingEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitForOneEvent()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void DeleteDeferredObjects()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SetBeforeBlockHook(void (*hook)())
{
    gBeforeBlockHook = hook;
}

BeforeBlockHook GetBeforeBlockHook()
{
    return gBeforeBlockHook;
}

void WakeUp()
{
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}
} // namespace platform
