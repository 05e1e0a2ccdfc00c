// Windows and their views: the modal loop, hits through the queue, keys, sizing, placement and zoom.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CButtonPopupView.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CProgressView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTabView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UClipboard.h"
#include "framework/ui/UKeyPresses.h"
#include "framework/ui/UModalLoop.h"
#include "tests/framework/ui/UiTestSupport.h"

TEST(WindowModal, LoopKeepsDeliveringTimerMessagesUntilAButtonIsPressed)
{
    CHitRecorder app;
    CWindow win(SRect{50, 50, 250, 150}, kWindowModal);
    auto* ok = new CButtonView(&win, SRect{110, 60, 190, 86}, "OK");
    ok->SetID(1);
    auto* other = new CButtonView(&win, SRect{10, 60, 90, 86}, "Other");
    other->SetID(3);
    win.Show();

    struct SState
    {
        int ticks = 0;
        CButtonView* ok;
    } state{0, ok};
    // The timer's messages flow inside the loop; on the fifth tick it presses OK.
    TTimerObj* timer = UTimer::StartNew(
        [](void* context, void*, uint32_t, const void*, uint32_t)
        {
            auto* s = static_cast<SState*>(context);
            if (++s->ticks == 5) s->ok->Button()->click();
        },
        &state, 5, true);
    SHitMsgData hit{};
    EXPECT_EQ(win.ProcessModal(&hit), 1u);
    EXPECT_EQ(state.ticks, 5);
    EXPECT_EQ(hit.view, ok);
    UTimer::Dispose(timer);
    // The modal loop took the hit: nothing reaches the application.
    UApplication::Process();
    EXPECT_TRUE(app.hits.empty());
}

TEST(WindowModal, ABurstOfHitsLosesNoneOfThem)
{
    CHitRecorder app;
    CWindow win(SRect{50, 50, 250, 150}, kWindowModal);
    win.Show();
    // One timer tick reports two hits at once, as a text field and a button may; the loop returns them
    // one at a time, in order, and the second even though it came while the caller was busy.
    TTimerObj* timer = UTimer::StartNew(
        [](void* context, void*, uint32_t, const void*, uint32_t)
        {
            auto* w = static_cast<CWindow*>(context);
            w->Hit(10);
            w->Hit(1);
        },
        &win, 5, false);
    EXPECT_EQ(win.ProcessModal(), 10u);
    EXPECT_EQ(win.ProcessModal(), 1u);
    UTimer::Dispose(timer);
    UApplication::Process();
    EXPECT_TRUE(app.hits.empty());
}

// A view without an id of its own reports a hit of 0; the loops once took that for a quitting program
// and closed their window.
TEST(WindowModal, RunWindowTellsAHitOfZeroFromQuitting)
{
    CWindow win(SRect{50, 50, 250, 150}, kWindowModal);
    win.Show();
    TTimerObj* timer = UTimer::StartNew(
        [](void* context, void*, uint32_t, const void*, uint32_t)
        {
            auto* w = static_cast<CWindow*>(context);
            w->Hit(0);
            w->Hit(7);
            w->Hit(1);
        },
        &win, 5, false);
    std::vector<uint32_t> seen;
    SModalResult result = UModalLoop::RunWindow(win,
                                                [&](uint32_t hit)
                                                {
                                                    seen.push_back(hit);
                                                    return hit == 1;
                                                });
    EXPECT_EQ(seen, (std::vector<uint32_t>{0, 7, 1}));
    EXPECT_FALSE(result.quitting);
    EXPECT_TRUE(result.Is(1));
    UTimer::Dispose(timer);

    UApplication::Quit();
    result = UModalLoop::RunWindow(win, [](uint32_t) { return true; });
    UApplication::_CancelQuit();
    EXPECT_TRUE(result.quitting);
    EXPECT_FALSE(result.Is(0));
}

