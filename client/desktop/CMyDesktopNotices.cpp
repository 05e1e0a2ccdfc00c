#include "client/desktop/CMyDesktopNotices.h"

#include <QApplication>
#include <QByteArray>
#include <cstring>

#include "client/app/CMyApplication.h"
#include "client/core/UMyDesktopSettings.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UiText.h"
#include "platform/DesktopNotices.h"

namespace
{
// A notice is a glimpse: the window holds the whole message.
constexpr int kMaxBodyCharacters = 240;
constexpr size_t kMaxActions = 32;
// The queue message of a click, for the notices object only.
constexpr uint32_t kMsgNoticeClicked = 1200;

bool WindowExists(const CWindow* window)
{
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (CWindow::GetWindow(i) == window) return true;
    return false;
}
} // namespace

CMyDesktopNotices::CMyDesktopNotices(SMySettings& settings) : mSettings(settings)
{
    platform::SetNoticeClickProc(Clicked, this);
}

CMyDesktopNotices::~CMyDesktopNotices()
{
    platform::SetNoticeClickProc(nullptr, nullptr);
    UApplication::FlushMessages(ClickedMessage, this, nullptr);
}

bool CMyDesktopNotices::IsOn() const
{
    return mSettings.desktopNotices;
}

void CMyDesktopNotices::SetOn(bool on)
{
    mSettings.desktopNotices = on;
    UMyDesktopSettings::Write(mSettings);
}

bool CMyDesktopNotices::IsClientActive()
{
    return QApplication::activeWindow() != nullptr;
}

void CMyDesktopNotices::Compose(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                                QString& outSummary, QString& outBody)
{
    const QString who = name ? PStringToQString(name) : QString();
    switch (kind)
    {
    case EMyNotice::PrivateMessage:
        outSummary = QStringLiteral("Private message from %1").arg(who);
        break;
    case EMyNotice::Broadcast:
        outSummary = QStringLiteral("Broadcast from %1").arg(who);
        break;
    case EMyNotice::ChatInvitation:
        outSummary = QStringLiteral("%1 invites you to a private chat").arg(who);
        break;
    case EMyNotice::TransferDone:
        outSummary = QStringLiteral("Transfer finished");
        break;
    case EMyNotice::TransferFailed:
        outSummary = QStringLiteral("Transfer failed");
        break;
    case EMyNotice::ChatMention:
        outSummary = QStringLiteral("You were named in %1").arg(who);
        break;
    }
    if (kind == EMyNotice::TransferDone || kind == EMyNotice::TransferFailed)
    {
        outBody = who;
        return;
    }
    // Messages end their lines with carriage returns.
    outBody = text ? ToQString(text, size) : QString();
    outBody.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    outBody = outBody.trimmed();
    if (outBody.size() > kMaxBodyCharacters) outBody = outBody.left(kMaxBodyCharacters - 1) + QChar(0x2026);
}

bool CMyDesktopNotices::Notify(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                               std::function<void()> onClick, std::vector<SAction> actions)
{
    if (!mSettings.desktopNotices || IsClientActive()) return false;
    QString summary, body;
    Compose(kind, name, text, size, summary, body);
    const bool transfer = kind == EMyNotice::TransferDone || kind == EMyNotice::TransferFailed;
    const QString category = transfer ? (kind == EMyNotice::TransferDone ? QStringLiteral("transfer.complete")
                                                                         : QStringLiteral("transfer.error"))
                                      : QStringLiteral("im.received");
    const uint32_t tag = mNextTag++;
    QStringList buttons;
    for (const SAction& action : actions)
        buttons << action.key << action.label;
    mActions.push_back(SShown{tag, std::move(onClick), std::move(actions)});
    while (mActions.size() > kMaxActions)
        mActions.pop_front();
    platform::ShowDesktopNotice(summary, body, category, tag, buttons);
    return true;
}

std::function<void()> CMyDesktopNotices::BringForward(CWindow* window)
{
    return [window]
    {
        // The window may have been answered and closed since; the client comes forward all the same.
        if (WindowExists(window))
            window->BringToFront();
        else if (gApp)
            gApp->Features().Windows().BringClientForward();
    };
}

void CMyDesktopNotices::Clicked(void* context, uint32_t tag, const QString& action)
{
    // The click comes in from the bus's own dispatch, where nothing may unwind: it is acted on when the
    // run loop delivers it, like every other event of the client. The message holds the tag and then
    // the action's key.
    const QByteArray key = action.toUtf8().left(64);
    uint8_t data[sizeof(tag) + 64];
    std::memcpy(data, &tag, sizeof(tag));
    std::memcpy(data + sizeof(tag), key.constData(), size_t(key.size()));
    UApplication::PostMessage(kMsgNoticeClicked, data, uint32_t(sizeof(tag) + size_t(key.size())), 0,
                              ClickedMessage, context, nullptr);
}

void CMyDesktopNotices::ClickedMessage(void* context, void*, uint32_t, const void* data, uint32_t size)
{
    if (!data || size < sizeof(uint32_t)) return;
    uint32_t tag;
    std::memcpy(&tag, data, sizeof(tag));
    const QString key =
        QString::fromUtf8(static_cast<const char*>(data) + sizeof(tag), qsizetype(size - sizeof(tag)));
    auto* self = static_cast<CMyDesktopNotices*>(context);
    for (const SShown& shown : self->mActions)
        if (shown.tag == tag)
        {
            // The action may show windows that notify again: it runs from a copy.
            std::function<void()> run = shown.onClick;
            for (const SAction& action : shown.actions)
                if (action.key == key) run = action.act;
            if (run) run();
            return;
        }
}
