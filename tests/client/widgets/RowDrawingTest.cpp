// The text of a list row: one line, whatever a server put in it.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <utility>

#include "client/widgets/UMyRowDrawing.h"

namespace
{
// The first and last pixel rows that the text put ink on, in an image with room above and below the row.
std::pair<int, int> InkRows(const QString& text)
{
    QImage image(300, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        UMyRowDrawing::DrawText(painter, QRect(0, 22, 300, 16), text, Qt::AlignLeft);
    }
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
            {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return {first, last};
}
} // namespace

// A tracker's server name holding CR/LF was drawn as two lines, shifted out of its row.
TEST(RowDrawing, ALineBreakInARowTextDrawsAsABlankOnTheRowsOneLine)
{
    const auto oneLine = InkRows("Harbour  Chat");
    ASSERT_GE(oneLine.first, 22);
    EXPECT_EQ(InkRows("Harbour\r\nChat"), oneLine);
    EXPECT_EQ(InkRows("Harbour\n\x01Chat"), oneLine);
}
