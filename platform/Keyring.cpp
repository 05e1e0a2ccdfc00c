#include "platform/Keyring.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <QMap>
#include <QObject>
#include <QVariantMap>
#include <memory>
#include <utility>
#include <vector>

#include "platform/MessageBus.h"

namespace platform
{
// A secret as the keyring sends it: the session it is sent in, the session's parameters (none for
// plain sessions), the bytes and their kind.
struct SKeyringSecret
{
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};

QDBusArgument& operator<<(QDBusArgument& a, const SKeyringSecret& s)
{
    a.beginStructure();
    a << s.session << s.parameters << s.value << s.contentType;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, SKeyringSecret& s)
{
    a.beginStructure();
    a >> s.session >> s.parameters >> s.value >> s.contentType;
    a.endStructure();
    return a;
}
} // namespace platform

Q_DECLARE_METATYPE(platform::SKeyringSecret)

namespace platform
{
namespace
{
const QString kService = QStringLiteral("org.freedesktop.secrets");
const QString kServicePath = QStringLiteral("/org/freedesktop/secrets");
const QString kServiceInterface = QStringLiteral("org.freedesktop.Secret.Service");
// The collection the desktop keeps passwords in unless told otherwise.
const QString kCollectionPath = QStringLiteral("/org/freedesktop/secrets/aliases/default");
const QString kCollectionInterface = QStringLiteral("org.freedesktop.Secret.Collection");
const QString kItemInterface = QStringLiteral("org.freedesktop.Secret.Item");
const QString kPromptInterface = QStringLiteral("org.freedesktop.Secret.Prompt");
const QString kAppID = QStringLiteral("org.quenvol.Quenvol");
const QString kNoPrompt = QStringLiteral("/");
using StringMap = QMap<QString, QString>;
using PathList = QList<QDBusObjectPath>;

// Waits for the keyring's word that an unlock (or other) window it showed has closed.
class CPromptWaiter : public QObject
{
    Q_OBJECT
public:
    using DoneProc = std::function<void(bool dismissed, const QVariant& result)>;
    CPromptWaiter(QDBusConnection bus, QString path, DoneProc done)
        : mBus(std::move(bus)), mPath(std::move(path)), mDone(std::move(done))
    {
    }
    void Finish(bool dismissed, const QVariant& result);
public Q_SLOTS:
    void Completed(bool dismissed, const QDBusVariant& result) { Finish(dismissed, result.variant()); }

private:
    QDBusConnection mBus;
    QString mPath;
    DoneProc mDone;
};

struct SKeyring
{
    CMessageBus bus{CMessageBus::EKind::Session, "keyring"};
    EKeyringState state = EKeyringState::Unknown;
    // The open session's object, and the bus generation it was opened on.
    QString session;
    uint32_t sessionGeneration = 0;
    bool opening = false;
    std::vector<KeyringDoneProc> waitingForSession;
    uint32_t pending = 0;
    // Owns the watchers of the calls on their way, and brings answers that are known at once back later.
    QObject* agent = nullptr;
};

SKeyring& Keyring()
{
    static SKeyring keyring;
    return keyring;
}

QObject* Agent()
{
    SKeyring& k = Keyring();
    if (!k.agent)
    {
        k.agent = new QObject;
        qDBusRegisterMetaType<SKeyringSecret>();
        qDBusRegisterMetaType<StringMap>();
        qDBusRegisterMetaType<PathList>();
    }
    return k.agent;
}

void Later(std::function<void()> proc)
{
    QMetaObject::invokeMethod(Agent(), std::move(proc), Qt::QueuedConnection);
}

bool IsError(const QDBusMessage& reply)
{
    return reply.type() != QDBusMessage::ReplyMessage;
}

// A keyring that is not on the bus, or a bus that is not there, is no keyring; any other refusal is a
// failure of this request, and the session is opened again for the next in case the keyring restarted.
EKeyring Classify(const QDBusMessage& reply)
{
    SKeyring& k = Keyring();
    k.session.clear();
    const QString name = reply.errorName();
    if (name == QDBusError::errorString(QDBusError::ServiceUnknown) ||
        name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        name == QDBusError::errorString(QDBusError::Disconnected))
    {
        k.state = EKeyringState::Absent;
        return EKeyring::NoService;
    }
    return EKeyring::Failed;
}

// Every answer comes later, also the one for a missing bus. An answer from a bus given up meanwhile is
// an error.
void Call(const QDBusMessage& call, std::function<void(const QDBusMessage&)> then)
{
    SKeyring& k = Keyring();
    QDBusConnection bus = k.bus.Bus();
    if (!bus.isConnected())
    {
        const QDBusMessage error =
            QDBusMessage::createError(QDBusError::Disconnected, QStringLiteral("no bus"));
        Later([then, error] { then(error); });
        return;
    }
    k.bus.CallWithReply(call, Agent(),
                        [then](const QDBusMessage& reply, bool current)
                        {
                            then(current ? reply
                                         : QDBusMessage::createError(QDBusError::Disconnected,
                                                                     QStringLiteral("bus changed")));
                        });
}

QDBusMessage NewCall(const QString& path, const QString& interface, const QString& method)
{
    return QDBusMessage::createMethodCall(kService, path, interface, method);
}

// Sessions carry secrets between us and the keyring. Ours is "plain": the secret travels as it is, over
// the user's own bus, which the keyring's other clients use in the same way.
void WithSession(KeyringDoneProc then)
{
    SKeyring& k = Keyring();
    if (!k.session.isEmpty() && k.sessionGeneration == k.bus.Generation()) return then(EKeyring::Done);
    k.waitingForSession.push_back(std::move(then));
    if (k.opening) return;
    k.opening = true;
    QDBusMessage call = NewCall(kServicePath, kServiceInterface, QStringLiteral("OpenSession"));
    call << QStringLiteral("plain") << QVariant::fromValue(QDBusVariant(QString()));
    const uint32_t generation = k.bus.Generation();
    Call(call,
         [generation](const QDBusMessage& reply)
         {
             SKeyring& k = Keyring();
             k.opening = false;
             EKeyring result = EKeyring::Done;
             if (generation != k.bus.Generation())
                 result = EKeyring::NoService;
             else if (IsError(reply))
                 result = Classify(reply);
             else if (reply.arguments().size() != 2)
                 result = EKeyring::Failed;
             else
             {
                 k.session = qdbus_cast<QDBusObjectPath>(reply.arguments().at(1)).path();
                 k.sessionGeneration = generation;
                 k.state = EKeyringState::There;
             }
             std::vector<KeyringDoneProc> waiting;
             waiting.swap(k.waitingForSession);
             for (KeyringDoneProc& proc : waiting)
                 proc(result);
         });
}

void RunPrompt(const QString& path, CPromptWaiter::DoneProc done)
{
    QDBusConnection bus = Keyring().bus.Bus();
    auto* waiter = new CPromptWaiter(bus, path, std::move(done));
    waiter->setParent(Agent());
    // Without a sender's name: naming the service would make the connection ask the bus for its owner and
    // wait for the answer.
    bus.connect(QString(), path, kPromptInterface, QStringLiteral("Completed"), waiter,
                SLOT(Completed(bool, QDBusVariant)));
    QDBusMessage call = NewCall(path, kPromptInterface, QStringLiteral("Prompt"));
    call << QString();
    Call(call,
         [waiter](const QDBusMessage& reply)
         {
             if (IsError(reply)) waiter->Finish(true, QVariant());
         });
}

void CPromptWaiter::Finish(bool dismissed, const QVariant& result)
{
    if (!mDone) return;
    mBus.disconnect(QString(), mPath, kPromptInterface, QStringLiteral("Completed"), this,
                    SLOT(Completed(bool, QDBusVariant)));
    DoneProc done = std::move(mDone);
    mDone = nullptr;
    deleteLater();
    done(dismissed, result);
}

// The object path at `index` of a reply that may name a prompt: without one the request is done, with
// one it is done once the user has answered the keyring's window.
void AfterPrompt(const QDBusMessage& reply, int index, KeyringDoneProc done)
{
    if (IsError(reply)) return done(Classify(reply));
    if (reply.arguments().size() <= index) return done(EKeyring::Failed);
    const QString prompt = qdbus_cast<QDBusObjectPath>(reply.arguments().at(index)).path();
    if (prompt.isEmpty() || prompt == kNoPrompt) return done(EKeyring::Done);
    RunPrompt(prompt, [done](bool dismissed, const QVariant&)
              { done(dismissed ? EKeyring::Refused : EKeyring::Done); });
}

StringMap Attributes(const SKeyringEntry& entry)
{
    return StringMap{{QStringLiteral("application"), kAppID},
                     {QStringLiteral("kind"), entry.kind},
                     {QStringLiteral("server"), entry.server},
                     {QStringLiteral("login"), entry.login}};
}

// The items kept for an entry: those open to reading first, then the locked ones.
void Search(const SKeyringEntry& entry, std::function<void(EKeyring, const PathList&, const PathList&)> then)
{
    WithSession(
        [entry, then](EKeyring result)
        {
            if (result != EKeyring::Done) return then(result, {}, {});
            QDBusMessage call = NewCall(kServicePath, kServiceInterface, QStringLiteral("SearchItems"));
            call << QVariant::fromValue(Attributes(entry));
            Call(call,
                 [then](const QDBusMessage& reply)
                 {
                     if (IsError(reply)) return then(Classify(reply), {}, {});
                     if (reply.arguments().size() != 2) return then(EKeyring::Failed, {}, {});
                     then(EKeyring::Done, qdbus_cast<PathList>(reply.arguments().at(0)),
                          qdbus_cast<PathList>(reply.arguments().at(1)));
                 });
        });
}

void GetSecret(const QDBusObjectPath& item, KeyringFoundProc found)
{
    QDBusMessage call = NewCall(item.path(), kItemInterface, QStringLiteral("GetSecret"));
    call << QVariant::fromValue(QDBusObjectPath(Keyring().session));
    Call(call,
         [found](const QDBusMessage& reply)
         {
             if (IsError(reply)) return found(Classify(reply), QByteArray());
             if (reply.arguments().size() != 1) return found(EKeyring::Failed, QByteArray());
             found(EKeyring::Done, qdbus_cast<SKeyringSecret>(reply.arguments().at(0)).value);
         });
}

// Counts a public request from its start to its answer.
template <class Proc>
Proc Counted(Proc proc)
{
    // The keyring's types are known to the bus before the first call carries one.
    Agent();
    ++Keyring().pending;
    return [proc](auto... args)
    {
        --Keyring().pending;
        proc(args...);
    };
}
} // namespace

void StoreKeyringPassword(const SKeyringEntry& entry, const QByteArray& password, KeyringDoneProc done)
{
    done = Counted(std::move(done));
    WithSession(
        [entry, password, done](EKeyring result)
        {
            if (result != EKeyring::Done) return done(result);
            QVariantMap properties;
            properties.insert(QStringLiteral("org.freedesktop.Secret.Item.Label"),
                              QStringLiteral("Quenvol password for %1 on %2").arg(entry.login, entry.server));
            properties.insert(QStringLiteral("org.freedesktop.Secret.Item.Attributes"),
                              QVariant::fromValue(Attributes(entry)));
            const SKeyringSecret secret{QDBusObjectPath(Keyring().session), QByteArray(), password,
                                        QStringLiteral("text/plain")};
            QDBusMessage call = NewCall(kCollectionPath, kCollectionInterface, QStringLiteral("CreateItem"));
            // Replacing: the item with the same attributes is the same entry's older password.
            call << properties << QVariant::fromValue(secret) << true;
            Call(call, [done](const QDBusMessage& reply) { AfterPrompt(reply, 1, done); });
        });
}

void LookUpKeyringPassword(const SKeyringEntry& entry, KeyringFoundProc found)
{
    found = Counted(std::move(found));
    Search(entry,
           [found](EKeyring result, const PathList& unlocked, const PathList& locked)
           {
               if (result != EKeyring::Done) return found(result, QByteArray());
               if (!unlocked.isEmpty()) return GetSecret(unlocked.front(), found);
               if (locked.isEmpty()) return found(EKeyring::Missing, QByteArray());
               QDBusMessage call = NewCall(kServicePath, kServiceInterface, QStringLiteral("Unlock"));
               call << QVariant::fromValue(PathList{locked.front()});
               const QDBusObjectPath item = locked.front();
               Call(call,
                    [found, item](const QDBusMessage& reply)
                    {
                        AfterPrompt(reply, 1,
                                    [found, item](EKeyring unlocked)
                                    {
                                        if (unlocked != EKeyring::Done) return found(unlocked, QByteArray());
                                        GetSecret(item, found);
                                    });
                    });
           });
}

void DeleteKeyringPassword(const SKeyringEntry& entry, KeyringDoneProc done)
{
    done = Counted(std::move(done));
    Search(entry,
           [done](EKeyring result, const PathList& unlocked, const PathList& locked)
           {
               if (result != EKeyring::Done) return done(result);
               const PathList items = unlocked + locked;
               if (items.isEmpty()) return done(EKeyring::Done);
               // One answer for all the items: the worst of theirs.
               auto left = std::make_shared<int>(int(items.size()));
               auto worst = std::make_shared<EKeyring>(EKeyring::Done);
               for (const QDBusObjectPath& item : items)
                   Call(NewCall(item.path(), kItemInterface, QStringLiteral("Delete")),
                        [done, left, worst](const QDBusMessage& reply)
                        {
                            AfterPrompt(reply, 0,
                                        [done, left, worst](EKeyring one)
                                        {
                                            if (one != EKeyring::Done) *worst = one;
                                            if (--*left == 0) done(*worst);
                                        });
                        });
           });
}

EKeyringState KeyringState()
{
    return Keyring().state;
}

void ProbeKeyring()
{
    if (Keyring().state != EKeyringState::Unknown) return;
    WithSession(Counted(KeyringDoneProc([](EKeyring) {})));
}

uint32_t PendingKeyringRequests()
{
    return Keyring().pending;
}

void SetKeyringBusAddress(const QString& address)
{
    SKeyring& k = Keyring();
    k.bus.UseAddress(address);
    k.session.clear();
    k.state = EKeyringState::Unknown;
}

void UseSessionBusForKeyring()
{
    SKeyring& k = Keyring();
    k.bus.UseDefault();
    k.session.clear();
    k.state = EKeyringState::Unknown;
}
} // namespace platform

#include "Keyring.moc"
