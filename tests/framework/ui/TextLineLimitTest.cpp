// A text that grows without end (a chat left running for days, the news) keeps a bounded number of
// lines: the oldest go in blocks, the newest always stay, and a reader scrolled back stays where he was.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <gtest/gtest.h>
#include <string>

#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"

namespace
{
constexpr uint32_t kLimit = 100, kSlack = kLimit / 10;

std::string Line(int i)
{
    return "\rline " + std::to_string(i);
}

void Append(CTextView* text, int i)
{
    const std::string line = Line(i);
    text->AppendText(line.data(), uint32_t(line.size()));
}

std::string BlockText(const QTextBlock& block)
{
    return block.text().toStdString();
}

// The line at the top of what the view shows.
std::string TopShownLine(CTextView* text)
{
    return BlockText(text->TextEdit()->cursorForPosition(QPoint(4, 4)).block());
}
} // namespace

TEST(TextLineLimit, AppendedTextKeepsTheNewestLinesAndTrimsInBlocks)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    CTextView* text = MakeTextBoxView(&win, SRect{0, 0, 300, 200}, kScrollVertical);
    text->SetLineLimit(kLimit);
    win.Show();
    QTextDocument* doc = text->TextEdit()->document();
    uint32_t most = 0, trims = 0, before = 0;
    // Three times the limit, one line per pass of the loop as a chat receives them, and some in bursts.
    for (int i = 1; i <= int(3 * kLimit); ++i)
    {
        Append(text, i);
        if (i % 7) QApplication::processEvents();
        const uint32_t count = uint32_t(doc->blockCount());
        most = std::max(most, count);
        if (count < before) ++trims;
        before = count;
    }
    EXPECT_LE(text->GetLineCount(), kLimit + kSlack);
    EXPECT_LE(most, kLimit + kSlack + 7);
    // Not a trim per line: one per block of slack.
    EXPECT_LE(trims, 3 * kLimit / kSlack);
    EXPECT_EQ(BlockText(doc->lastBlock()), "line 300");
    // What stays is the newest lines in order, whole, with no blank line where the trim cut.
    const int first = 300 - doc->blockCount() + 1;
    EXPECT_EQ(BlockText(doc->firstBlock()), "line " + std::to_string(first));
    EXPECT_EQ(BlockText(doc->firstBlock().next()), "line " + std::to_string(first + 1));
    // The view follows the newest line.
    QScrollBar* bar = text->TextEdit()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(TextLineLimit, AReaderScrolledBackKeepsReadingTheSameLines)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    CTextView* text = MakeTextBoxView(&win, SRect{0, 0, 300, 200}, kScrollVertical);
    text->SetLineLimit(kLimit);
    win.Show();
    for (int i = 1; i <= int(kLimit); ++i)
        Append(text, i);
    QApplication::processEvents();
    // Back to line 59 (below a blank first line), among lines that the next trim keeps.
    QScrollBar* bar = text->TextEdit()->verticalScrollBar();
    bar->setValue(59);
    const std::string reading = TopShownLine(text);
    ASSERT_EQ(reading, "line 59");
    for (int i = int(kLimit) + 1; i <= int(kLimit + 2 * kSlack); ++i)
    {
        Append(text, i);
        QApplication::processEvents();
    }
    ASSERT_LE(text->GetLineCount(), kLimit + kSlack); // a trim happened
    EXPECT_EQ(TopShownLine(text), reading);

    // Lines he was reading that go show the oldest line kept.
    bar->setValue(0);
    for (int i = int(kLimit + 2 * kSlack) + 1; i <= int(kLimit + 4 * kSlack); ++i)
        Append(text, i);
    QApplication::processEvents();
    EXPECT_EQ(TopShownLine(text), BlockText(text->TextEdit()->document()->firstBlock()));
}

TEST(TextLineLimit, TextWhoseNewestLinesGoOnTopLosesItsBottom)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    CTextView* text = MakeTextBoxView(&win, SRect{0, 0, 300, 200}, kScrollVertical);
    text->SetLineLimit(kLimit, true);
    // Articles of three lines each, the newest inserted on top.
    for (int i = 1; i <= int(kLimit); ++i)
    {
        const std::string article = "article " + std::to_string(i) + "\rbody\r\r";
        text->InsertTextAtStart(article.data(), uint32_t(article.size()));
    }
    QTextDocument* doc = text->TextEdit()->document();
    EXPECT_LE(uint32_t(doc->blockCount()), kLimit + kSlack);
    EXPECT_EQ(BlockText(doc->firstBlock()), "article 100");
    // A whole text set at once (the news as it first arrives) is held to the limit as well.
    std::string all;
    for (int i = 0; i < int(3 * kLimit); ++i)
        all += "news " + std::to_string(i) + "\r";
    text->SetText(all.data(), uint32_t(all.size()));
    EXPECT_EQ(text->GetLineCount(), kLimit);
    EXPECT_EQ(BlockText(doc->firstBlock()), "news 0");
}

TEST(TextLineLimit, ALowerLimitHoldsAtOnceAndNoLimitKeepsEverything)
{
    CWindow win(SRect{0, 0, 300, 200}, kWindowDocument2);
    CTextView* text = MakeTextBoxView(&win, SRect{0, 0, 300, 200}, kScrollVertical);
    for (int i = 1; i <= int(3 * kLimit); ++i)
        Append(text, i);
    EXPECT_EQ(text->GetLineCount(), 3 * kLimit + 1); // the first line is blank
    text->SetLineLimit(kLimit);
    EXPECT_EQ(text->GetLineCount(), kLimit);
    EXPECT_EQ(BlockText(text->TextEdit()->document()->lastBlock()), "line 300");
}
