// Word that a connection which looks alive may have died unseen: the machine woke from sleep (the login
// manager's PrepareForSleep(false)) or the network came back (the network manager's state becoming
// "connected" again), both on the system bus. Without a system bus, or without those services, nothing
// ever comes, which is a normal machine too. Nothing here waits: the signals arrive through the event
// loop.
#pragma once

#include <QString>

namespace platform
{
using WakeProc = void (*)(void* context);
// One listener at a time; null stops listening.
void SetWakeProc(WakeProc proc, void* context);

// Which bus carries the signals: the system bus by default, when there is one. Tests give the address
// of a bus of their own.
void SetWakeBusAddress(const QString& address);
void UseSystemBusForWake();
} // namespace platform