TEST(WindowHits, ReachTheApplicationWithIdCommandPartAndData)
{
    CHitRecorder app;
    CWindow win(SRect{50, 50, 350, 250}, kWindowDocument2);
    auto* field = new CTextView(&win, SRect{10, 10, 290, 32});
    field->SetID(1004);
    field->SetCommand(9);
    field->SetEnterKeyAction(true);
    win.Show();
    field->SetFocus();
    QTest::keyClicks(field->LineEdit(), "hi");
    QTest::keyClick(field->LineEdit(), Qt::Key_Return);
    QTest::keyClick(field->LineEdit(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(app.WaitForHits(2));
    EXPECT_EQ(app.hits[0].hit.id, 1004u);
    EXPECT_EQ(app.hits[0].hit.cmd, 9u);
    EXPECT_EQ(app.hits[0].hit.part, kTextPartEnter);
    EXPECT_EQ(app.hits[1].hit.part, kTextPartEnterMod);
    EXPECT_EQ(field->GetText(), "hi");

    // A hit still queued when its window goes is dropped with it.
    auto* gone = new CWindow(SRect{0, 0, 100, 100}, kWindowDocument);
    gone->Hit(77);
    delete gone;
    PumpUntil([] { return true; }, "one pass");
    UApplication::Process();
    EXPECT_EQ(app.hits.size(), 2u);
}

TEST(WindowHits, ReturnAndEscapePressTheDefaultAndCancelButtons)
{
    CHitRecorder app;
    CWindow win(SRect{50, 50, 250, 150}, kWindowModal);
    auto* ok = new CButtonView(&win, SRect{110, 60, 190, 86}, "OK");
    ok->SetID(1);
    ok->SetDefault(true);
    auto* cancel = new CButtonView(&win, SRect{10, 60, 90, 86}, "Cancel");
    cancel->SetID(2);
    cancel->SetCancel(true);
    EXPECT_EQ(win.GetDefaultHit(), 1u);
    EXPECT_EQ(win.GetCancelHit(), 2u);
    win.Show();
    QTest::keyClick(win.Widget(), Qt::Key_Escape);
    QTest::keyClick(win.Widget(), Qt::Key_Return);
    ok->SetEnable(false); // a disabled default button is not pressed by Return
    QTest::keyClick(win.Widget(), Qt::Key_Return);
    ASSERT_TRUE(app.WaitForHits(2));
    UApplication::Process();
    ASSERT_EQ(app.hits.size(), 2u);
    EXPECT_EQ(app.hits[0].hit.id, 2u);
    EXPECT_EQ(app.hits[1].hit.id, 1u);

    // A dialog without a cancel button did nothing on Escape: it is its close box there, and whoever
    // runs the dialog decides what that answers.
    CWindow box(SRect{50, 50, 250, 150}, kWindowModal);
    box.Show();
    QTest::keyClick(box.Widget(), Qt::Key_Escape);
    ASSERT_TRUE(app.WaitForHits(3));
    EXPECT_EQ(app.hits[2].hit.id, kHitCloseBox);
}

TEST(WindowKeys, UnusedKeysReachTheWindowsKeyDown)
{
    struct CKeyWindow : CWindow
    {
        CKeyWindow() : CWindow(SRect{0, 0, 200, 100}, kWindowDocument2) {}
        bool KeyDown(const SKeyMsgData& key) override
        {
            chars += char(key.keyChar);
            return key.keyChar != 'x';
        }
        std::string chars;
    } win;
    auto* button = new CButtonView(&win, SRect{10, 10, 90, 30}, "B");
    win.Show();
    button->SetFocus();
    QTest::keyClicks(button->Widget(), "abc");
    EXPECT_EQ(win.chars, "abc");
}

// A window that waits for the user lets a key held from before it pass by (see the modal loop tests);
// keys pressed while it is up still repeat, however the repeats come.
TEST(WindowKeys, AModalWindowTakesTheRepeatsOfItsOwnPresses)
{
    UKeyPresses::Install();
    CWindow win(SRect{50, 50, 250, 150}, kWindowModal);
    auto* field = new CTextView(&win, SRect{10, 10, 190, 32});
    win.Show();
    field->SetText("abcd", 4);
    field->SetFocus();
    field->LineEdit()->end(false);
    auto send = [&](QEvent::Type type, bool autoRepeat, uint64_t stamp)
    {
        QKeyEvent key(type, Qt::Key_Backspace, Qt::NoModifier, QString(), autoRepeat);
        key.setTimestamp(stamp);
        QApplication::sendEvent(field->LineEdit(), &key);
    };
    send(QEvent::KeyPress, false, 100);
    send(QEvent::KeyPress, true, 760);
    send(QEvent::KeyRelease, false, 800);
    send(QEvent::KeyPress, false, 800);
    send(QEvent::KeyRelease, false, 820);
    EXPECT_EQ(field->GetText(), "a");
}

TEST(WindowSizing, ViewsFollowTheWindowByTheirFlags)
{
    CWindow win(SRect{20, 20, 220, 120}, kWindowDocument2, kWindowResizable);
    auto* grow = new CLabelView(&win, SRect{5, 5, 195, 70});
    grow->SetSizing(kSizeGrow);
    auto* corner = new CButtonView(&win, SRect{120, 75, 195, 95}, "OK");
    corner->SetSizing(kSizeStickBottomRight);
    auto* still = new CLabelView(&win, SRect{5, 75, 60, 95});
    auto* box = new CBoxView(&win, SRect{0, 0, 50, 50});
    box->SetSizing(kSizeFollowRight);
    auto* inner = new CLabelView(box, SRect{5, 5, 45, 45});
    inner->SetSizing(kSizeGrow);
    win.Show();
    win.SetBounds(SRect{20, 20, 320, 170}); // 100 wider, 50 taller
    SRect r;
    grow->GetBounds(r);
    EXPECT_EQ(r.right, 295);
    EXPECT_EQ(r.bottom, 120);
    corner->GetBounds(r);
    EXPECT_EQ(r.left, 220);
    EXPECT_EQ(r.top, 125);
    EXPECT_EQ(r.Width(), 75);
    still->GetBounds(r);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 95);
    box->GetBounds(r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.Width(), 50);
    inner->GetBounds(r);
    EXPECT_EQ(r.Width(), 40); // its container kept its size
}

TEST(WindowBounds, InvalidRectanglesAreIgnoredAndLimitsHold)
{
    CWindow win(SRect{30, 40, 230, 140}, kWindowDocument2, kWindowResizable);
    SRect b;
    win.GetBounds(b);
    EXPECT_EQ(b.Width(), 200);
    EXPECT_EQ(b.Height(), 100);
    win.SetBounds(SRect{10, 10, 5, 300}); // inverted
    win.SetBounds(SRect{0, 0, 0, 0});
    win.GetBounds(b);
    EXPECT_EQ(b.Width(), 200);
    win.SetLimits(150, 69, 0x7FFF, 0x7FFF);
    win.SetBounds(SRect{30, 40, 80, 60});
    win.GetBounds(b);
    EXPECT_EQ(b.Width(), 150);
    EXPECT_EQ(b.Height(), 69);
}

TEST(WindowZoom, StandardZoomTogglesBetweenTheScreenAndTheFormerSize)
{
    CWindow win(SRect{30, 40, 230, 140}, kWindowDocument2, kWindowResizable);
    win.Show();
    win.UserZoom();
    SRect b, area;
    win.GetBounds(b);
    CWindow::GetZoomLimits(area);
    EXPECT_GT(b.Width(), 200);
    EXPECT_LE(b.Width(), area.Width());
    win.UserZoom();
    win.GetBounds(b);
    EXPECT_EQ(b.Width(), 200);
    EXPECT_EQ(b.Height(), 100);
}

TEST(WindowList, FrontWindowIsTheLastActivatedVisibleDocument)
{
    const uint32_t before = CWindow::GetWindowCount();
    CWindow a(SRect{0, 0, 100, 100}, kWindowDocument2);
    CWindow b(SRect{0, 0, 100, 100}, kWindowDocument);
    CWindow dialog(SRect{0, 0, 100, 100}, kWindowModal);
    EXPECT_EQ(CWindow::GetWindowCount(), before + 3);
    EXPECT_EQ(CWindow::GetFrontWindow(), nullptr); // none shown
    a.BringToFront();
    b.BringToFront();
    dialog.BringToFront(); // not of the document layer
    EXPECT_EQ(CWindow::GetFrontWindow(), &b);
    b.Hide();
    EXPECT_EQ(CWindow::GetFrontWindow(), &a);
    EXPECT_EQ(CWindow::FromWidget(a.ContentWidget()), &a);
}

TEST(WindowPlacement, PlacedWindowsStayOnTheScreen)
{
    SRect area;
    CWindow::GetZoomLimits(area);
    for (uint16_t code : {kPlaceTopLeft, kPlaceCenterScreen, kPlaceTopRight, kPlaceTopCenter,
                          kPlaceBottomLeft, kPlaceBottomRight})
    {
        CWindow win(SRect{0, 0, 200, 120}, kWindowDocument2);
        win.SetAutoBounds(code, kPlaceMainScreen);
        SRect b;
        win.GetBounds(b);
        EXPECT_GE(b.left, area.left) << code;
        EXPECT_GE(b.top, area.top) << code;
        EXPECT_LE(b.right, area.right) << code;
        EXPECT_LE(b.bottom, area.bottom) << code;
    }
}

TEST(WindowPlacement, ASavedPlaceCountsAsOnScreenOnlyWhereItsTopCanBeGrabbed)
{
    SRect a;
    CWindow::GetZoomLimits(a);
    EXPECT_TRUE(CWindow::IsOnScreen(SRect{a.left + 10, a.top + 10, a.left + 300, a.top + 200}));
    // Hanging over the right or bottom edge is fine while enough of the top shows.
    EXPECT_TRUE(CWindow::IsOnScreen(SRect{a.right - 60, a.bottom - 40, a.right + 400, a.bottom + 300}));
    EXPECT_FALSE(CWindow::IsOnScreen(SRect{a.right - 20, a.top + 10, a.right + 400, a.top + 300}));
    EXPECT_FALSE(CWindow::IsOnScreen(SRect{a.left + 10, a.top - 5, a.left + 300, a.top + 200}));
    EXPECT_FALSE(CWindow::IsOnScreen(SRect{a.right + 100, a.top, a.right + 500, a.top + 300}));
    EXPECT_FALSE(CWindow::IsOnScreen(SRect{a.left + 10, a.bottom - 8, a.left + 300, a.bottom + 200}));
    EXPECT_FALSE(CWindow::IsOnScreen(SRect{-2000000000, -2000000000, 2000000000, 2000000000}));
    EXPECT_FALSE(CWindow::IsOnScreen(SRect{50, 50, 50, 300})); // empty
}

TEST(Views, FindViewSearchesDepthFirstFromTheViewItself)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    auto* box = new CBoxView(&win, SRect{0, 0, 300, 200});
    box->SetID(10);
    CScrollerView* scroller = nullptr;
    CTextView* text = MakeTextBoxView(box, SRect{5, 5, 200, 100}, kScrollVertical | kScrollFrame, &scroller);
    scroller->SetID(20);
    text->SetID(20);
    EXPECT_EQ(box->FindView(10), box);
    EXPECT_EQ(box->FindView(20), scroller); // the scroller comes before what it holds
    EXPECT_EQ(win.FindView(20), scroller);
    EXPECT_EQ(scroller->GetContent(), text);
    EXPECT_EQ(text->GetParent(), scroller);
    EXPECT_EQ(text->GetWindow(), &win);
    EXPECT_EQ(win.FindView(99), nullptr);
    delete scroller; // deleting a view takes its widget and what it holds
    EXPECT_EQ(win.FindView(20), nullptr);
}

