// The main window through the whole client: the panes, toolbar and status line of a first start, folder
// windows and private chats as tabs that stay the windows they are, switching to separate windows and
// back, the arrangement kept between runs, and the show commands bringing a closed pane back.
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "client/app/AppNumbers.h"
#include "client/app/CMyMainWindow.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/app/CMyStatusBar.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/connection/CMyLoginWin.h"
#include "client/core/SMyUserAccess.h"
#include "client/core/UMyLayoutFile.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CDockPlace.h"
#include "framework/ui/CTabPlace.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UPopupMenu.h"
#include "tests/client/files/FilesTestSupport.h"

using namespace filestest;

namespace
{
constexpr uint16_t kRobin = 900;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.layout.clear(); // no layout line: what a new user gets
        h.WriteSharedFile("Read Me.txt", "hello");
        h.WriteSharedFile("Docs/Guide.txt", "guide");
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.extraUsers.push_back({kRobin, 410, 0, "Robin"});
    }

    CMyMainWindow* Main() const { return h.App().Features().Windows().Main(); }
    QString TabText(int index) const { return Main()->Tabs()->tabText(index); }
    std::string ConfigFile(const char* name) const { return h.UserFolder() + "/../config/Quenvol/" + name; }

    CAppHarness h;
};
} // namespace

