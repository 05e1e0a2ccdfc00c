// Where the client's Mac OS Roman text meets Qt's Unicode: nothing of the set is lost on the way and
// back, accents typed apart are composed, and what the set lacks is found and marked in the entry.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <string>

#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UiText.h"

namespace
{
std::string Ranges(const QString& text)
{
    std::string out;
    for (const SUnencodable& u : FindUnencodable(text))
        out += std::to_string(u.start) + "+" + std::to_string(u.length) + " ";
    return out;
}
} // namespace

TEST(UiText, EveryByteGoesToUnicodeAndBackUnchanged)
{
    // Line feeds stand for the carriage returns of the client's text, so 0x0A is left out.
    std::string all;
    for (int b = 0; b <= 0xFF; ++b)
        if (b != '\n') all += char(b);
    const QString shown = ToQString(all.data(), uint32_t(all.size()));
    EXPECT_EQ(FromQString(shown), all);
    EXPECT_TRUE(FindUnencodable(shown).empty());
}

TEST(UiText, AccentsTypedApartAreComposedAndWhatTheSetLacksIsFound)
{
    // e + combining acute, A + combining ring, the ohm sign (which is the set's omega once composed).
    const QString composable = QString::fromUtf8("cafe\u0301 A\u030A \u2126");
    EXPECT_EQ(FromQString(composable), "caf\x8E \x81 \xBD");
    EXPECT_EQ(Ranges(composable), "");

    // A letter with an accent that has no composed form goes as the letter and a '?', and is one mark;
    // a character outside the basic plane is one mark over its two halves.
    const QString lacking = QString::fromUtf8("q\u0303 \u263A \U0001F600 \u00A4");
    EXPECT_EQ(FromQString(lacking), "q? ? ? ?");
    EXPECT_EQ(Ranges(lacking), "0+2 3+1 5+2 8+1 ");
}

TEST(UiText, AnEntryMarksWhatWouldGoAsQuestionMarks)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    auto* line = new CTextView(&win, SRect{5, 5, 200, 25});
    EXPECT_TRUE(line->LineEdit()->actions().isEmpty());
    line->LineEdit()->setText(QString::fromUtf8("Zo\u00EB \u263A"));
    EXPECT_EQ(line->CountUnencodable(), 1u);
    ASSERT_EQ(line->LineEdit()->actions().size(), 1);
    QAction* sign = line->LineEdit()->actions().front();
    EXPECT_TRUE(sign->isVisible());
    EXPECT_TRUE(sign->toolTip().contains(QString::fromUtf8("\u263A")));
    line->LineEdit()->setText(QString::fromUtf8("Zo\u00EB"));
    EXPECT_EQ(line->CountUnencodable(), 0u);
    EXPECT_FALSE(sign->isVisible());

    // A password's characters are not spelled out.
    auto* password = new CTextView(&win, SRect{5, 30, 200, 50}, kTextPassword);
    password->LineEdit()->setText(QString::fromUtf8("\u263Ax"));
    ASSERT_EQ(password->LineEdit()->actions().size(), 1);
    EXPECT_FALSE(password->LineEdit()->actions().front()->toolTip().contains(QString::fromUtf8("\u263A")));

    // Text the client shows is never searched: it came from its own set.
    auto* shown = new CTextView(&win, SRect{5, 60, 200, 150}, kTextMultiLine);
    shown->SetReadOnly(true);
    shown->TextEdit()->setPlainText(QString::fromUtf8("\u263A"));
    EXPECT_TRUE(shown->TextEdit()->extraSelections().isEmpty());
}
