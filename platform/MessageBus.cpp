#include "platform/MessageBus.h"

#include <QDBusPendingCallWatcher>
#include <QObject>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/FileSystem.h"

namespace platform
{
namespace
{
constexpr char kSessionVariable[] = "DBUS_SESSION_BUS_ADDRESS";
// The address of no bus at all: connecting to it fails at once.
constexpr char kNoBus[] = "disabled:";

bool Named(const char* variable)
{
    const char* address = std::getenv(variable);
    return address && address[0] && std::strcmp(address, kNoBus) != 0;
}

bool SessionBusThere()
{
    if (Named(kSessionVariable)) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && runtime[0] == '/' && IsSocket(std::string(runtime) + "/bus");
}

bool SystemBusThere()
{
    return Named("DBUS_SYSTEM_BUS_ADDRESS") || IsSocket("/run/dbus/system_bus_socket");
}
} // namespace

void NeverStartASessionBus()
{
    if (!SessionBusThere()) setenv(kSessionVariable, kNoBus, 1);
}

QProcessEnvironment EnvironmentForChildren()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (environment.value(QLatin1String(kSessionVariable)) == QLatin1String(kNoBus))
        environment.remove(QLatin1String(kSessionVariable));
    return environment;
}

QDBusConnection CMessageBus::Bus()
{
    switch (mChoice)
    {
    case EChoice::Default:
        if (mKind == EKind::Session && SessionBusThere()) return QDBusConnection::sessionBus();
        if (mKind == EKind::System && SystemBusThere()) return QDBusConnection::systemBus();
        break;
    case EChoice::Address:
        if (mConnectionName.isEmpty())
        {
            mConnectionName = QStringLiteral("quenvol-%1-%2").arg(QLatin1String(mPurpose)).arg(mGeneration);
            QDBusConnection::connectToBus(mAddress, mConnectionName);
        }
        return QDBusConnection(mConnectionName);
    case EChoice::None:
        break;
    }
    return QDBusConnection(QString());
}

void CMessageBus::CallWithReply(const QDBusMessage& call, QObject* owner, ReplyProc then)
{
    auto* watcher = new QDBusPendingCallWatcher(Bus().asyncCall(call), owner);
    const uint32_t generation = mGeneration;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [this, generation, then = std::move(then)](QDBusPendingCallWatcher* w)
                     {
                         w->deleteLater();
                         then(w->reply(), generation == mGeneration);
                     });
}

void CMessageBus::Drop()
{
    if (!mConnectionName.isEmpty()) QDBusConnection::disconnectFromBus(mConnectionName);
    mConnectionName.clear();
    ++mGeneration;
}

void CMessageBus::UseAddress(const QString& address)
{
    Drop();
    mChoice = address.isEmpty() ? EChoice::None : EChoice::Address;
    mAddress = address;
}

void CMessageBus::UseDefault()
{
    Drop();
    mChoice = EChoice::Default;
    mAddress.clear();
}
} // namespace platform
