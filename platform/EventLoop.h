// Waiting for and delivering OS events. The framework's own queue sits above this; Qt only supplies
// the events (input, socket readiness, name-lookup answers, timer ticks).
#pragma once

namespace platform
{
// Creates a QCoreApplication when the program has none yet and hooks the event dispatcher.
void InitEventLoop();
// Delivers every pending OS event without waiting.
void DeliverPendingEvents();
// Waits until at least one OS event arrives and delivers it.
void WaitForOneEvent();
// Destroys the Qt objects whose deletion was put off (closed windows' widgets). Qt does that only when
// an event loop of its own returns, which never happens in a program that does not run one; call it
// only where no Qt event handler and no nested loop is on the stack.
void DeleteDeferredObjects();
// Called whenever Qt is about to wait, including inside Qt's own nested loops (drags, pop-up menus),
// so that the framework queue drains there too.
void SetBeforeBlockHook(void (*hook)());
using BeforeBlockHook = void (*)();
BeforeBlockHook GetBeforeBlockHook();
// Makes a pending or coming WaitForOneEvent return without an OS event (used when the framework queue
// gets work from outside an OS event).
void WakeUp();
} // namespace platform
