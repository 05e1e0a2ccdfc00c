// Message boxes: the layout numbers, the resource records, and a real box answered while the modal loop
// keeps delivering timer messages.
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "client/boxes/MsgBox.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CWindow.h"
#include "tests/support/TestDataFile.h"

namespace
{
const uint8_t kMessage[] = "\x05Hello";
const uint8_t kEmpty[] = "\x00";
const uint8_t kCancel[] = "\x06"
                          "Cancel";

SMsgBox Box(const uint8_t* message, int16_t icon = 0)
{
    SMsgBox b{};
    b.icon = icon;
    b.message = message;
    return b;
}
} // namespace

TEST(MsgBoxLayout, OneLineMessagePutsTheButtonRowAt70)
{
    SMsgBoxLayout l = LayOutMsgBox(Box(kMessage, 1001), 16);
    EXPECT_EQ(l.textRect.left, 60);
    EXPECT_EQ(l.textRect.right, 335);
    EXPECT_EQ(l.button1.top, 67);
    EXPECT_EQ(l.button1.bottom, 93);
    EXPECT_EQ(l.button1.right, 335);
    EXPECT_EQ(l.content.bottom, 100); // every box is at least 100 pixels tall
    EXPECT_EQ(l.content.right, 345);
    EXPECT_EQ(l.cancelButton, 0);
}

TEST(MsgBoxLayout, TallMessagePushesTheButtonsDown)
{
    SMsgBoxLayout l = LayOutMsgBox(Box(kMessage), 60);
    EXPECT_EQ(l.textRect.bottom, 76);
    EXPECT_EQ(l.button1.top, 83);
}

TEST(MsgBoxLayout, SingleButtonWithoutIconIsCentred)
{
    SMsgBoxLayout l = LayOutMsgBox(Box(kMessage), 16);
    EXPECT_LE(std::abs((l.button1.left + l.button1.right) - (l.textRect.left + l.textRect.right)), 1);
    EXPECT_EQ(l.button1.Width(), 90);
}

TEST(MsgBoxLayout, ThirdButtonNeedsASecond)
{
    SMsgBox b = Box(kMessage, 1001);
    b.button3 = kCancel;
    SMsgBoxLayout l = LayOutMsgBox(b, 16);
    EXPECT_FALSE(l.hasButton2);
    EXPECT_FALSE(l.hasButton3);
    b.button2 = kCancel;
    l = LayOutMsgBox(b, 16);
    EXPECT_TRUE(l.hasButton3);
    EXPECT_EQ(l.button2.right, l.button1.left - 16);
    EXPECT_EQ(l.button3.right, l.button2.left - 16);
    EXPECT_EQ(l.cancelButton, 3);
    b.button2 = kEmpty;
    EXPECT_FALSE(LayOutMsgBox(b, 16).hasButton2);
}

TEST(MsgBoxLayout, PictureWithoutMessageAndNeitherFails)
{
    SMsgBox b = Box(nullptr);
    b.picture = 200;
    SMsgBoxLayout l = LayOutMsgBox(b, 0);
    EXPECT_EQ(l.textRect.Width(), 100);
    EXPECT_EQ(l.textRect.Height(), 100);
    b.picture = 0;
    EXPECT_THROW(LayOutMsgBox(b, 0), SError);
}

TEST(MsgBoxResource, StringsThatRunPastTheEndAreAbsent)
{
    // title "T", message "Hi", first button claims 9 bytes but only 2 are there.
    const uint8_t bytes[] = {0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 'T', 2, 'H', 'i', 9, 'O', 'K'};
    SMsgBox box;
    ParseMsgBoxResource(bytes, sizeof(bytes), box);
    EXPECT_EQ(box.icon, 1);
    EXPECT_EQ(box.sound, 1);
    ASSERT_NE(box.title, nullptr);
    ASSERT_NE(box.message, nullptr);
    EXPECT_EQ(box.message[0], 2);
    EXPECT_EQ(box.button1, nullptr);
    EXPECT_EQ(box.button2, nullptr);
    EXPECT_THROW(ParseMsgBoxResource(bytes, 11, box), SError);
}

