#include "platform/DesktopNotices.h"

#include "platform/MessageBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <deque>
#include <utility>

namespace platform
{
namespace
{
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAppID = QStringLiteral("org.quenvol.Quenvol");
// The service keeps notices of its own accord and may never say they closed: only the newest are kept.
constexpr size_t kMaxRemembered = 32;

class CNoticeListener : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);
};

struct SNotices
{
    CMessageBus bus{CMessageBus::EKind::Session, "notices"};
    bool subscribed = false;
    // Requests whose answer has not come yet.
    uint32_t pending = 0;
    // The service's number of each notice shown, with the caller's tag.
    std::deque<std::pair<uint32_t, uint32_t>> shown;
    NoticeClickProc proc = nullptr;
    void* context = nullptr;
    CNoticeListener* listener = nullptr;
};

SNotices& Notices()
{
    static SNotices notices;
    return notices;
}

CNoticeListener* Listener()
{
    SNotices& n = Notices();
    if (!n.listener) n.listener = new CNoticeListener;
    return n.listener;
}

// Without a sender's name: naming the service would make the connection ask the bus for its owner and
// wait for the answer. Only the numbers of our own notices mean anything to the listener anyway.
void Subscribe(QDBusConnection& bus)
{
    SNotices& n = Notices();
    if (n.subscribed) return;
    n.subscribed = true;
    bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), Listener(),
                SLOT(ActionInvoked(uint, QString)));
    bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), Listener(),
                SLOT(NotificationClosed(uint, uint)));
}

void Remember(uint32_t id, uint32_t tag)
{
    auto& shown = Notices().shown;
    shown.emplace_back(id, tag);
    while (shown.size() > kMaxRemembered)
        shown.pop_front();
}

void ForgetBus()
{
    SNotices& n = Notices();
    // A connection of our own goes with its subscriptions; the shared session bus keeps them.
    if (n.subscribed && n.bus.UsesDefault())
    {
        QDBusConnection bus = n.bus.Bus();
        bus.disconnect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), Listener(),
                       SLOT(ActionInvoked(uint, QString)));
        bus.disconnect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), Listener(),
                       SLOT(NotificationClosed(uint, uint)));
    }
    n.subscribed = false;
    n.shown.clear();
}
} // namespace

void CNoticeListener::ActionInvoked(uint id, const QString&)
{
    // Every action of our notices means "show me": the default one (a click) and the "Show" button.
    SNotices& n = Notices();
    for (const auto& [shownID, tag] : n.shown)
        if (shownID == id)
        {
            if (n.proc) n.proc(n.context, tag);
            return;
        }
}

void CNoticeListener::NotificationClosed(uint id, uint)
{
    auto& shown = Notices().shown;
    for (auto it = shown.begin(); it != shown.end(); ++it)
        if (it->first == id)
        {
            shown.erase(it);
            return;
        }
}

void SetNoticeClickProc(NoticeClickProc proc, void* context)
{
    Notices().proc = proc;
    Notices().context = context;
}

void ShowDesktopNotice(const QString& summary, const QString& body, const QString& category, uint32_t tag)
{
    QDBusConnection bus = Notices().bus.Bus();
    if (!bus.isConnected()) return;
    Subscribe(bus);
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), kAppID);
    if (!category.isEmpty()) hints.insert(QStringLiteral("category"), category);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // Services that understand markup read the body as markup: what a server sent stays plain text.
    call << QStringLiteral("Quenvol") << uint(0) << kAppID << summary << body.toHtmlEscaped()
         << QStringList{QStringLiteral("default"), QStringLiteral("Show")} << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), Listener());
    const uint32_t generation = Notices().bus.Generation();
    ++Notices().pending;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [tag, generation](QDBusPendingCallWatcher* w)
                     {
                         --Notices().pending;
                         // No service on the bus is an error answer like any other, and as quiet.
                         QDBusPendingReply<uint> reply = *w;
                         if (!reply.isError() && generation == Notices().bus.Generation())
                             Remember(reply.value(), tag);
                         w->deleteLater();
                     });
}

uint32_t PendingDesktopNotices()
{
    return Notices().pending;
}

void SetNoticeBusAddress(const QString& address)
{
    ForgetBus();
    Notices().bus.UseAddress(address);
}

void UseSessionBusForNotices()
{
    ForgetBus();
    Notices().bus.UseDefault();
}
} // namespace platform

#include "DesktopNotices.moc"