TEST(Views, ControlsKeepTheirValues)
{
    CWindow win(SRect{0, 0, 400, 300}, kWindowModal);
    auto* check = new CCheckBoxView(&win, SRect{5, 5, 150, 25}, "Chat");
    auto* radio = new CCheckBoxView(&win, SRect{5, 30, 150, 50}, "News", kRadioStyle);
    check->SetMark(true);
    radio->SetMark(true);
    radio->SetMark(false);
    EXPECT_TRUE(check->GetMark());
    EXPECT_FALSE(radio->GetMark());

    auto* popup = new CButtonPopupView(&win, SRect{5, 60, 150, 80});
    popup->AddItem(reinterpret_cast<const uint8_t*>("\x03One"));
    popup->AddItem("Two", 3);
    EXPECT_EQ(popup->GetItemCount(), 2u);
    popup->SetSelectedItem(2);
    popup->SetSelectedItem(7);
    EXPECT_EQ(popup->GetSelectedItem(), 2u);

    auto* progress = new CProgressView(&win, SRect{5, 90, 150, 100});
    progress->SetMaxValue(4000000000u); // byte counts of large files exceed int
    progress->SetValue(3000000000u);
    EXPECT_EQ(progress->GetValue(), 3000000000u);

    auto* tabs = new CTabView(&win, SRect{160, 5, 390, 200});
    CContainerView* general = tabs->AddTab("General");
    tabs->AddTab("Icon");
    new CLabelView(general, SRect{5, 5, 100, 20}, "Your Name:");
    tabs->SetCurrentTab(2);
    EXPECT_EQ(tabs->GetTabCount(), 2u);
    EXPECT_EQ(tabs->GetCurrentTab(), 2u);
    EXPECT_EQ(tabs->GetTab(1), general);

    auto* password = new CTextView(&win, SRect{5, 110, 150, 130}, kTextPassword);
    password->SetText("secret", 6);
    EXPECT_EQ(password->LineEdit()->echoMode(), QLineEdit::Password);
    uint8_t p[32];
    EXPECT_EQ(password->GetText(p, 3), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p + 1), 3), "sec");
}

