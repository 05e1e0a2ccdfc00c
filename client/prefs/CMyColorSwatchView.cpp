#include "client/prefs/CMyColorSwatchView.h"

#include <QPainter>
#include <QWidget>

CMyColorSwatchView::CMyColorSwatchView(SViewParent parent, const SRect& bounds) : CView(parent, bounds)
{
    Widget()->setCursor(Qt::PointingHandCursor);
    TakesFocus();
}

bool CMyColorSwatchView::KeyPressed(int qtKey, uint16_t mods)
{
    // Space presses it as it presses a button; Return stays the dialog's.
    if (qtKey != Qt::Key_Space || !IsEnabled()) return false;
    Hit(0, mods);
    return true;
}

void CMyColorSwatchView::SetColor(const SColor& color)
{
    mColor = color;
    Refresh();
}

void CMyColorSwatchView::MouseDown(const SPoint&, uint16_t mods)
{
    if (IsEnabled()) Hit(0, mods);
}

void CMyColorSwatchView::Draw(QPainter& painter, const QRect&)
{
    const QRect all = Widget()->rect().adjusted(0, 0, -1, -1);
    // The frame takes the text colour of the theme, so that white and black patches both show their edge.
    painter.setPen(Widget()->palette().color(QPalette::WindowText));
    painter.setBrush(QColor::fromRgba64(mColor.red, mColor.green, mColor.blue));
    painter.drawRect(all);
}
