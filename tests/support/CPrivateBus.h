// A message bus of the test's own (dbus-daemon on a socket in a temporary folder), and on it stand-ins
// for the desktop's notification service (it records every notice it is asked to show, answers with
// numbers of its own and can click or close a notice as a user or the service would) and for its file
// manager (it records the items it is asked to show). No test notice or folder ever reaches the desktop
// of whoever runs the tests.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <cstdint>
#include <vector>

#include "tests/support/RunLoopWait.h"

class CPrivateBus
{
public:
    ~CPrivateBus()
    {
        if (mDaemon.state() == QProcess::NotRunning) return;
        mDaemon.kill();
        PumpUntil([this] { return mDaemon.state() == QProcess::NotRunning; }, "the bus daemon to end");
    }

    // False when dbus-daemon is not installed (the caller skips) or does not come up (a failure).
    bool Start()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty() || !mDir.isValid()) return false;
        const QString address = QStringLiteral("unix:path=") + mDir.path() + QStringLiteral("/bus");
        mDaemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--print-address=1"), QStringLiteral("--address=") + address});
        const bool up =
            PumpUntil([this] { return mDaemon.canReadLine() || mDaemon.state() == QProcess::NotRunning; },
                      "the bus daemon to say its address", 10000);
        if (!up || !mDaemon.canReadLine()) return false;
        mAddress = QString::fromUtf8(mDaemon.readLine()).trimmed();
        return !mAddress.isEmpty();
    }
    static bool IsAvailable()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty();
    }
    QString Address() const { return mAddress; }

private:
    QTemporaryDir mDir;
    QProcess mDaemon;
    QString mAddress;
};

class CFakeNotificationService : public QDBusVirtualObject
{
public:
    struct SNotice
    {
        uint32_t id;
        QString appName;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };

    explicit CFakeNotificationService(const QString& address)
        : mName(QStringLiteral("fake-notifications-%1").arg(++Serial())),
          mBus(QDBusConnection::connectToBus(address, mName))
    {
    }
    ~CFakeNotificationService() override { QDBusConnection::disconnectFromBus(mName); }

    // Takes the service's name and object on the bus; false when the bus refuses.
    bool Register()
    {
        return mBus.isConnected() && mBus.registerService(kService()) &&
               mBus.registerVirtualObject(kPath(), this, QDBusConnection::SingleNode);
    }
    void Unregister()
    {
        mBus.unregisterObject(kPath());
        mBus.unregisterService(kService());
    }

    // As the service tells of a click on a notice (the "default" action) or of one that closed.
    void Click(uint32_t id, const QString& action = QStringLiteral("default"))
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath(), kService(), QStringLiteral("ActionInvoked"));
        signal << uint(id) << action;
        mBus.send(signal);
    }
    void Close(uint32_t id)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath(), kService(), QStringLiteral("NotificationClosed"));
        signal << uint(id) << uint(2);
        mBus.send(signal);
    }

    std::vector<SNotice> notices;
    // What GetCapabilities answers; empty: the call is refused, as by a service of the oldest kind.
    QStringList capabilities;
    uint32_t capabilityQuestions = 0;

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QList<QVariant> a = message.arguments();
        if (message.member() == QStringLiteral("GetCapabilities") && !capabilities.isEmpty())
        {
            ++capabilityQuestions;
            connection.send(message.createReply(QVariant::fromValue(capabilities)));
            return true;
        }
        if (message.member() == QStringLiteral("Notify") && a.size() == 8)
        {
            const uint32_t id = mNextID++;
            notices.push_back(SNotice{id, a[0].toString(), a[2].toString(), a[3].toString(), a[4].toString(),
                                      a[5].toStringList(), QDBusArgumentToMap(a[6])});
            connection.send(message.createReply(QVariant::fromValue(uint(id))));
            return true;
        }
        connection.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
        return true;
    }

private:
    static QString kService() { return QStringLiteral("org.freedesktop.Notifications"); }
    static QString kPath() { return QStringLiteral("/org/freedesktop/Notifications"); }
    static int& Serial()
    {
        static int serial = 0;
        return serial;
    }
    static QVariantMap QDBusArgumentToMap(const QVariant& v)
    {
        if (v.canConvert<QDBusArgument>())
        {
            QVariantMap map;
            v.value<QDBusArgument>() >> map;
            return map;
        }
        return v.toMap();
    }

    QString mName;
    QDBusConnection mBus;
    uint32_t mNextID = 41;
};

class CFakeFileManager : public QDBusVirtualObject
{
public:
    explicit CFakeFileManager(const QString& address)
        : mName(QStringLiteral("fake-file-manager-%1").arg(++Serial())),
          mBus(QDBusConnection::connectToBus(address, mName))
    {
    }
    ~CFakeFileManager() override { QDBusConnection::disconnectFromBus(mName); }

    bool Register()
    {
        return mBus.isConnected() && mBus.registerService(QStringLiteral("org.freedesktop.FileManager1")) &&
               mBus.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), this,
                                          QDBusConnection::SingleNode);
    }

    // The URIs of each ShowItems call, in order.
    std::vector<QStringList> shown;

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QList<QVariant> a = message.arguments();
        if (message.interface() == QStringLiteral("org.freedesktop.FileManager1") &&
            message.member() == QStringLiteral("ShowItems") && a.size() == 2)
        {
            shown.push_back(a[0].toStringList());
            connection.send(message.createReply());
            return true;
        }
        connection.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
        return true;
    }

private:
    static int& Serial()
    {
        static int serial = 0;
        return serial;
    }

    QString mName;
    QDBusConnection mBus;
};
