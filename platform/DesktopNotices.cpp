#include "platform/DesktopNotices.h"

#include "platform/MessageBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
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
    // Whether the service shows buttons: unknown until it answered once.
    enum class EButtons
    {
        Unknown,
        Asking,
        Shown,
        NotShown,
    };
    EButtons buttons = EButtons::Unknown;
    // Notices with buttons that wait for that answer.
    struct SWaiting
    {
        QString summary, body, category;
        uint32_t tag;
        QStringList actions;
    };
    std::deque<SWaiting> waiting;
    // Requests on the current bus whose answer has not come yet; those on a bus given up never answer.
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

// A reply whose first value is of the type the call gives back; an error or anything else is no answer.
bool IsAnswer(const QDBusMessage& reply, QMetaType::Type type)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().metaType().id() == type;
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
    n.buttons = SNotices::EButtons::Unknown;
    n.waiting.clear();
    n.pending = 0;
}
} // namespace

void CNoticeListener::ActionInvoked(uint id, const QString& action)
{
    // The default action (a click) and the "Show" button both mean "show me".
    const QString key = action == QStringLiteral("Show") ? QStringLiteral("default") : action;
    SNotices& n = Notices();
    for (const auto& [shownID, tag] : n.shown)
        if (shownID == id)
        {
            if (n.proc) n.proc(n.context, tag, key);
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

namespace
{
void SendNotice(QDBusConnection& bus, const QString& summary, const QString& body, const QString& category,
                uint32_t tag, const QStringList& actions);

// Asks the service once whether it shows buttons; the notices that wait for the answer go out with it.
void AskForButtons()
{
    SNotices& n = Notices();
    n.buttons = SNotices::EButtons::Asking;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    ++n.pending;
    n.bus.CallWithReply(
        call, Listener(),
        [](const QDBusMessage& reply, bool current)
        {
            if (!current) return;
            SNotices& n = Notices();
            --n.pending;
            n.buttons = IsAnswer(reply, QMetaType::QStringList) &&
                                reply.arguments().first().toStringList().contains(QStringLiteral("actions"))
                            ? SNotices::EButtons::Shown
                            : SNotices::EButtons::NotShown;
            QDBusConnection bus = n.bus.Bus();
            std::deque<SNotices::SWaiting> waiting;
            waiting.swap(n.waiting);
            if (!bus.isConnected()) return;
            for (const SNotices::SWaiting& notice : waiting)
                SendNotice(bus, notice.summary, notice.body, notice.category, notice.tag, notice.actions);
        });
}
} // namespace

void ShowDesktopNotice(const QString& summary, const QString& body, const QString& category, uint32_t tag,
                       const QStringList& actions)
{
    QDBusConnection bus = Notices().bus.Bus();
    if (!bus.isConnected()) return;
    SNotices& n = Notices();
    if (!actions.isEmpty() &&
        (n.buttons == SNotices::EButtons::Unknown || n.buttons == SNotices::EButtons::Asking))
    {
        // Only the newest few wait: a service that never answers holds no more than these.
        n.waiting.push_back(SNotices::SWaiting{summary, body, category, tag, actions});
        while (n.waiting.size() > kMaxRemembered)
            n.waiting.pop_front();
        if (n.buttons == SNotices::EButtons::Unknown) AskForButtons();
        return;
    }
    SendNotice(bus, summary, body, category, tag, actions);
}

namespace
{
void SendNotice(QDBusConnection& bus, const QString& summary, const QString& body, const QString& category,
                uint32_t tag, const QStringList& actions)
{
    Subscribe(bus);
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), kAppID);
    if (!category.isEmpty()) hints.insert(QStringLiteral("category"), category);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // Services that understand markup read the body as markup: what a server sent stays plain text.
    QStringList buttons{QStringLiteral("default"), QStringLiteral("Show")};
    if (Notices().buttons == SNotices::EButtons::Shown) buttons += actions;
    call << QStringLiteral("Quenvol") << uint(0) << kAppID << summary << body.toHtmlEscaped() << buttons
         << hints << int(-1);
    ++Notices().pending;
    Notices().bus.CallWithReply(call, Listener(),
                                [tag](const QDBusMessage& reply, bool current)
                                {
                                    if (!current) return;
                                    --Notices().pending;
                                    // No service on the bus is an error answer like any other, and as
                                    // quiet.
                                    if (IsAnswer(reply, QMetaType::UInt))
                                        Remember(reply.arguments().first().toUInt(), tag);
                                });
}
} // namespace

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
