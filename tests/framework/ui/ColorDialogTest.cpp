// The colour chooser: 16-bit components in and out, and a cancel that leaves the colour alone; it waits
// in the framework's modal loop, like the file dialogs.
#include <QApplication>
#include <QColorDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include "framework/ui/UColorDialog.h"

namespace
{
void AnswerLater(bool accept, QColor pick = QColor())
{
    QTimer::singleShot(50,
                       [accept, pick]
                       {
                           auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
                           if (!dialog)
                           {
                               ADD_FAILURE() << "no colour dialog is open";
                               return;
                           }
                           if (!accept)
                           {
                               dialog->reject();
                               return;
                           }
                           dialog->setCurrentColor(pick);
                           dialog->accept();
                       });
}
} // namespace

TEST(ColorDialog, TheChosenColourComesBackIn16BitComponentsAndCancelKeepsTheOld)
{
    uint16_t rgb[3] = {0xFFFF, 0, 0x8080};
    AnswerLater(false);
    EXPECT_FALSE(UColorDialog::Choose("Text color", rgb));
    EXPECT_EQ(rgb[0], 0xFFFF);
    EXPECT_EQ(rgb[2], 0x8080);

    AnswerLater(true, QColor(0x11, 0x22, 0xFF));
    ASSERT_TRUE(UColorDialog::Choose(nullptr, rgb));
    EXPECT_EQ(rgb[0], 0x1111);
    EXPECT_EQ(rgb[1], 0x2222);
    EXPECT_EQ(rgb[2], 0xFFFF);
}