TEST(MsgBoxResource, EveryBoxOfTheDataFileParsesAndHasText)
{
    TRezObj* rez = UseBuiltDataFile();
    ASSERT_NE(rez, nullptr);
    const uint32_t type = FourCC("MSGB");
    for (int16_t id :
         {128, 129, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 142, 143, 144, 146, 147, 148, 149, 150})
    {
        StRezLoader item(nullptr, type, uint32_t(id));
        StHandleLocker lock(item.Handle());
        SMsgBox box;
        ParseMsgBoxResource(lock.Data(), UMemory::GetSize(item.Handle()), box);
        ASSERT_NE(box.message, nullptr) << "box " << id;
        EXPECT_GT(box.message[0], 0) << "box " << id;
    }
}

TEST(MsgBoxWindow, ModalLoopDeliversTimersAndReturnsTheButton)
{
    UseBuiltDataFile();
    SMsgBox b = Box(kMessage, 1001);
    b.button2 = kCancel;
    CWindow* win = MakeMsgBoxWin(b);
    static CWindow* sWin;
    static int ticks;
    sWin = win;
    ticks = 0;
    // The timer's messages must flow inside the box's loop; on the third it presses "Cancel".
    TTimerObj* t = UTimer::StartNew(
        [](void*, void*, uint32_t, const void*, uint32_t)
        {
            if (++ticks == 3)
                for (QPushButton* button : sWin->Widget()->findChildren<QPushButton*>())
                    if (button->text() == "Cancel") button->click();
        },
        nullptr, 5, true);
    EXPECT_EQ(TrackMsgBoxWin(win), 2);
    EXPECT_GE(ticks, 3);
    UTimer::Dispose(t);
    delete win;
}

TEST(MsgBoxWindow, MissingBoxRaisesResourceNotFound)
{
    UseBuiltDataFile();
    try
    {
        MsgBox(int16_t(4000));
        FAIL();
    }
    catch (const SError& e)
    {
        EXPECT_EQ(e.type, 6);
        EXPECT_EQ(e.id, 101);
    }
}

namespace
{
std::vector<QPushButton*> Buttons(CWindow* win)
{
    auto list = win->Widget()->findChildren<QPushButton*>();
    return std::vector<QPushButton*>(list.begin(), list.end());
}
} // namespace

TEST(MsgBoxWindow, OneLineMessageGivesTheButtonRowAt70InTheWindow)
{
    UseBuiltDataFile();
    SMsgBox b = Box(kMessage, 1001);
    b.button2 = kCancel;
    CWindow* win = MakeMsgBoxWin(b);
    auto buttons = Buttons(win);
    ASSERT_EQ(buttons.size(), 2u);
    QPushButton* ok = buttons[0]->text() == "OK" ? buttons[0] : buttons[1];
    QPushButton* cancel = ok == buttons[0] ? buttons[1] : buttons[0];
    EXPECT_EQ(ok->geometry(), QRect(245, 67, 90, 26));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(cancel->geometry(), QRect(145, 70, 84, 20));
    SRect bounds;
    win->GetBounds(bounds);
    EXPECT_EQ(bounds.Width(), 345);
    EXPECT_EQ(bounds.Height(), 100);
    EXPECT_EQ(win->GetKind(), kWindowModal);
    EXPECT_EQ(win->GetCancelHit(), 2u);
    delete win;
}

