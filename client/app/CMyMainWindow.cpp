#include "client/app/CMyMainWindow.h"

#include <QApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "client/app/AppMenuBar.h"
#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/app/CMyStatusBar.h"
#include "client/app/UMyCommands.h"
#include "client/core/UMyLayoutFile.h"
#include "client/transfers/CMyTransferTask.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/UClock.h"
#include "framework/ui/CDockPlace.h"
#include "framework/ui/CTabPlace.h"
#include "framework/ui/CView.h"
#include "framework/ui/UIcons.h"

namespace
{
constexpr uint16_t kMainStyle = kWindowCloseBox | kWindowResizable;
constexpr uint32_t kStatusPeriodMs = 1000;
// The saved arrangement names its version: one saved by another arrangement of panes is not taken.
constexpr int kStateVersion = 1;

constexpr struct
{
    const char* name;
    Qt::DockWidgetArea area;
} kPanes[CMyMainWindow::kPaneCount] = {
    {"users", Qt::LeftDockWidgetArea},
    {"chat", Qt::BottomDockWidgetArea},
    {"news", Qt::RightDockWidgetArea},
    {"tasks", Qt::RightDockWidgetArea},
};

// The whole window must lie on one screen as it is now: a place saved with a larger screen, or with one
// that is gone, would leave panes out of reach.
bool FitsOnAScreen(const QMainWindow* main)
{
    const QRect frame = main->isMaximized() ? main->normalGeometry() : main->geometry();
    const SRect bounds{frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
    for (QScreen* screen : QGuiApplication::screens())
    {
        const QRect area = screen->availableGeometry();
        if (frame.width() <= area.width() && frame.height() <= area.height() && area.contains(frame.center()))
            return CWindow::IsOnScreen(bounds);
    }
    return false;
}

const char kHintText[] = "Folders and private chats open here.\n"
                         "Connect to a server (Ctrl+K), then open its files (Ctrl+F).";
} // namespace

CMyMainWindow::CMyMainWindow() : CFrameWindow(SRect{0, 0, 900, 600}, kMainStyle)
{
    SetTitle("Quenvol", 7);
    SetIcon(kIconDefaultUser);
    InstallMenuBar(*this);
    QMainWindow* main = MainWindow();
    main->setObjectName(QStringLiteral("main"));
    main->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    main->setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    main->setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);

    // The toolbar: text under the icons unless the desktop's style puts it beside them.
    mToolBar = main->addToolBar(QStringLiteral("Toolbar"));
    mToolBar->setObjectName(QStringLiteral("toolbar"));
    const int styleHint = main->style()->styleHint(QStyle::SH_ToolButtonStyle, nullptr, main);
    mToolBar->setToolButtonStyle(styleHint == Qt::ToolButtonTextBesideIcon ? Qt::ToolButtonTextBesideIcon
                                                                           : Qt::ToolButtonTextUnderIcon);
    auto addButton = [this](const SMyCommand& c)
    {
        QAction* a = mToolBar->addAction(UIcons::GetIcon(c.button.icon), QString::fromLatin1(c.button.title));
        if (c.button.tooltip) a->setToolTip(QString::fromLatin1(c.button.tooltip));
        const uint32_t id = c.id;
        QObject::connect(a, &QAction::triggered,
                         [this, id]
                         { Hit(id, 0, CView::ModsOf(QApplication::keyboardModifiers().toInt())); });
        mButtons.push_back(SButton{c.id, c.access, a});
    };
    // Connecting and leaving share the first place, as in the toolbar window; the rest follow in the
    // command table's order.
    for (uint32_t first : {uint32_t(kCmdShowConnect), uint32_t(kCmdDisconnect)})
        addButton(*UMyCommands::Find(first));
    for (const SMyCommand& c : UMyCommands::All())
        if (c.button.title && c.id != kCmdShowConnect && c.id != kCmdDisconnect) addButton(c);

