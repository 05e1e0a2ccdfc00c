// Under a dark theme the self-drawn lists paint with the theme's colours, as read back from the pixels
// they paint, and the colours that mark an item or that the user chose for the chat stay readable.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/CApplication.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UColors.h"
#include "tests/support/RunLoopWait.h"

namespace
{
QPalette DarkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::Base, QColor(0x1c, 0x1e, 0x22));
    p.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Button, QColor(0x33, 0x33, 0x33));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Light, QColor(0x4a, 0x50, 0x58));
    p.setColor(QPalette::Shadow, QColor(0x0a, 0x0a, 0x0a));
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x5f, 0x9e));
    p.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    return p;
}

// The pixel of the row's text that stands out most from what lies behind it.
QColor StrongestText(const QImage& image, const QRect& box, const QColor& behind)
{
    QColor best = behind;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
        {
            const QColor c = image.pixelColor(x, y);
            if (UColors::Contrast(c, behind) > UColors::Contrast(best, behind)) best = c;
        }
    return best;
}

class DarkPaletteTest : public testing::Test
{
protected:
    void TearDown() override
    {
        delete window;
        delete app;
        UApplication::Process();
    }

    CApplication* app = new CApplication;
    CWindow* window = new CWindow(SRect{0, 0, 300, 120}, kWindowDocument2, 7);
};

TEST_F(DarkPaletteTest, UserRowsTakeTheirBackgroundFrameSelectionAndTextFromThePalette)
{
    const QPalette dark = DarkPalette();
    window->Widget()->setPalette(dark);
    auto* list = new CMyUserListView(window, SRect{0, 0, 300, 120});
    list->AddUser(1, 414, 0, "Robin", 5);
    list->AddUser(2, 414, 1, "Idle", 4);  // the grey of an idle user
    list->AddUser(3, 414, 2, "Admin", 5); // the red of an administrator
    list->SelectOnly(1);
    window->Show();
    window->BringToFront();
    ASSERT_TRUE(PumpUntil([&] { return window->Widget()->isActiveWindow(); }, "the window to be active"));

    QWidget* viewport = static_cast<QAbstractScrollArea*>(list->Widget())->viewport();
    const QImage image = viewport->grab().toImage();
    const int h = CMyUserListView::kRowHeight;
    const auto rowMiddle = [h](int row) { return (row - 1) * h + h / 2; };

    // Behind the rows, between the name and the edge: the selection in row 1, the base in the others and
    // below the last row; the frame between rows in the palette's light colour.
    EXPECT_EQ(image.pixelColor(280, rowMiddle(1)), dark.color(QPalette::Highlight));
    EXPECT_EQ(image.pixelColor(280, rowMiddle(2)), dark.color(QPalette::Base));
    EXPECT_EQ(image.pixelColor(280, 3 * h + 10), dark.color(QPalette::Base));
    EXPECT_EQ(image.pixelColor(0, rowMiddle(2)), dark.color(QPalette::Light));
    EXPECT_EQ(image.pixelColor(150, 2 * h), dark.color(QPalette::Light));

    // The names: the selected one in the highlighted text colour, the others readable on the dark base.
    const QRect name(36, 2, 120, h - 4);
    EXPECT_EQ(StrongestText(image, name, dark.color(QPalette::Highlight)),
              dark.color(QPalette::HighlightedText));
    for (int row : {2, 3})
    {
        const QColor text =
            StrongestText(image, name.translated(0, (row - 1) * h), dark.color(QPalette::Base));
        EXPECT_GE(UColors::Contrast(text, dark.color(QPalette::Base)), UColors::kKeptContrast)
            << "row " << row;
    }
    // The marks keep their hue: the administrator's name is still red.
    const QColor admin = StrongestText(image, name.translated(0, 2 * h), dark.color(QPalette::Base));
    EXPECT_GT(admin.red(), 2 * admin.green());
}

TEST(ReadableColors, ColoursThatReadStayAndOthersAreMovedJustFarEnoughKeepingTheirHue)
{
    EXPECT_NEAR(UColors::Contrast(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(UColors::Contrast(Qt::white, Qt::white), 1.0, 0.001);

    // The program's own marks on the white list they were chosen for, and a usual chat pair, stay.
    for (QColor mark : {QColor(0xEE, 0x77, 0x77), QColor(0x77, 0x77, 0x77), QColor(0xDD, 0, 0)})
        EXPECT_EQ(UColors::Readable(mark, Qt::white), mark);
    EXPECT_EQ(UColors::Readable(QColor(0, 0, 0x80), QColor(0xFF, 0xFF, 0xCC)), QColor(0, 0, 0x80));

    // Navy on black, and a grey on a grey: moved until they plainly read, towards the side that reads.
    const QColor navy = UColors::Readable(QColor(0, 0, 0x80), Qt::black);
    EXPECT_GE(UColors::Contrast(navy, Qt::black), UColors::kMadeContrast);
    EXPECT_GT(navy.blue(), navy.red()) << "the blue was lost";
    EXPECT_NE(navy, QColor(Qt::white)) << "more than needed";
    const QColor grey = UColors::Readable(QColor(0x60, 0x60, 0x60), QColor(0x50, 0x50, 0x50));
    EXPECT_GE(UColors::Contrast(grey, QColor(0x50, 0x50, 0x50)), UColors::kMadeContrast);
}

TEST_F(DarkPaletteTest, ChatColoursStayAsChosenUnlessTheTextCouldNotBeRead)
{
    window->Widget()->setPalette(DarkPalette());
    auto* text = new CTextView(window, SRect{0, 0, 200, 100});
    // Black on white under a dark theme: the user's choice, and readable.
    text->SetTextColor(0, 0, 0);
    text->SetBackColor(0xFFFF, 0xFFFF, 0xFFFF);
    EXPECT_EQ(text->Widget()->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(text->Widget()->palette().color(QPalette::Base), QColor(Qt::white));
    // Dark blue on black: the background stays, the text is made to read.
    text->SetTextColor(0, 0, 0x8000);
    text->SetBackColor(0, 0, 0);
    EXPECT_EQ(text->Widget()->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_GE(UColors::Contrast(text->Widget()->palette().color(QPalette::Text), Qt::black),
              UColors::kMadeContrast);
}
} // namespace
