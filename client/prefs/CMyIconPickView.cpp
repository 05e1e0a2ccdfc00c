#include "client/prefs/CMyIconPickView.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

#include "framework/ui/UIcons.h"

CMyIconPickView::CMyIconPickView(SViewParent parent, const SRect& bounds, int16_t iconID)
    : CView(parent, bounds), mIcon(iconID)
{
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
        QStyleOptionFrame frame;
        frame.initFrom(w);
        frame.rect = all;
        frame.lineWidth = 4;
        frame.midLineWidth = 0;
        frame.state |= QStyle::State_Sunken;
        w->style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, w);
    }
    const QIcon icon = UIcons::GetIcon(mIcon);
    if (icon.isNull()) return;
    const int side = std::min(32, std::min(all.width(), all.height()) - 8);
    icon.paint(&painter, QRect(all.center().x() - side / 2 + 1, all.center().y() - side / 2 + 1, side, side));
}