TEST_F(MainWindowTest, AFirstStartBuildsTheMainWindowWithItsPanesToolbarAndStatusLine)
{
    h.model.guestAccess[kAccessCanBroadcast / 8] &= uint8_t(~(0x80u >> (kAccessCanBroadcast % 8)));
    h.Start();
    CMyApplication& app = h.App();
    ASSERT_NE(Main(), nullptr);
    EXPECT_TRUE(Main()->IsVisible());
    // The separate layout's toolbar window costs start-up time: it is built at the first switch only.
    EXPECT_EQ(app.Features().Windows().Toolbar(), nullptr);
    EXPECT_EQ(CAppHarness::Title(Main()), "Quenvol");
    const std::pair<CWindow*, CMyMainWindow::EPane> panes[] = {
        {app.Features().Windows().Users(), CMyMainWindow::kPaneUsers},
        {app.Features().Windows().Chat(), CMyMainWindow::kPaneChat},
        {app.Features().Windows().News(), CMyMainWindow::kPaneNews},
        {app.Features().Windows().Tasks(), CMyMainWindow::kPaneTasks}};
    for (const auto& [window, pane] : panes)
    {
        EXPECT_EQ(window->GetPlace(), Main()->Pane(pane)) << pane;
        EXPECT_TRUE(window->IsVisible()) << pane;
        EXPECT_FALSE(window->Widget()->isWindow()) << pane;
        EXPECT_EQ(Main()->Pane(pane)->Dock()->widget(), window->Widget()) << pane;
    }
    EXPECT_EQ(Main()->Pane(CMyMainWindow::kPaneNews)->Dock()->windowTitle().toStdString(), "News");
    // The menu bar: the command table's menus and the View menu, whose switch shows the layout.
    std::vector<std::string> menus;
    for (QAction* a : Main()->MainWindow()->menuBar()->actions())
        menus.push_back(a->text().toStdString());
    EXPECT_EQ(menus, (std::vector<std::string>{"File", "Edit", "View", "Quenvol"}));
    // Not connected: the connect button leads, every button the access may need is there.
    std::vector<uint32_t> buttons = Main()->ToolbarButtons();
    ASSERT_FALSE(buttons.empty());
    EXPECT_EQ(buttons.front(), uint32_t(kCmdShowConnect));
    EXPECT_EQ(std::count(buttons.begin(), buttons.end(), uint32_t(kCmdDisconnect)), 0);
    EXPECT_EQ(buttons.size(), 14u);
    EXPECT_NE(Main()->ToolBar()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(Main()->Status().ConnectionText(), "Not connected");
    EXPECT_EQ(Main()->Status().ButtonTitle(0), "");

    ASSERT_TRUE(h.Login());
    buttons = Main()->ToolbarButtons();
    EXPECT_EQ(buttons.front(), uint32_t(kCmdDisconnect));
    EXPECT_EQ(std::count(buttons.begin(), buttons.end(), uint32_t(kCmdBroadcast)), 0); // the access says no
    Main()->RefreshStatus();
    EXPECT_EQ(Main()->Status().ConnectionText(), "Connected");
    EXPECT_EQ(Main()->Status().UsersText(),
              std::to_string(app.Features().Windows().Users()->View()->GetItemCount()) + " users online");
    EXPECT_FALSE(Main()->Status().ServerText().empty());
    EXPECT_EQ(CAppHarness::Title(Main()), Main()->Status().ServerText() + " \xD1 Quenvol");
    EXPECT_EQ(Main()->Status().TransfersText(), "");

    // A toolbar button is a hit of its command, as in the toolbar window.
    app.DoShowPublicFiles();
    ASSERT_TRUE(WaitIdle(h));
    ASSERT_NE(app.GetRootFolderWin(), nullptr);
}

TEST_F(MainWindowTest, FoldersAndPrivateChatsOpenAsTabsThatStayWindowsAndCtrlUpWorksInOne)
{
    h.Start();
    ASSERT_TRUE(h.Login());
    CMyApplication& app = h.App();
    EXPECT_EQ(Main()->Tabs()->count(), 0);

    h.Key('F', 'f', kModCtrl);
    ASSERT_TRUE(WaitIdle(h));
    CMyFolderWin* root = app.GetRootFolderWin();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetPlace(), Main()->TabPlace());
    ASSERT_EQ(Main()->Tabs()->count(), 1);
    EXPECT_EQ(TabText(0).toStdString(), "Files");
    Open(h, root, "Docs");
    CMyFolderWin* docs = FolderWin(h, "Docs");
    ASSERT_NE(docs, nullptr);
    ASSERT_EQ(Main()->Tabs()->count(), 2);
    EXPECT_EQ(Main()->Tabs()->currentWidget(), docs->Widget()); // a new window comes to the front
    EXPECT_EQ(CWindow::GetFrontWindow(), docs);
    EXPECT_TRUE(HasRow(docs, "Guide.txt"));

    // Ctrl+Up in the folder tab: its parent, the open root, comes forward as the current tab.
    h.Key(kKeyUp, 0, kModCtrl);
    ASSERT_TRUE(WaitIdle(h));
    EXPECT_EQ(Main()->Tabs()->currentWidget(), root->Widget());
    EXPECT_EQ(CWindow::GetFrontWindow(), root);
    EXPECT_EQ(FolderWins(h).size(), 2u);
    // With Alt the tab itself goes up, and the tab's text follows the window's title.
    Main()->Tabs()->setCurrentWidget(docs->Widget());
    h.Key(kKeyUp, 0, kModCtrl | kModAlt);
    ASSERT_TRUE(WaitIdle(h));

    // A private chat opened from the users pane is a tab too.
    h.model.nextChatID = 44;
    CMyUserListView* users = app.Features().Windows().Users()->View();
    users->SelectOnly(users->FindUser(kRobin));
    h.Hit(app.Features().Windows().Users(), kHitOpenPrivateChat);
    ASSERT_TRUE(h.WaitUntil([&] { return app.GetChatWinByID(44) != nullptr; }, "the private chat"));
    CMyChatWin* chat = app.GetChatWinByID(44);
    EXPECT_EQ(chat->GetPlace(), Main()->TabPlace());
    EXPECT_EQ(Main()->Tabs()->currentWidget(), chat->Widget());

    // Moved to a window of its own, a folder keeps working: its buttons still ask the server.
    const int tabs = Main()->Tabs()->count();
    Main()->TabPlace()->BringToFront(root);
    static_cast<CTabPlace*>(Main()->TabPlace())->MoveToOwnWindow(Main()->Tabs()->indexOf(root->Widget()));
    EXPECT_EQ(Main()->Tabs()->count(), tabs - 1);
    EXPECT_EQ(root->GetPlace(), nullptr);
    EXPECT_TRUE(root->Widget()->isWindow());
    EXPECT_TRUE(root->IsVisible());
    const size_t listings = h.Requests(200).size();
    h.Hit(root, kHitFileRefresh);
    ASSERT_TRUE(WaitIdle(h));
    EXPECT_EQ(h.Requests(200).size(), listings + 1);

    // A tab's close button is the window's close box: the folder window goes.
    const size_t folders = FolderWins(h).size();
    const int docsTab = Main()->Tabs()->indexOf(docs->Widget());
    ASSERT_GE(docsTab, 0);
    emit Main()->Tabs()->tabCloseRequested(docsTab);
    h.Pump();
    EXPECT_EQ(FolderWins(h).size(), folders - 1);
    EXPECT_EQ(Main()->Tabs()->count(), tabs - 2);
}