TEST(Views, MultiLineTextKeepsTheClientsCharacterSet)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    CTextView* text = MakeTextBoxView(&win, SRect{0, 0, 300, 200}, kScrollVertical);
    // Curly quotes are 0xD2/0xD3 and lines end with carriage returns in the client's text.
    const char line[] = "\xD2name\xD3\rnext";
    text->SetText(line, sizeof(line) - 1);
    text->AppendText("\rmore", 5);
    EXPECT_EQ(text->GetText(), std::string(line) + "\rmore");
    text->SetReadOnly(true);
    EXPECT_TRUE(text->IsReadOnly());
    text->SetTextColor(0, 0, 0);
    text->SetBackColor(0xFFFF, 0xFFFF, 0xFFFF);
    EXPECT_EQ(text->Widget()->palette().color(QPalette::Base), QColor(Qt::white));
}

TEST(Views, AppendedLinesGoInAsOneBatchThatReadersAndNewTextsSee)
{
    CWindow win(SRect{0, 0, 300, 100}, kWindowDocument2);
    CTextView* text = MakeTextBoxView(&win, SRect{0, 0, 300, 100}, kScrollVertical);
    win.Show();
    text->AppendText("one", 3);
    EXPECT_FALSE(text->IsEmpty()); // before the batch went in
    EXPECT_EQ(text->TextEdit()->document()->isEmpty(), true);
    for (int i = 0; i < 50; ++i)
        text->AppendText("\rmore", 5);
    text->ScrollToEnd();
    QApplication::processEvents();
    EXPECT_EQ(text->TextEdit()->document()->blockCount(), 51);
    QScrollBar* bar = text->TextEdit()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    // A text set (a cleared chat) is not followed by a batch appended before it.
    text->AppendText("\rstale", 6);
    text->SetText(nullptr, 0);
    EXPECT_TRUE(text->IsEmpty());
    QApplication::processEvents();
    EXPECT_EQ(text->GetText(), "");
}

TEST(Views, TextGrowsAtTheTopAndKnowsItsFullHeight)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    CTextView* text = MakeTextBoxView(&win, SRect{0, 0, 300, 200}, kScrollVertical);
    text->SetText("older\r", 6);
    text->InsertTextAtStart("newer\r", 6);
    EXPECT_EQ(text->GetText(), "newer\rolder\r");
    const int32_t two = text->GetFullHeight(260);
    text->SetText(std::string(40 * 6, '\r').data(), 240);
    const int32_t many = text->GetFullHeight(260);
    EXPECT_GT(two, 0);
    EXPECT_GT(many, 100 * two / 2 / 2);
    // A long line wraps: narrower means taller.
    text->SetText(std::string(400, 'w').data(), 400);
    EXPECT_GT(text->GetFullHeight(100), text->GetFullHeight(300));
}

TEST(Clipboard, TextTravelsInTheClientsCharacterSet)
{
    UClipboard::SetText("\xD2quoted\xD3", 8);
    EXPECT_TRUE(UClipboard::HasText());
    EXPECT_EQ(UClipboard::GetText(), "\xD2quoted\xD3");
}
