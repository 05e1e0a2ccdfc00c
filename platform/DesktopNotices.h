// Notices through the desktop's notification service (org.freedesktop.Notifications on the user's
// session bus). Nothing here waits: the request goes out, and the service's answers (the notice's
// number, a click) come back through the event loop. Without a bus or without a service nothing shows
// and nothing is said: a desktop without notices is a normal desktop.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace platform
{
// The caller's number of the notice that the user clicked, and what was clicked: "default" for the notice
// itself (or its "Show" button), else the key of one of the notice's further actions.
using NoticeClickProc = void (*)(void* context, uint32_t tag, const QString& action);
void SetNoticeClickProc(NoticeClickProc proc, void* context);

// `tag` comes back to the click procedure. `category` is one of the categories notification services
// know ("im.received", "transfer.complete", ...), or empty. `actions` are further buttons, key and label
// in turn, offered only where the service says it shows buttons (it is asked once, without waiting: the
// notice goes out with its answer).
void ShowDesktopNotice(const QString& summary, const QString& body, const QString& category, uint32_t tag,
                       const QStringList& actions = QStringList());
// Notices asked for whose answer (the notice's number, or a refusal) has not come back yet: once none
// is left, the service has seen every request.
uint32_t PendingDesktopNotices();

// Which bus carries the notices. By default the session bus, when the environment names one (or the
// runtime folder has one); an empty address means no bus at all. Tests give the address of a bus of
// their own so that no notice reaches the desktop of whoever runs them.
void SetNoticeBusAddress(const QString& address);
void UseSessionBusForNotices();
} // namespace platform