// A tab left only through its context menu, and a window that had been a tab never found its way back.
TEST_F(MainWindowTest, ATabDraggedOffTheBarIsAWindowWhoseContextMenuPutsItBack)
{
    h.Start();
    ASSERT_TRUE(h.Login());
    CMyApplication& app = h.App();
    h.Key('F', 'f', kModCtrl);
    ASSERT_TRUE(WaitIdle(h));
    CMyFolderWin* root = app.GetRootFolderWin();
    ASSERT_NE(root, nullptr);
    QTabBar* bar = Main()->Tabs()->tabBar();
    const int index = Main()->Tabs()->indexOf(root->Widget());
    ASSERT_GE(index, 0);

    auto mouse = [bar](QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), QPointF(bar->mapToGlobal(at)), Qt::LeftButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &event);
    };
    // Along the bar a drag only moves the tab; well below it the tab comes off.
    const QPoint grab = bar->tabRect(index).center();
    mouse(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    mouse(QEvent::MouseMove, grab + QPoint(3, 0), Qt::LeftButton);
    h.Pump();
    EXPECT_EQ(root->GetPlace(), Main()->TabPlace());
    mouse(QEvent::MouseMove, grab + QPoint(0, bar->height() + 120), Qt::LeftButton);
    h.Pump();
    mouse(QEvent::MouseButtonRelease, grab + QPoint(0, bar->height() + 120), Qt::NoButton);
    ASSERT_TRUE(h.WaitUntil([&] { return root->GetPlace() == nullptr; }, "the torn-off tab"));
    EXPECT_TRUE(root->Widget()->isWindow());
    EXPECT_TRUE(root->IsVisible());
    EXPECT_EQ(Main()->Tabs()->indexOf(root->Widget()), -1);

    // Any menu of the window ends with the way back.
    std::vector<SMenuEntry> offered;
    UPopupMenu::SetObserver(
        [&](const std::vector<SMenuEntry>& entries)
        {
            offered = entries;
            return UPopupMenu::Find(entries, CTabPlace::kMoveToMainWindow);
        });
    root->View()->ContextMenuAt(40, 5);
    UPopupMenu::SetObserver(nullptr);
    EXPECT_GE(UPopupMenu::Find(offered, "Download"), 0);
    ASSERT_TRUE(h.WaitUntil([&] { return root->GetPlace() == Main()->TabPlace(); }, "the tab back"));
    EXPECT_EQ(Main()->Tabs()->currentWidget(), root->Widget());
    EXPECT_FALSE(root->Widget()->isWindow());

    // A window that never was a tab, or one seen while the main window is away, offers no way back.
    offered.clear();
    UPopupMenu::SetObserver(
        [&](const std::vector<SMenuEntry>& entries)
        {
            offered = entries;
            return -1;
        });
    root->View()->ContextMenuAt(40, 5);
    EXPECT_EQ(UPopupMenu::Find(offered, CTabPlace::kMoveToMainWindow), -1);
    static_cast<CTabPlace*>(Main()->TabPlace())->MoveToOwnWindow(Main()->Tabs()->indexOf(root->Widget()));
    h.MenuItem(kItemSeparateWindows);
    root->View()->ContextMenuAt(40, 5);
    UPopupMenu::SetObserver(nullptr);
    EXPECT_EQ(UPopupMenu::Find(offered, CTabPlace::kMoveToMainWindow), -1);
}

