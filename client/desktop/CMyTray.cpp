#include "client/desktop/CMyTray.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/UMyCommands.h"
#include "client/core/UMyRecentServers.h"
#include "framework/runtime/MacRoman.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UIcons.h"

namespace
{
constexpr int kIconSide = 32;

std::string FromPString(const uint8_t* text)
{
    return MacRomanToUtf8(text + 1, text[0]);
}

// The client's own icon, grey while not connected, with a red dot while something waits to be read.
QIcon IconFor(EMyTrayLook look)
{
    const QIcon base = UIcons::GetIcon(kIconDefaultUser);
    QPixmap pixmap = base.pixmap(kIconSide, kIconSide,
                                 look == EMyTrayLook::kDisconnected ? QIcon::Disabled : QIcon::Normal);
    if (pixmap.isNull())
    {
        pixmap = QPixmap(kIconSide, kIconSide);
        pixmap.fill(look == EMyTrayLook::kDisconnected ? Qt::gray : Qt::darkBlue);
    }
    if (look == EMyTrayLook::kUnread)
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(QColor(220, 30, 30));
        const int dot = pixmap.width() / 2;
        painter.drawEllipse(pixmap.width() - dot - 1, 1, dot, dot);
    }
    return QIcon(pixmap);
}

void RunCommand(uint32_t id)
{
    if (const SMyCommand* command = UMyCommands::Find(id))
        UMyCommands::Run(*gApp, *command, SMyCommandCall{});
}
} // namespace

CMyTray::CMyTray() : mMenu(std::make_unique<QMenu>())
{
    // The menu's entries follow the recent servers and the connection as they are when it opens.
    QObject::connect(mMenu.get(), &QMenu::aboutToShow, [this] { FillMenu(); });
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, mMenu.get(),
                     [this](Qt::ApplicationState state)
                     {
                         if (state == Qt::ApplicationActive) ClearUnread();
                     });
}

CMyTray::~CMyTray() = default;

bool CMyTray::IsAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CMyTray::Show()
{
    if (mIcon || !IsAvailable()) return;
    mIcon = std::make_unique<QSystemTrayIcon>();
    mIcon->setContextMenu(mMenu.get());
    QObject::connect(mIcon.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason)
                     {
                         if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                             Choose(SMyTrayEntry{SMyTrayEntry::EAction::kShow, std::string()});
                     });
    Update();
    mIcon->show();
}

bool CMyTray::IsShown() const
{
    return mIcon && mIcon->isVisible();
}

void CMyTray::SetConnected(bool connected, const uint8_t* server)
{
    mConnected = connected;
    mServer = connected && server ? FromPString(server) : std::string();
    Update();
}

void CMyTray::NoteArrived(EMyNotice kind)
{
    if (kind == EMyNotice::PrivateMessage)
        ++mUnreadMessages;
    else if (kind == EMyNotice::ChatMention)
        ++mUnreadMentions;
    else
        return;
    Update();
}

void CMyTray::ClearUnread()
{
    if (!mUnreadMessages && !mUnreadMentions) return;
    mUnreadMessages = mUnreadMentions = 0;
    Update();
}

EMyTrayLook CMyTray::Look() const
{
    if (mUnreadMessages || mUnreadMentions) return EMyTrayLook::kUnread;
    return mConnected ? EMyTrayLook::kConnected : EMyTrayLook::kDisconnected;
}

QString CMyTray::ToolTip() const
{
    QString text = mConnected
                       ? QStringLiteral("Quenvol: connected to %1").arg(QString::fromStdString(mServer))
                       : QStringLiteral("Quenvol: not connected");
    if (mUnreadMessages)
        text += mUnreadMessages == 1 ? QStringLiteral("\n1 private message")
                                     : QStringLiteral("\n%1 private messages").arg(mUnreadMessages);
    if (mUnreadMentions)
        text += mUnreadMentions == 1 ? QStringLiteral("\n1 mention in chat")
                                     : QStringLiteral("\n%1 mentions in chat").arg(mUnreadMentions);
    return text;
}

std::vector<SMyTrayEntry> CMyTray::Entries() const
{
    using EAction = SMyTrayEntry::EAction;
    std::vector<SMyTrayEntry> entries;
    entries.push_back({EAction::kShow, "Show Quenvol"});
    entries.push_back(mConnected ? SMyTrayEntry{EAction::kDisconnect, "Disconnect"}
                                 : SMyTrayEntry{EAction::kConnect, "Connect..."});
    const std::vector<SMyRecentServer> recent = UMyRecentServers::Read();
    if (!recent.empty()) entries.push_back({EAction::kSeparator, std::string()});
    for (uint32_t i = 0; i < recent.size(); ++i)
    {
        std::string title = FromPString(recent[i].address);
        if (recent[i].login[0]) title += " (" + FromPString(recent[i].login) + ")";
        entries.push_back({EAction::kRecent, title, i});
    }
    entries.push_back({EAction::kSeparator, std::string()});
    entries.push_back({EAction::kQuit, "Quit"});
    return entries;
}

void CMyTray::Choose(const SMyTrayEntry& entry)
{
    if (!gApp) return;
    switch (entry.action)
    {
    case SMyTrayEntry::EAction::kShow:
        ClearUnread();
        gApp->Features().Windows().BringClientForward();
        break;
    case SMyTrayEntry::EAction::kConnect:
        RunCommand(kCmdShowConnect);
        break;
    case SMyTrayEntry::EAction::kDisconnect:
        RunCommand(kCmdDisconnect);
        break;
    case SMyTrayEntry::EAction::kRecent:
        // Like the connect command, never on top of a window that waits for the user.
        if (CWindow::IsModalRunning())
            gApp->Features().Windows().BringClientForward();
        else
            gApp->Features().Connection().ConnectToRecent(entry.index);
        break;
    case SMyTrayEntry::EAction::kQuit:
        RunCommand(kCmdQuitApp);
        break;
    case SMyTrayEntry::EAction::kSeparator:
        break;
    }
}

void CMyTray::Update()
{
    if (!mIcon) return;
    mIcon->setIcon(IconFor(Look()));
    mIcon->setToolTip(ToolTip());
}

void CMyTray::FillMenu()
{
    mMenu->clear();
    for (const SMyTrayEntry& entry : Entries())
    {
        if (entry.action == SMyTrayEntry::EAction::kSeparator)
        {
            mMenu->addSeparator();
            continue;
        }
        QAction* action = mMenu->addAction(QString::fromStdString(entry.title));
        // Later, from the event loop: quitting or connecting must not happen inside the menu's own signal,
        // and the menu may be gone by then, which drops the call.
        QObject::connect(action, &QAction::triggered, mMenu.get(),
                         [this, entry]
                         {
                             QMetaObject::invokeMethod(
                                 mMenu.get(), [this, entry] { Choose(entry); }, Qt::QueuedConnection);
                         });
    }
}
