// The toolbar's rows for given access bytes and the hits of its buttons.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/core/SMyUserAccess.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CIconButtonView.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/TestDataFile.h"

namespace
{
// Row n of the column starts at (n + 1) * 3 + n * 24.
int32_t RowTop(int row)
{
    return (row + 1) * 3 + row * 24;
}

int32_t Top(CIconButtonView* b)
{
    SRect r;
    b->GetBounds(r);
    return r.top;
}

SMyUserAccess AllAccess()
{
    SMyUserAccess a;
    a.SetAll();
    return a;
}

int32_t ContentHeight(CMyOldToolbarWin& win)
{
    SRect b;
    win.GetBounds(b);
    return b.Height();
}
} // namespace

TEST(Toolbar, FullAccessShowsEveryButtonInTableOrder)
{
    UseBuiltDataFile();
    CMyOldToolbarWin win;
    win.SetAccess(AllAccess());
    auto& v = win.mViews;
    EXPECT_EQ(Top(v.optionsBtn), RowTop(0));
    EXPECT_EQ(Top(v.connectBtn), RowTop(1));
    EXPECT_FALSE(v.disconnectBtn->IsVisible());
    EXPECT_EQ(Top(v.trackerBtn), RowTop(2));
    CIconButtonView* column[] = {v.broadcastBtn, v.newsBtn,  v.postBtn,  v.chatBtn,
                                 v.filesBtn,     v.usersBtn, v.tasksBtn, v.newUserBtn,
                                 v.openUserBtn,  v.quitBtn,  v.aboutBtn};
    for (int i = 0; i < 11; ++i)
    {
        EXPECT_TRUE(column[i]->IsVisible()) << i;
        EXPECT_EQ(Top(column[i]), RowTop(3 + i)) << i;
    }
    SRect r;
    v.aboutBtn->GetBounds(r);
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.Width(), 110);
    EXPECT_EQ(r.Height(), 24);
    // The window ends one spacing below the last button.
    EXPECT_EQ(ContentHeight(win), RowTop(13) + 24 + 3);
    EXPECT_EQ(v.aboutBtn->GetID(), uint32_t(kHitAbout));
    EXPECT_EQ(v.broadcastBtn->GetID(), uint32_t(kHitBroadcast));
    EXPECT_EQ(v.broadcastBtn->GetIcon(), 415);
}

TEST(Toolbar, WithoutByte4Mask80NoBroadcastAndTheRestMoveUp)
{
    UseBuiltDataFile();
    CMyOldToolbarWin win;
    win.Show();
    SMyUserAccess a = AllAccess();
    a.bytes[4] &= 0x7F;
    win.SetAccess(a);
    auto& v = win.mViews;
    EXPECT_FALSE(v.broadcastBtn->IsVisible());
    EXPECT_EQ(Top(v.newsBtn), RowTop(3));
    EXPECT_EQ(Top(v.aboutBtn), RowTop(12));
    EXPECT_EQ(ContentHeight(win), RowTop(12) + 24 + 3);
    EXPECT_TRUE(win.IsVisible()); // shown again after the layout
}

TEST(Toolbar, EachAccessBitHidesItsButton)
{
    UseBuiltDataFile();
    CMyOldToolbarWin win;
    auto& v = win.mViews;
    SMyUserAccess none{};
    win.SetAccess(none);
    for (CIconButtonView* b : {v.broadcastBtn, v.newsBtn, v.postBtn, v.chatBtn, v.newUserBtn, v.openUserBtn})
        EXPECT_FALSE(b->IsVisible());
    // Files, users, tasks, quit and about always stay, right below the reserved rows.
    EXPECT_EQ(Top(v.filesBtn), RowTop(3));
    EXPECT_EQ(Top(v.aboutBtn), RowTop(7));

    SMyUserAccess chat{};
    chat.bytes[1] = 0x20; // either of the two chat bits is enough
    win.SetAccess(chat);
    EXPECT_TRUE(v.chatBtn->IsVisible());
    EXPECT_EQ(Top(v.chatBtn), RowTop(3));

    SMyUserAccess some{};
    some.bytes[2] = 0x08 | 0x80; // news and open user, not post
    some.bytes[1] = 0x02;        // new user
    win.SetAccess(some);
    EXPECT_TRUE(v.newsBtn->IsVisible());
    EXPECT_FALSE(v.postBtn->IsVisible());
    EXPECT_TRUE(v.newUserBtn->IsVisible());
    EXPECT_TRUE(v.openUserBtn->IsVisible());
    EXPECT_EQ(Top(v.filesBtn), RowTop(4));
}

TEST(Toolbar, ConnectRowFollowsTheLook)
{
    UseBuiltDataFile();
    CMyOldToolbarWin win;
    auto& v = win.mViews;
    win.SetLook(kToolbarConnected);
    EXPECT_FALSE(v.connectBtn->IsVisible());
    EXPECT_TRUE(v.disconnectBtn->IsVisible());
    EXPECT_EQ(Top(v.disconnectBtn), RowTop(1));
    EXPECT_EQ(Top(v.trackerBtn), RowTop(2));
    win.SetLook(kToolbarNotConnected);
    EXPECT_TRUE(v.connectBtn->IsVisible());
    EXPECT_FALSE(v.disconnectBtn->IsVisible());
}

// The toolbar carries the one menu bar: closing it once took the menu with it, for good.
TEST(Toolbar, ClosedItFoldsToItsMenuBarAndCtrlBOrTheMenuUnfoldsIt)
{
    CAppHarness h;
    h.Start();
    CMyOldToolbarWin* toolbar = h.App().Features().Windows().Toolbar();
    const std::vector<uint32_t> buttons = h.ToolbarButtons();
    ASSERT_EQ(buttons.size(), 14u);
    QMenuBar* menuBar = toolbar->MainWindow()->menuBar();

    h.Hit(toolbar, kHitCloseBox);
    EXPECT_TRUE(toolbar->IsVisible());
    EXPECT_TRUE(menuBar->isVisible());
    EXPECT_EQ(menuBar->actions().size(), 4);
    EXPECT_TRUE(h.ToolbarButtons().empty());
    EXPECT_LT(ContentHeight(*toolbar), 24);

    h.Key('B', 2, kModCtrl);
    EXPECT_EQ(h.ToolbarButtons(), buttons);
    EXPECT_EQ(ContentHeight(*toolbar), RowTop(13) + 24 + 3);

    // Closed again, it comes back from its own menu, and a lost connection meanwhile keeps it folded.
    h.Hit(toolbar, kHitCloseBox);
    h.App().Features().Windows().SetAccess(h.App().Features().Session().Access());
    EXPECT_TRUE(h.ToolbarButtons().empty());
    QAction* show = nullptr;
    for (QAction* menu : menuBar->actions())
        for (QAction* a : menu->menu()->actions())
            if (a->text().startsWith("Show Toolbar")) show = a;
    ASSERT_NE(show, nullptr);
    show->trigger();
    h.Pump();
    EXPECT_EQ(h.ToolbarButtons(), buttons);
}