    // The centre: the tabs, or a hint while there are none.
    auto* layout = new QVBoxLayout(ContentWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    mCentre = new QStackedWidget(ContentWidget());
    layout->addWidget(mCentre);
    mHint = new QLabel(QString::fromLatin1(kHintText), mCentre);
    mHint->setAlignment(Qt::AlignCenter);
    mHint->setEnabled(false);
    mHint->setWordWrap(true);
    mTabs = new QTabWidget(mCentre);
    mCentre->addWidget(mHint);
    mCentre->addWidget(mTabs);
    mTabPlace = std::make_unique<CTabPlace>(mTabs);
    auto followTabs = [this]
    { mCentre->setCurrentWidget(mTabs->count() ? static_cast<QWidget*>(mTabs) : mHint); };
    // The current tab changes as the first one comes and the last one goes.
    QObject::connect(mTabs, &QTabWidget::currentChanged, followTabs);

    for (uint32_t i = 0; i < kPaneCount; ++i)
        mPanes[i] = std::make_unique<CDockPlace>(main, kPanes[i].area, kPanes[i].name);
    main->splitDockWidget(mPanes[kPaneNews]->Dock(), mPanes[kPaneTasks]->Dock(), Qt::Vertical);

    mStatus = std::make_unique<CMyStatusBar>(main->statusBar());
    mAccess.SetAll();
    if (gApp) mAccess = gApp->Features().Session().Access();
    LayOutToolbar();
    DefaultArrangement();
    mStatusTimer.Reset(UTimer::StartNew(StatusTimer, this, kStatusPeriodMs, true));
}

CMyMainWindow::~CMyMainWindow()
{
    ReleaseAll();
}

void CMyMainWindow::HostPane(EPane pane, CWindow* window)
{
    window->SetPlace(mPanes[pane].get());
}

CWindowPlace* CMyMainWindow::TabPlace() const
{
    return mTabPlace.get();
}

bool CMyMainWindow::Holds(const CWindow* window) const
{
    const CWindowPlace* place = window ? window->GetPlace() : nullptr;
    if (!place) return false;
    if (place == mTabPlace.get()) return true;
    for (const auto& pane : mPanes)
        if (place == pane.get()) return true;
    return false;
}

void CMyMainWindow::ReleaseAll()
{
    std::vector<CWindow*> held;
    for (uint32_t i = 1; i <= GetWindowCount(); ++i)
        if (Holds(GetWindow(i))) held.push_back(GetWindow(i));
    for (CWindow* w : held)
        w->SetPlace(nullptr);
}

void CMyMainWindow::SetAccess(const SMyUserAccess& access)
{
    mAccess = access;
    LayOutToolbar();
}

void CMyMainWindow::SetLook(uint16_t look)
{
    mLook = look;
    LayOutToolbar();
    uint8_t text[64];
    const char* words = look == kToolbarConnected    ? "Connected"
                        : look == kToolbarConnecting ? "Connecting\xC9"
                                                     : "Not connected";
    text[0] = uint8_t(std::strlen(words));
    std::memcpy(text + 1, words, text[0]);
    mStatus->SetConnection(text);
}

void CMyMainWindow::LayOutToolbar()
{
    for (const SButton& b : mButtons)
    {
        bool shown = mAccess.HasAny(b.access);
        if (b.id == kCmdShowConnect) shown = mLook == kToolbarNotConnected;
        if (b.id == kCmdDisconnect) shown = mLook != kToolbarNotConnected;
        b.action->setVisible(shown);
    }
}

void CMyMainWindow::ShowToolbar()
{
    mToolBar->show();
    BringToFront();
}

std::vector<uint32_t> CMyMainWindow::ToolbarButtons() const
{
    std::vector<uint32_t> ids;
    for (const SButton& b : mButtons)
        if (b.action->isVisible()) ids.push_back(b.id);
    return ids;
}

void CMyMainWindow::StatusTimer(void* context, void*, uint32_t, const void*, uint32_t)
{
    static_cast<CMyMainWindow*>(context)->RefreshStatus();
}

void CMyMainWindow::RefreshStatus()
{
    if (!gApp) return;
    if (CMyUserListWin* users = gApp->Features().Windows().Users())
        mStatus->SetUsersOnline(gApp->Features().Session().IsConnected() ? users->View()->GetItemCount() : 0);
    const uint64_t now = UClock::Now();
    const uint64_t elapsed = now - mLastLook;
    uint32_t running = 0;
    uint64_t moved = 0;
    std::map<const CMyTask*, uint32_t> done;
    for (CMyTask* task : gApp->Features().Tasks())
    {
        auto* transfer = dynamic_cast<CMyTransferTask*>(task);
        // A queued transfer waits behind another and moves nothing.
        if (!transfer || task->mIsFinished || !transfer->IsWaitingOnNetwork()) continue;
        ++running;
        const uint32_t bytes = transfer->GetDoneSize();
        done[task] = bytes;
        if (auto before = mLastDone.find(task); before != mLastDone.end() && bytes > before->second)
            moved += bytes - before->second;
    }
    mLastDone = std::move(done);
    mLastLook = now;
    mStatus->SetTransfers(running, elapsed ? moved * 1000 / elapsed : 0);
}

void CMyMainWindow::GetArrangement(SMyWindowLayout& outLayout) const
{
    const QByteArray geometry = MainWindow()->saveGeometry();
    const QByteArray state = MainWindow()->saveState(kStateVersion);
    outLayout.geometry.assign(geometry.constData(), size_t(geometry.size()));
    outLayout.state.assign(state.constData(), size_t(state.size()));
}

bool CMyMainWindow::SetArrangement(const SMyWindowLayout& layout)
{
    QMainWindow* main = MainWindow();
    const QByteArray geometry(layout.geometry.data(), qsizetype(layout.geometry.size()));
    const QByteArray state(layout.state.data(), qsizetype(layout.state.size()));
    bool fits = !geometry.isEmpty() && main->restoreGeometry(geometry) && FitsOnAScreen(main);
    if (fits) fits = main->restoreState(state, kStateVersion);
    if (!fits)
    {
        DefaultArrangement();
        return false;
    }
    for (const auto& pane : mPanes)
        pane->TakeStateFromDock();
    return true;
}

void CMyMainWindow::DefaultArrangement()
{
    QMainWindow* main = MainWindow();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = std::min(1000, area.width() * 9 / 10), height = std::min(680, area.height() * 9 / 10);
    if (main->isMaximized()) main->showNormal();
    main->setGeometry(area.left() + (area.width() - width) / 2, area.top() + (area.height() - height) / 3,
                      width, height);
    main->addToolBar(Qt::TopToolBarArea, mToolBar);
    mToolBar->show();
    for (uint32_t i = 0; i < kPaneCount; ++i)
    {
        QDockWidget* dock = mPanes[i]->Dock();
        const bool shown = mPanes[i]->IsShown(nullptr);
        dock->setFloating(false);
        main->addDockWidget(kPanes[i].area, dock);
        dock->setVisible(shown);
    }
    main->splitDockWidget(mPanes[kPaneNews]->Dock(), mPanes[kPaneTasks]->Dock(), Qt::Vertical);
    main->resizeDocks({mPanes[kPaneUsers]->Dock(), mPanes[kPaneNews]->Dock()}, {width / 5, width * 3 / 10},
                      Qt::Horizontal);
    main->resizeDocks({mPanes[kPaneChat]->Dock()}, {height * 2 / 5}, Qt::Vertical);
}