TEST(MsgBoxWindow, EmptyFirstButtonTextShowsOneOkButtonThatAnswers1)
{
    UseBuiltDataFile();
    SMsgBox b = Box(kMessage);
    b.button1 = kEmpty;
    b.button3 = kCancel; // ignored: there is no second button
    CWindow* win = MakeMsgBoxWin(b);
    auto buttons = Buttons(win);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0]->text(), "OK");
    // Without an icon and a second button it is centred on the text.
    EXPECT_EQ(buttons[0]->geometry().left() + buttons[0]->width() / 2, 10 + 275 / 2);
    static CWindow* sWin;
    sWin = win;
    TTimerObj* t = UTimer::StartNew(
        [](void*, void*, uint32_t, const void*, uint32_t) { Buttons(sWin)[0]->click(); }, nullptr, 5, false);
    EXPECT_EQ(TrackMsgBoxWin(win), 1);
    UTimer::Dispose(t);
    delete win;
}

TEST(MsgBoxWindow, NumberedBoxFormatsItsMessageWithTheArgument)
{
    UseBuiltDataFile();
    static std::string message;
    SetMsgBoxHook(
        [](int16_t, const SMsgBox& box)
        {
            message.assign(reinterpret_cast<const char*>(box.message + 1), box.message[0]);
            return uint16_t(2);
        });
    const uint8_t name[] = "report.text";
    EXPECT_EQ(MsgBox(int16_t(140), name), 2);
    SetMsgBoxHook(nullptr);
    EXPECT_NE(message.find("report.text"), std::string::npos);
    EXPECT_EQ(message.find("%#s"), std::string::npos);
}

TEST(MsgBoxWindow, ALongUnbrokenTextWrapsInsideTheBox)
{
    UseBuiltDataFile();
    uint8_t message[256];
    message[0] = 255;
    std::memset(message + 1, 'W', 255);
    CMyMsgBoxWin* win = MakeMsgBoxWin(Box(message, 1001));
    win->Show();
    QWidget* content = win->ContentWidget();
    const QImage image = content->grab().toImage();
    int buttonsTop = content->height();
    for (QPushButton* b : content->findChildren<QPushButton*>())
        buttonsTop = std::min(buttonsTop, b->geometry().top());
    // What the user sees: the text drawn in lines one under the other, right of the icon and above the
    // buttons, none reaching past the text's right edge (60 + 275) to the box's edge.
    const QRgb background = image.pixel(content->width() - 2, buttonsTop - 2);
    int lines = 0, beyondEdge = 0;
    bool inLine = false;
    for (int y = 10; y < buttonsTop - 1; ++y)
    {
        bool ink = false;
        for (int x = 60; x < content->width(); ++x)
            if (image.pixel(x, y) != background)
            {
                ink = true;
                if (x >= 60 + 275) ++beyondEdge;
            }
        if (ink && !inLine) ++lines;
        inLine = ink;
    }
    const int width = QFontMetrics(QFont()).horizontalAdvance(QString(255, QChar('W')));
    EXPECT_GE(lines, width / 275 + 1);
    EXPECT_EQ(beyondEdge, 0);
    EXPECT_EQ(win->GetMessageText(), std::string(255, 'W'));
    delete win;
}

TEST(MsgBoxWindow, AMessageTallerThanTheScreenScrollsInsideTheBox)
{
    // Notices shown together can hold thousands of lines.
    UseBuiltDataFile();
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "Line " + std::to_string(i) + "\r";
    SMsgBox b = Box(nullptr, 1001);
    b.longMessage = reinterpret_cast<const uint8_t*>(text.data());
    b.longMessageSize = uint32_t(text.size());
    CMyMsgBoxWin* win = MakeMsgBoxWin(b);
    SRect bounds;
    win->GetBounds(bounds);
    EXPECT_LE(bounds.Height(), kMaxMsgBoxMessageHeight + 100);
    EXPECT_EQ(win->GetMessageText(), text);
    const QPlainTextEdit* edit = win->Widget()->findChild<QPlainTextEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_LE(edit->height(), kMaxMsgBoxMessageHeight + 6);
    EXPECT_NE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    delete win;
}
