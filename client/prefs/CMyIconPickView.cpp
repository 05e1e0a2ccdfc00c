#include "client/prefs/CMyIconPickView.h"

#include <QPainter>
#include <QWidget>

#include "framework/ui/UIcons.h"

CMyIconPickView::CMyIconPickView(SViewParent parent, const SRect& bounds, int16_t iconID)
    : CView(parent, bounds), mIcon(iconID)
{
    TakesFocus();
}

bool CMyIconPickView::KeyPressed(int qtKey, uint16_t)
{
    // Space chooses the cell; the arrows go to the next or the previous cell of the ring and choose it,
    // as they do in a group of radio buttons.
    CMyIconPickView* to = nullptr;
    if (qtKey == Qt::Key_Space)
        to = this;
    else if (qtKey == Qt::Key_Right || qtKey == Qt::Key_Down)
        to = mNext;
    else if (qtKey == Qt::Key_Left || qtKey == Qt::Key_Up)
        for (to = mNext; to->mNext != this; to = to->mNext)
        {
        }
    if (!to) return false;
    to->Choose();
    to->SetFocus();
    return true;
}

CMyIconPickView::~CMyIconPickView()
{
    // Leave the ring so that the remaining cells never reach this one.
    CMyIconPickView* prev = this;
    while (prev->mNext != this)
        prev = prev->mNext;
    prev->mNext = mNext;
}

void CMyIconPickView::SetIcon(int16_t iconID)
{
    mIcon = iconID;
    Refresh();
}

void CMyIconPickView::SetMark(bool mark)
{
    if (mark == mMark) return;
    mMark = mark;
    Refresh();
}

void CMyIconPickView::JoinRing(CMyIconPickView* other)
{
    if (!other || other == this || mNext != this) return;
    mNext = other->mNext;
    other->mNext = this;
}

void CMyIconPickView::Choose()
{
    for (CMyIconPickView* v = mNext; v != this; v = v->mNext)
        v->SetMark(false);
    SetMark(true);
}

void CMyIconPickView::MouseDown(const SPoint&, uint16_t)
{
    Choose();
}

void CMyIconPickView::Draw(QPainter& painter, const QRect&)
{
    QWidget* w = Widget();
    const QRect all = w->rect();
    if (mMark)
    {
        // The theme's selection colour, as a selected row has it, so that the mark reads in light and
        // dark themes alike.
        QColor fill = w->palette().color(QPalette::Highlight);
        fill.setAlpha(70);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(w->palette().color(QPalette::Highlight), 2));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(all).adjusted(1, 1, -1, -1), 4, 4);
    }
    const QIcon icon = UIcons::GetIcon(mIcon);
    if (icon.isNull()) return;
    const int side = std::min(32, std::min(all.width(), all.height()) - 8);
    icon.paint(&painter, QRect(all.center().x() - side / 2 + 1, all.center().y() - side / 2 + 1, side, side));
}
