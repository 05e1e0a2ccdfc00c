// The connect dialog: where the focus goes, when Connect and Save can be used, and what the modal run
// hands back; the agreement window's answer.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "client/connection/CMyAgreementWin.h"
#include "client/connection/CMyLoginWin.h"
#include "framework/runtime/UMemory.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CTextView.h"

namespace
{
std::string Text(const uint8_t* pstring)
{
    return std::string(reinterpret_cast<const char*>(pstring + 1), pstring[0]);
}

bool HasFocus(CMyLoginWin& win, CTextView* field)
{
    return win.Widget()->focusWidget() == field->Widget();
}

template <class TWin>
TWin* FindWindow()
{
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (auto* w = dynamic_cast<TWin*>(CWindow::GetWindow(i))) return w;
    return nullptr;
}

// Acts on the dialog once its modal loop runs.
void WhenShown(std::function<void()> act)
{
    QTimer::singleShot(0, std::move(act));
}
} // namespace

TEST(ConnectDialog, FocusGoesToTheFirstEmptyField)
{
    CMyLoginWin win;
    win.Show();
    win.SetInfo(nullptr, nullptr, nullptr);
    EXPECT_TRUE(HasFocus(win, win.GetServerField()));
    win.SetInfo(reinterpret_cast<const uint8_t*>("\x0Bhost.domain"),
                reinterpret_cast<const uint8_t*>("\x03"
                                                 "bob"),
                nullptr);
    EXPECT_TRUE(HasFocus(win, win.GetPasswordField()));
    win.SetInfo(nullptr, reinterpret_cast<const uint8_t*>("\x00"), nullptr);
    EXPECT_TRUE(HasFocus(win, win.GetLoginField()));
    win.SetInfo(nullptr, reinterpret_cast<const uint8_t*>("\x01x"),
                reinterpret_cast<const uint8_t*>("\x02pw"));
    EXPECT_TRUE(HasFocus(win, win.GetServerField())); // none empty
}

TEST(ConnectDialog, ConnectAndSaveNeedAServerAddressOnly)
{
    CMyLoginWin win;
    win.Show();
    EXPECT_FALSE(win.GetConnectButton()->IsEnabled());
    EXPECT_FALSE(win.GetSaveButton()->IsEnabled());
    EXPECT_TRUE(win.GetCancelButton()->IsEnabled());

    QLineEdit* server = win.GetServerField()->LineEdit();
    QTest::keyClicks(server, "ab");
    bool connect = true;
    // Each edit of the server field is a hit of the dialog; handling it re-evaluates the buttons.
    EXPECT_FALSE(win.HandleHit(CMyLoginWin::kHitServerEdited, nullptr, connect));
    EXPECT_TRUE(win.GetConnectButton()->IsEnabled());
    EXPECT_TRUE(win.GetSaveButton()->IsEnabled());

    QTest::keyClicks(win.GetLoginField()->LineEdit(), "bob");
    QTest::keyClick(server, Qt::Key_Backspace);
    QTest::keyClick(server, Qt::Key_Backspace);
    win.HandleHit(CMyLoginWin::kHitServerEdited, nullptr, connect);
    EXPECT_FALSE(win.GetConnectButton()->IsEnabled());
    EXPECT_FALSE(win.GetSaveButton()->IsEnabled());
    // A Return on the dimmed default button does not connect.
    EXPECT_FALSE(win.HandleHit(CMyLoginWin::kHitConnect, nullptr, connect));
    EXPECT_FALSE(connect);

    // Editing the address forgets the bookmark the entries came from.
    win.SetBookmarkName(reinterpret_cast<const uint8_t*>("\x08home.qbm"));
    win.HandleHit(CMyLoginWin::kHitServerEdited, nullptr, connect);
    EXPECT_EQ(win.GetBookmarkName()[0], 0);
}

TEST(ConnectDialog, RunHandsBackWhatWasTypedAndZeroMeansThisMachine)
{
    int saves = 0;
    CMyLoginWin::SHooks hooks;
    hooks.fillBookmarks = [](CMyLoginWin& win)
    {
        win.AddBookmark(reinterpret_cast<const uint8_t*>("\x04home"));
        return true;
    };
    // The modal loop keeps one hit at a time: Connect is pressed once Save has been handled.
    hooks.save = [&](CMyLoginWin& win)
    {
        ++saves;
        QTimer::singleShot(0, [&win] { win.GetConnectButton()->Button()->click(); });
    };
    WhenShown(
        [&]
        {
            CMyLoginWin* win = FindWindow<CMyLoginWin>();
            ASSERT_NE(win, nullptr);
            QTest::keyClicks(win->GetServerField()->LineEdit(), "0");
            QTest::keyClicks(win->GetLoginField()->LineEdit(), "guest");
            QTest::keyClicks(win->GetPasswordField()->LineEdit(), "secret");
            win->GetSaveButton()->Button()->click(); // the dialog stays open
        });
    SMyConnectEntry entry;
    ASSERT_TRUE(CMyLoginWin::Run(nullptr, entry, &hooks));
    EXPECT_EQ(Text(entry.address), "127.0.0.1");
    EXPECT_EQ(Text(entry.login), "guest");
    EXPECT_EQ(Text(entry.password), "secret");
    EXPECT_EQ(entry.bookmarkName[0], 0);
    EXPECT_EQ(saves, 1);

    WhenShown(
        [&]
        {
            CMyLoginWin* win = FindWindow<CMyLoginWin>();
            ASSERT_NE(win, nullptr);
            EXPECT_EQ(win->GetServerField()->GetText(), "quenvol://example.org:5600");
            EXPECT_TRUE(win->GetConnectButton()->IsEnabled());
            win->GetCancelButton()->Button()->click();
        });
    EXPECT_FALSE(CMyLoginWin::Run(reinterpret_cast<const uint8_t*>("\x1Aquenvol://example.org:5600"), entry));
}

TEST(AgreementWindow, AgreeAndDisagree)
{
    THdlObj* text = UMemory::NewHandle("Be nice.", 8);
    WhenShown(
        []
        {
            CMyAgreementWin* win = FindWindow<CMyAgreementWin>();
            ASSERT_NE(win, nullptr);
            EXPECT_EQ(win->GetTextView()->GetText(), "Be nice.");
            win->Hit(CMyAgreementWin::kHitAgree);
        });
    EXPECT_TRUE(CMyAgreementWin::Run(text));
    WhenShown([] { FindWindow<CMyAgreementWin>()->CloseBoxClicked(); });
    EXPECT_FALSE(CMyAgreementWin::Run(text));
    WhenShown([] { FindWindow<CMyAgreementWin>()->Hit(CMyAgreementWin::kHitDisagree); });
    EXPECT_FALSE(CMyAgreementWin::Run(text));
    UMemory::Dispose(text);
}
