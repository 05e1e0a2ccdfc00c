#include "platform/WakeSignals.h"

#include "platform/MessageBus.h"

#include <QDBusConnection>
#include <QObject>

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
    CMessageBus bus{CMessageBus::EKind::System, "wake"};
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

// Without a sender's name: naming the service would make the connection ask the bus for its owner and
// wait for the answer.
void Subscribe()
{
    SWake& w = Wake();
    if (w.subscribed || !w.proc) return;
    QDBusConnection bus = w.bus.Bus();
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
        QDBusConnection bus = w.bus.Bus();
        bus.disconnect(QString(), kLoginPath, kLoginInterface, QStringLiteral("PrepareForSleep"), w.listener,
                       SLOT(PrepareForSleep(bool)));
        bus.disconnect(QString(), kNetworkPath, kNetworkInterface, QStringLiteral("StateChanged"), w.listener,
                       SLOT(StateChanged(uint)));
    }
    w.subscribed = false;
    w.networkWasDown = false;
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
    Wake().bus.UseAddress(address);
    Subscribe();
}

void UseSystemBusForWake()
{
    Unsubscribe();
    Wake().bus.UseDefault();
    Subscribe();
}
} // namespace platform

#include "WakeSignals.moc"