TEST_F(MainWindowTest, SwitchingToSeparateWindowsAndBackKeepsEveryPaneAndTab)
{
    h.model.news = "Fresh news";
    h.Start();
    ASSERT_TRUE(h.Login());
    CMyApplication& app = h.App();
    app.Features().Windows().AppendPublicChatNote(CAppHarness::P("a line of chat").data());
    h.Key('F', 'f', kModCtrl);
    ASSERT_TRUE(WaitIdle(h));
    CMyFolderWin* root = app.GetRootFolderWin();
    ASSERT_NE(root, nullptr);
    h.Hit(app.Features().Windows().Tasks(), kHitCloseBox); // a closed pane stays closed through the switches
    ASSERT_FALSE(app.Features().Windows().Tasks()->IsVisible());
    const std::string chat = h.ChatText(), news = h.NewsText();
    const std::vector<std::string> users = h.OnlineUserNames(), rows = Rows(root);
    ASSERT_NE(chat.find("a line of chat"), std::string::npos);
    ASSERT_NE(news.find("Fresh news"), std::string::npos);
    ASSERT_FALSE(users.empty());

    h.MenuItem(kItemSeparateWindows);
    EXPECT_EQ(app.Features().Windows().Layout(), EMyLayout::kSeparate);
    EXPECT_EQ(app.Features().Settings().layout, EMyLayout::kSeparate);
    EXPECT_NE(ReadFile(ConfigFile("desktop.conf")).find("layout=separate\n"), std::string::npos);
    EXPECT_FALSE(Main()->IsVisible());
    EXPECT_TRUE(app.Features().Windows().Toolbar()->IsVisible());
    for (CWindow* w : std::initializer_list<CWindow*>{
             app.Features().Windows().Users(), app.Features().Windows().Chat(),
             app.Features().Windows().News(), app.Features().Windows().Tasks(), root})
    {
        EXPECT_EQ(w->GetPlace(), nullptr);
        EXPECT_TRUE(w->Widget()->isWindow());
    }
    EXPECT_TRUE(app.Features().Windows().Chat()->IsVisible());
    EXPECT_TRUE(root->IsVisible());
    EXPECT_FALSE(app.Features().Windows().Tasks()->IsVisible());
    EXPECT_EQ(h.ChatText(), chat);
    EXPECT_EQ(h.NewsText(), news);
    EXPECT_EQ(h.OnlineUserNames(), users);
    EXPECT_EQ(Rows(root), rows);
    // The chat's views fill its own window again, not the pane's size they had.
    const QWidget* send = app.Features().Windows().Chat()->GetSendView()->Widget();
    EXPECT_LE(send->geometry().right(), app.Features().Windows().Chat()->ContentWidget()->width());

    // From the toolbar window's own View menu, back to the main window.
    h.MenuItem(kItemSeparateWindows);
    EXPECT_EQ(app.Features().Windows().Layout(), EMyLayout::kMain);
    EXPECT_TRUE(Main()->IsVisible());
    EXPECT_FALSE(app.Features().Windows().Toolbar()->IsVisible());
    EXPECT_EQ(app.Features().Windows().Chat()->GetPlace(), Main()->Pane(CMyMainWindow::kPaneChat));
    EXPECT_EQ(root->GetPlace(), Main()->TabPlace());
    EXPECT_TRUE(root->IsVisible());
    EXPECT_FALSE(app.Features().Windows().Tasks()->IsVisible());
    EXPECT_EQ(h.ChatText(), chat);
    EXPECT_EQ(h.NewsText(), news);
    EXPECT_EQ(h.OnlineUserNames(), users);
    EXPECT_EQ(Rows(root), rows);
    EXPECT_NE(ReadFile(ConfigFile("desktop.conf")).find("layout=main\n"), std::string::npos);
}

