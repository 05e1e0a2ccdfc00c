#include "client/widgets/UMyRowDrawing.h"

#include <QPainter>
#include <QPalette>

#include "framework/ui/UColors.h"
#include "framework/ui/UIcons.h"

QFont UMyRowDrawing::ListFont(const QFont& base, bool bold)
{
    QFont f = base;
    f.setPointSize(9);
    f.setBold(bold);
    return f;
}

void UMyRowDrawing::DrawSelection(QPainter& painter, const QRect& mark, bool active, const QPalette& palette)
{
    const QColor highlight = palette.color(QPalette::Highlight);
    if (active)
        painter.fillRect(mark, highlight);
    else
    {
        painter.setPen(highlight);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(mark.adjusted(0, 0, -1, -1));
    }
}

void UMyRowDrawing::DrawFrame(QPainter& painter, const QRect& frame, const QPalette& palette)
{
    painter.setPen(palette.color(QPalette::Light));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void UMyRowDrawing::DrawIcon(QPainter& painter, int16_t iconID, int x, int y, bool selectedLook)
{
    const QIcon icon = UIcons::GetIcon(iconID);
    if (icon.isNull()) return;
    icon.paint(&painter, QRect(x, y, 16, 16), Qt::AlignCenter,
               selectedLook ? QIcon::Selected : QIcon::Normal);
}

QColor UMyRowDrawing::TextColor(const QColor& wanted, bool selectedLook, const QPalette& palette)
{
    return UColors::Readable(wanted, palette.color(selectedLook ? QPalette::Highlight : QPalette::Base));
}

void UMyRowDrawing::DrawText(QPainter& painter, const QRect& box, const QString& text, int alignment)
{
    if (box.width() <= 0) return;
    // A row holds one line: a line break in a name from a server would draw it shifted out of its row.
    QString line = text;
    for (QChar& c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    painter.drawText(box, alignment | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(line, Qt::ElideRight, box.width()));
}

bool UMyRowDrawing::DrawIconRow(QPainter& painter, const QRect& row, int16_t iconID, bool selected,
                                bool active, const QPalette& palette)
{
    if (selected) DrawSelection(painter, row.adjusted(1, 1, -1, 0), active, palette);
    // The frame reaches one pixel down so that neighbouring rows share their line.
    DrawFrame(painter, row.adjusted(0, 0, 0, 1), palette);
    const bool lit = selected && active;
    DrawIcon(painter, iconID, row.left() + 10, row.top() + 2, lit);
    return lit;
}
