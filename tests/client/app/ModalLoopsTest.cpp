// Modal loops keep the connection running, so notices and commands arrive inside them. These tests run
// the real boxes and dialogs with their own modal loops (no box hook) and watch how deep the loops nest.
#include <QApplication>
#include <QKeyEvent>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/boxes/CMyMsgBoxWin.h"
#include "client/boxes/UNoticeBox.h"
#include "client/connection/CMyLoginWin.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CFrameWindow.h"
#include "framework/ui/CView.h"
#include "tests/support/CAppHarness.h"
#include "tools/testserver/CHostileScript.h"
#include "tools/testserver/ServerFields.h"

namespace
{
std::string ServerMessage(const std::string& text, uint16_t kind)
{
    using namespace serverfields;
    return testwire::CFields().AddInteger(kUserID, 0).Add(kData, text).AddInteger(kKind, kind).Bytes();
}

std::string Numbered(uint32_t i)
{
    char text[32];
    std::snprintf(text, sizeof text, "Message %04u", i);
    return text;
}

// Ctrl+K as the keyboard reports it: with Ctrl held the key types the control character.
constexpr SKeyMsgData kCtrlK = {'K', kModCtrl, 0x0B};

void PostMenuItem(uint16_t item)
{
    const SMenuHitData hit{kMenuQuenvol, item};
    UApplication::PostMessage(kMsgMenuItem, &hit, sizeof hit);
}
} // namespace

TEST(ModalLoops, ABurstOfServerMessagesOpensOneBoxAtATimeAndShowsEveryMessage)
{
    CAppHarness h;
    h.Start();
    ASSERT_TRUE(h.Login());
    h.UseRealBoxes();
    constexpr uint32_t kCount = 60;
    // The user comes back once the whole burst is in and answers whatever box is up, box by box.
    bool burstIn = false;
    for (uint32_t i = 0; i <= kCount; ++i)
        h.OnModal<CMyMsgBoxWin>([&](CMyMsgBoxWin& box)
                                { h.When([&] { return burstIn; }, [&box] { box.Hit(1); }); });
    h.server.Play(
        CHostileScript::Burst(104, kCount, [](uint32_t i) { return ServerMessage(Numbered(i), 1); }));
    // The whole burst is in once the first message is up and every other one waits for its box.
    h.When([&] { return UNoticeBox::GetWaitingCount(kMsgServerMessage) == kCount - 1; },
           [&] { burstIn = true; });

    std::string shown;
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            shown.clear();
            for (const auto& box : h.boxes)
                shown += box.text + "\r";
            return burstIn && CAppHarness::ModalDepth() == 0 &&
                   shown.find(Numbered(kCount - 1)) != std::string::npos;
        },
        "every message to be shown", 20000));
    // One box at a time, however many arrive while it is up.
    EXPECT_EQ(h.maxModalDepth, 1u);
    EXPECT_LE(h.boxes.size(), 3u);
    size_t at = 0;
    for (uint32_t i = 0; i < kCount; ++i)
    {
        const size_t found = shown.find(Numbered(i), at);
        ASSERT_NE(found, std::string::npos) << Numbered(i) << " was not shown in its place";
        at = found;
    }
    for (const auto& box : h.boxes)
        EXPECT_EQ(box.title, "Server Message");
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

TEST(ModalLoops, KeyCommandsAndMenuItemsOpenNoDialogInsideABox)
{
    CAppHarness h;
    h.Start();
    ASSERT_TRUE(h.Login());
    h.UseRealBoxes();
    uint32_t dialogs = 0;
    h.OnModal<CMyMsgBoxWin>(
        [&](CMyMsgBoxWin& box)
        {
            // Typed into the box while it is up, then the user answers it.
            UKeyCommands::Dispatch(kCtrlK);
            PostMenuItem(kItemConnect);
            PostMenuItem(kItemAbout);
            h.Later([&box] { box.Hit(1); });
        });
    for (int i = 0; i < 3; ++i)
        h.OnModal<CWindow>(
            [&](CWindow& w)
            {
                ++dialogs;
                w.Hit(2);
            });
    h.model.SendServerMessage(h.server, "Hello", 1);
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.boxes.size() == 1 && CAppHarness::ModalDepth() == 0; }, "the box"));
    h.Pump();
    EXPECT_EQ(dialogs, 0u);
    EXPECT_EQ(h.maxModalDepth, 1u);
    EXPECT_TRUE(h.App().Features().Session().IsConnected());
}