TEST(MainWindowArrangement, TheArrangementSavedAtQuitComesBackAndOneThatNoLongerFitsGivesTheDefault)
{
    std::string prefs, desktop, layout;
    auto config = [](const CAppHarness& harness, const char* name)
    { return harness.UserFolder() + "/../config/Quenvol/" + name; };
    {
        CAppHarness h;
        h.layout.clear();
        h.Start();
        CMyMainWindow* main = h.App().Features().Windows().Main();
        ASSERT_NE(main, nullptr);
        h.Hit(h.App().Features().Windows().Users(), kHitCloseBox);
        main->MainWindow()->addDockWidget(Qt::LeftDockWidgetArea,
                                          main->Pane(CMyMainWindow::kPaneTasks)->Dock());
        main->MainWindow()->setGeometry(5, 20, 790, 560);
        h.App().DoDisconnect();
        h.App().WritePrefs();
        prefs = ReadFile(h.UserFolder() + "/Quenvol Prefs");
        desktop = ReadFile(config(h, "desktop.conf"));
        layout = ReadFile(config(h, "layout.state"));
        ASSERT_FALSE(layout.empty());
    }
    auto startWith = [&](CAppHarness& again, const std::string& layoutBytes)
    {
        again.layout.clear();
        WriteFile(again.UserFolder() + "/Quenvol Prefs", prefs);
        WriteFile(config(again, "desktop.conf"), desktop);
        WriteFile(config(again, "layout.state"), layoutBytes);
        again.Start();
    };
    {
        CAppHarness again;
        startWith(again, layout);
        CMyMainWindow* main = again.App().Features().Windows().Main();
        ASSERT_NE(main, nullptr);
        EXPECT_FALSE(again.App().Features().Windows().Users()->IsVisible());
        EXPECT_TRUE(again.App().Features().Windows().News()->IsVisible());
        EXPECT_EQ(main->MainWindow()->dockWidgetArea(main->Pane(CMyMainWindow::kPaneTasks)->Dock()),
                  Qt::LeftDockWidgetArea);
        EXPECT_EQ(main->MainWindow()->size(), QSize(790, 560));
        // The closed pane comes back from its key.
        again.Key('U', 'u', kModCtrl);
        EXPECT_TRUE(again.App().Features().Windows().Users()->IsVisible());
    }
    {
        // Saved with a screen far larger than this one, or damaged: the default arrangement, on the screen.
        CAppHarness again;
        startWith(again, "QVLY damaged");
        CMyMainWindow* main = again.App().Features().Windows().Main();
        ASSERT_NE(main, nullptr);
        QMainWindow* widget = main->MainWindow();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(area.contains(widget->geometry().center()));
        widget->setGeometry(0, 0, 9000, 7000);
        SMyWindowLayout huge;
        main->GetArrangement(huge);
        EXPECT_FALSE(main->SetArrangement(huge));
        EXPECT_LE(widget->width(), area.width());
        EXPECT_LE(widget->height(), area.height());
        EXPECT_TRUE(area.contains(widget->geometry().center()));
        EXPECT_EQ(widget->dockWidgetArea(main->Pane(CMyMainWindow::kPaneTasks)->Dock()),
                  Qt::RightDockWidgetArea);
        EXPECT_FALSE(main->SetArrangement(SMyWindowLayout{"junk", "junk"}));
        EXPECT_LE(widget->width(), area.width());
    }
}

