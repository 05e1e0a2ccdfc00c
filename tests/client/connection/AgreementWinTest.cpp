// The agreement window as the user sees it.
#include <QLabel>
#include <gtest/gtest.h>

#include "client/connection/CMyAgreementWin.h"
#include "framework/ui/CTextView.h"

TEST(AgreementWin, TheHeaderTextIsShownWhole)
{
    CMyAgreementWin win;
    QLabel* header = win.Widget()->findChild<QLabel*>();
    ASSERT_NE(header, nullptr);
    // The label is as tall as its wrapped text, and the agreement text starts below it.
    EXPECT_GE(header->height(), header->heightForWidth(header->width()));
    EXPECT_GE(win.GetTextView()->Widget()->parentWidget()->geometry().top(), header->geometry().bottom());
}
