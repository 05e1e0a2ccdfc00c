#include "platform/WakeSignals.h"

#include <QDBusConnection>
#include <QObject>
#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>

namespace platform
{
namespace
{
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kNetworkPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kNetworkInterface = QStringLiteral("org.freedesktop.NetworkManager");
// The network manager's state of a machine that reaches the whole network.
constexpr uint kNetworkConnectedGlobal = 70;

class CWakeListener : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void PrepareForSleep(bool goingToSleep);
    void StateChanged(uint state);
};

struct SWake
{
    enum class EBus
    {
        System,
        Address,
    };
    EBus bus = EBus::System;
    QString address;
    QString connectionName;
    uint32_t generation = 0;
    bool subscribed = false;
    // The network was seen short of connected: the next "connected" is the network coming back.
    bool networkWasDown = false;
    WakeProc proc = nullptr;
    void* context = nullptr;
    CWakeListener* listener = nullptr;
};

SWake& Wake()
{
    static SWake wake;
    return wake;
}

// Only a bus that is there is used: asking for a missing one only logs a warning, but a machine
// without a system bus needs no warning.
bool SystemBusThere()
{
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (address && address[0]) return true;
    struct stat st
    {
    };
    return stat("/run/dbus/system_bus_socket", &st) == 0 && S_ISSOCK(st.st_mode);
}

QDBusConnection Bus()
{
    SWake& w = Wake();
    if (w.bus == SWake::EBus::System)
        return SystemBusThere() ? QDBusConnection::systemBus() : QDBusConnection(QString());
    if (w.connectionName.isEmpty())
    {
        w.connectionName = QStringLiteral("quenvol-wake-%1").arg(w.generation);
        QDBusConnection::connectToBus(w.address, w.connectionName);
    }
    return QDBusConnection(w.connectionName);
}

// Without a sender's name: naming the service would make the connection ask the bus for its owner and
// wait for the answer.
void Subscribe()
{
    SWake& w = Wake();
    if (w.subscribed || !w.proc) return;
    QDBusConnection bus = Bus();
    if (!bus.isConnected()) return;
    if (!w.listener) w.listener = new CWakeListener;
    w.subscribed = true;
    bus.connect(QString(), kLoginPath, kLoginInterface, QStringLiteral("PrepareForSleep"), w.listener,
                SLOT(PrepareForSleep(bool)));
    bus.connect(QString(), kNetworkPath, kNetworkInterface, QStringLiteral("StateChanged"), w.listener,
                SLOT(StateChanged(uint)));
}

void Unsubscribe()
{
    SWake& w = Wake();
    if (w.subscribed)
    {
        QDBusConnection bus = Bus();
        bus.disconnect(QString(), kLoginPath, kLoginInterface, QStringLiteral("PrepareForSleep"), w.listener,
                       SLOT(PrepareForSleep(bool)));
        bus.disconnect(QString(), kNetworkPath, kNetworkInterface, QStringLiteral("StateChanged"), w.listener,
                       SLOT(StateChanged(uint)));
    }
    if (!w.connectionName.isEmpty()) QDBusConnection::disconnectFromBus(w.connectionName);
    w.connectionName.clear();
    w.subscribed = false;
    w.networkWasDown = false;
    ++w.generation;
}

void Tell()
{
    SWake& w = Wake();
    if (w.proc) w.proc(w.context);
}
} // namespace

void CWakeListener::PrepareForSleep(bool goingToSleep)
{
    if (!goingToSleep) Tell();
}

void CWakeListener::StateChanged(uint state)
{
    SWake& w = Wake();
    if (state < kNetworkConnectedGlobal)
    {
        w.networkWasDown = true;
        return;
    }
    if (!w.networkWasDown) return;
    w.networkWasDown = false;
    Tell();
}

void SetWakeProc(WakeProc proc, void* context)
{
    SWake& w = Wake();
    w.proc = proc;
    w.context = context;
    if (proc)
        Subscribe();
    else
        Unsubscribe();
}

void SetWakeBusAddress(const QString& address)
{
    Unsubscribe();
    SWake& w = Wake();
    w.bus = SWake::EBus::Address;
    w.address = address;
    Subscribe();
}

void UseSystemBusForWake()
{
    Unsubscribe();
    Wake().bus = SWake::EBus::System;
    Subscribe();
}
} // namespace platform

#include "WakeSignals.moc"