TEST_F(MainWindowTest, AClosedPaneComesBackFromTheViewMenuAndFromItsKey)
{
    h.Start();
    CMyApplication& app = h.App();
    struct
    {
        CWindow* window;
        int16_t item;
        uint16_t keyCode, keyChar, mods;
    } panes[] = {
        {app.Features().Windows().Users(), kItemViewUsers, kKeyF1 + 4, 0, 0},
        {app.Features().Windows().Chat(), kItemViewChat, 0, 'h', kModCtrl},
        {app.Features().Windows().News(), kItemViewNews, kKeyF1 + 1, 0, 0},
        {app.Features().Windows().Tasks(), kItemViewTasks, 0, 't', kModCtrl},
    };
    for (const auto& p : panes)
    {
        h.Hit(p.window, kHitCloseBox);
        EXPECT_FALSE(p.window->IsVisible());
        EXPECT_TRUE(p.window->GetPlace() != nullptr); // closing a pane hides it, nothing more
        h.MenuItem(p.item);
        EXPECT_TRUE(p.window->IsVisible()) << p.item;
        h.Hit(p.window, kHitCloseBox);
        h.Key(p.keyCode, p.keyChar, p.mods);
        EXPECT_TRUE(p.window->IsVisible()) << p.item;
    }
    // The pane's own close button is the window's close box.
    QDockWidget* news = Main()->Pane(CMyMainWindow::kPaneNews)->Dock();
    news->close();
    h.Pump();
    EXPECT_FALSE(app.Features().Windows().News()->IsVisible());
    EXPECT_TRUE(news->isHidden());
    // The toolbar comes back from the View menu.
    Main()->ToolBar()->hide();
    h.MenuItem(kItemViewToolbar);
    EXPECT_TRUE(Main()->ToolBar()->isVisibleTo(Main()->MainWindow()));
}

TEST_F(MainWindowTest, TheStatusLineShowsTheReconnectWithButtonsThatActFromTheQueue)
{
    h.Start();
    int now = 0, cancel = 0;
    h.App().Features().Windows().ShowReconnect(
        CAppHarness::P("Connection lost \xD1 reconnecting in 8 s (attempt 3)").data(), [&] { ++now; },
        [&] { ++cancel; });
    CMyStatusBar& status = Main()->Status();
    EXPECT_EQ(status.ConnectionText(), "Connection lost \xD1 reconnecting in 8 s (attempt 3)");
    EXPECT_EQ(status.ButtonTitle(0), "Reconnect Now");
    EXPECT_EQ(status.ButtonTitle(1), "Cancel");
    status.Button(0)->click();
    EXPECT_EQ(now, 0); // not from inside the click
    h.Pump();
    EXPECT_EQ(now, 1);
    status.Button(1)->click();
    h.Pump();
    EXPECT_EQ(cancel, 1);
    h.App().Features().Windows().ShowReconnect(CAppHarness::P("").data(), nullptr, nullptr);
    EXPECT_EQ(status.ConnectionText(), "Not connected");
    EXPECT_EQ(status.ButtonTitle(0), "");
    // The toolbar window, built at a switch, shows no countdown that is over.
    h.App().Features().Windows().ShowReconnect(CAppHarness::P("Connection lost").data(), nullptr, nullptr);
    h.App().Features().Windows().ShowReconnect(CAppHarness::P("").data(), nullptr, nullptr);
    h.MenuItem(kItemSeparateWindows);
    EXPECT_EQ(h.App().Features().Windows().Toolbar()->GetTitle(), "Quenvol");
}

TEST_F(MainWindowTest, NothingToOpenShowsTheConnectDialogAndALaterStartBringsTheMainWindowBack)
{
    h.Start();
    bool mainShown = false;
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& w)
        {
            mainShown = Main()->IsVisible();
            w.Hit(CMyLoginWin::kHitCancel);
        });
    h.App().Features().Connection().FirstConnect();
    EXPECT_EQ(h.modalCount, 1u);
    EXPECT_TRUE(mainShown);

    Main()->Widget()->showMinimized();
    h.App().Features().Windows().BringClientForward();
    EXPECT_TRUE(Main()->IsVisible());
    EXPECT_FALSE(Main()->Widget()->isMinimized());
    EXPECT_EQ(h.App().Features().Windows().Toolbar(),
              nullptr); // the toolbar window waits for the other layout
}