TEST(ModalLoops, CtrlKInsideTheConnectDialogOpensNoSecondOne)
{
    CAppHarness h;
    h.Start();
    uint32_t dialogs = 0;
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& win)
        {
            ++dialogs;
            UKeyCommands::Dispatch(kCtrlK);
            h.Later([&win] { win.Hit(CMyLoginWin::kHitCancel); });
        });
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& win)
        {
            ++dialogs;
            win.Hit(CMyLoginWin::kHitCancel);
        });
    h.Key('K', 0x0B, kModCtrl);
    h.Pump();
    EXPECT_EQ(dialogs, 1u);
    EXPECT_EQ(h.maxModalDepth, 1u);
    // Outside any modal window the key still opens the dialog.
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& win)
        {
            ++dialogs;
            win.Hit(CMyLoginWin::kHitCancel);
        });
    h.Key('K', 0x0B, kModCtrl);
    EXPECT_EQ(dialogs, 2u);
}

namespace
{
// A Return as the window system reports it, to the default button, which has the keyboard focus in a
// box. `stamp` is the window system's time in milliseconds.
void SendReturn(CWindow& box, QEvent::Type type, bool autoRepeat, uint64_t stamp)
{
    QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), autoRepeat);
    key.setTimestamp(stamp);
    QApplication::sendEvent(box.FindView(1)->Widget(), &key);
}
} // namespace

// A Return held on a notice box closed it and then, by its repeats, the merged box that opened in its
// place: one Return closed two boxes. Under X11 a repeat comes marked as one, or as a plain release and
// press with the same time stamp.
TEST(ModalLoops, AReturnHeldFromOneBoxDoesNotActOnTheBoxAfterIt)
{
    CAppHarness h;
    h.Start();
    ASSERT_TRUE(h.Login());
    h.UseRealBoxes();
    h.OnModal<CMyMsgBoxWin>(
        [&](CMyMsgBoxWin& box)
        {
            h.When([] { return UNoticeBox::GetWaitingCount(kMsgServerMessage) == 1; },
                   [&box] { SendReturn(box, QEvent::KeyPress, false, 1000); });
        });
    bool stayedUp = false;
    h.OnModal<CMyMsgBoxWin>(
        [&](CMyMsgBoxWin& box)
        {
            SendReturn(box, QEvent::KeyPress, true, 1660);
            SendReturn(box, QEvent::KeyRelease, false, 1700);
            SendReturn(box, QEvent::KeyPress, false, 1700);
            SendReturn(box, QEvent::KeyRelease, false, 1720);
            h.Later(
                [&]
                {
                    const std::vector<CMyMsgBoxWin*> up = h.Windows<CMyMsgBoxWin>();
                    stayedUp = CAppHarness::ModalDepth() == 1 && up.size() == 1;
                    // A Return of its own closes it.
                    if (stayedUp) SendReturn(*up[0], QEvent::KeyPress, false, 3000);
                });
        });
    h.model.SendServerMessage(h.server, "First", 1);
    h.model.SendServerMessage(h.server, "Second", 1);
    ASSERT_TRUE(h.WaitUntil([&] { return h.boxes.size() == 2 && CAppHarness::ModalDepth() == 0; },
                            "both boxes answered"));
    EXPECT_TRUE(stayedUp);
    EXPECT_EQ(h.boxes[1].text, "Second");
}
