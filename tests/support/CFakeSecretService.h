// A stand-in for the desktop's keyring (the Secret Service) on a test's own bus: it keeps the items it is
// given in memory, answers searches, hands secrets out over "plain" sessions only, and can hold its items
// locked so that reading them takes an unlock window, which the test has the user accept or close.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>
#include <vector>

struct SFakeSecret
{
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};
Q_DECLARE_METATYPE(SFakeSecret)

inline QDBusArgument& operator<<(QDBusArgument& a, const SFakeSecret& s)
{
    a.beginStructure();
    a << s.session << s.parameters << s.value << s.contentType;
    a.endStructure();
    return a;
}

inline const QDBusArgument& operator>>(const QDBusArgument& a, SFakeSecret& s)
{
    a.beginStructure();
    a >> s.session >> s.parameters >> s.value >> s.contentType;
    a.endStructure();
    return a;
}

class CFakeSecretService : public QDBusVirtualObject
{
public:
    using StringMap = QMap<QString, QString>;
    using PathList = QList<QDBusObjectPath>;
    struct SItem
    {
        QString path;
        QString label;
        StringMap attributes;
        QByteArray secret;
        QString contentType;
        bool locked = false;
    };

    explicit CFakeSecretService(const QString& address)
        : mName(QStringLiteral("fake-secrets-%1").arg(++Serial())),
          mBus(QDBusConnection::connectToBus(address, mName))
    {
        qDBusRegisterMetaType<SFakeSecret>();
        qDBusRegisterMetaType<StringMap>();
        qDBusRegisterMetaType<PathList>();
    }
    ~CFakeSecretService() override { QDBusConnection::disconnectFromBus(mName); }

    bool Register()
    {
        return mBus.isConnected() && mBus.registerService(QStringLiteral("org.freedesktop.secrets")) &&
               mBus.registerVirtualObject(QStringLiteral("/org/freedesktop/secrets"), this,
                                          QDBusConnection::SubPath);
    }

    std::vector<SItem> items;
    // Reading a locked item takes an unlock window; `closeUnlockWindow` has the user close it unanswered.
    bool closeUnlockWindow = false;
    int sessionsOpened = 0;

    void LockAll()
    {
        for (SItem& item : items)
            item.locked = true;
    }

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QString member = message.member();
        const QList<QVariant> a = message.arguments();
        QDBusMessage reply;
        if (member == QStringLiteral("OpenSession") && a.size() == 2)
        {
            if (a[0].toString() != QStringLiteral("plain"))
                reply = message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                                                 a[0].toString());
            else
            {
                ++sessionsOpened;
                reply = message.createReply(
                    {QVariant::fromValue(QDBusVariant(QString())),
                     QVariant::fromValue(QDBusObjectPath(
                         QStringLiteral("/org/freedesktop/secrets/session/%1").arg(sessionsOpened)))});
            }
        }
        else if (member == QStringLiteral("SearchItems") && a.size() == 1)
        {
            const StringMap wanted = qdbus_cast<StringMap>(a[0]);
            PathList unlocked, locked;
            for (const SItem& item : items)
                if (Matches(item, wanted))
                    (item.locked ? locked : unlocked).append(QDBusObjectPath(item.path));
            reply = message.createReply({QVariant::fromValue(unlocked), QVariant::fromValue(locked)});
        }
        else if (member == QStringLiteral("CreateItem") && a.size() == 3)
            reply = CreateItem(message, a);
        else if (member == QStringLiteral("GetSecret") && a.size() == 1)
        {
            SItem* item = Find(message.path());
            if (!item)
                reply = message.createErrorReply(QStringLiteral("org.freedesktop.Secret.Error.NoSuchObject"),
                                                 message.path());
            else if (item->locked)
                reply = message.createErrorReply(QStringLiteral("org.freedesktop.Secret.Error.IsLocked"),
                                                 message.path());
            else
                reply = message.createReply(QVariant::fromValue(SFakeSecret{
                    qdbus_cast<QDBusObjectPath>(a[0]), QByteArray(), item->secret, item->contentType}));
        }
        else if (member == QStringLiteral("Delete"))
        {
            for (auto it = items.begin(); it != items.end(); ++it)
                if (it->path == message.path())
                {
                    items.erase(it);
                    break;
                }
            reply = message.createReply(QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))));
        }
        else if (member == QStringLiteral("Unlock") && a.size() == 1)
        {
            mUnlocking = qdbus_cast<PathList>(a[0]);
            const QString prompt = QStringLiteral("/org/freedesktop/secrets/prompt/%1").arg(++mPrompts);
            reply = message.createReply(
                {QVariant::fromValue(PathList()), QVariant::fromValue(QDBusObjectPath(prompt))});
        }
        else if (member == QStringLiteral("Prompt"))
        {
            connection.send(message.createReply());
            // The user answers the window once it shows.
            QDBusMessage signal = QDBusMessage::createSignal(
                message.path(), QStringLiteral("org.freedesktop.Secret.Prompt"), QStringLiteral("Completed"));
            if (!closeUnlockWindow)
                for (const QDBusObjectPath& path : mUnlocking)
                    if (SItem* item = Find(path.path())) item->locked = false;
            signal << closeUnlockWindow
                   << QVariant::fromValue(
                          QDBusVariant(QVariant::fromValue(closeUnlockWindow ? PathList() : mUnlocking)));
            connection.send(signal);
            return true;
        }
        else
            reply =
                message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), member);
        connection.send(reply);
        return true;
    }

private:
    static int& Serial()
    {
        static int serial = 0;
        return serial;
    }
    static bool Matches(const SItem& item, const StringMap& wanted)
    {
        for (auto it = wanted.begin(); it != wanted.end(); ++it)
            if (item.attributes.value(it.key()) != it.value()) return false;
        return true;
    }
    SItem* Find(const QString& path)
    {
        for (SItem& item : items)
            if (item.path == path) return &item;
        return nullptr;
    }
    QDBusMessage CreateItem(const QDBusMessage& message, const QList<QVariant>& a)
    {
        if (message.path() != QStringLiteral("/org/freedesktop/secrets/aliases/default"))
            return message.createErrorReply(QStringLiteral("org.freedesktop.Secret.Error.NoSuchObject"),
                                            message.path());
        const QVariantMap properties = qdbus_cast<QVariantMap>(a[0]);
        const SFakeSecret secret = qdbus_cast<SFakeSecret>(a[1]);
        const bool replace = a[2].toBool();
        SItem item;
        item.label = properties.value(QStringLiteral("org.freedesktop.Secret.Item.Label")).toString();
        item.attributes =
            qdbus_cast<StringMap>(properties.value(QStringLiteral("org.freedesktop.Secret.Item.Attributes")));
        item.secret = secret.value;
        item.contentType = secret.contentType;
        SItem* same = nullptr;
        for (SItem& other : items)
            if (other.attributes == item.attributes) same = &other;
        if (same && replace)
        {
            item.path = same->path;
            *same = item;
        }
        else
        {
            item.path = QStringLiteral("/org/freedesktop/secrets/collection/login/%1").arg(++mItems);
            items.push_back(item);
        }
        return message.createReply({QVariant::fromValue(QDBusObjectPath(item.path)),
                                    QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))});
    }

    QString mName;
    QDBusConnection mBus;
    PathList mUnlocking;
    int mItems = 0;
    int mPrompts = 0;
};
