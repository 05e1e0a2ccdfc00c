#include "client/chat/CMySubjectView.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include "client/widgets/UMyRowDrawing.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/UiText.h"

CMySubjectView::CMySubjectView(SViewParent parent, const SRect& bounds) : CView(parent, bounds) {}

void CMySubjectView::SetText(const void* text, uint32_t length)
{
    mText.assign(static_cast<const char*>(text), text ? length : 0);
    Refresh();
}

void CMySubjectView::MouseDown(const SPoint&, uint16_t)
{
    mIsHilited = true;
    Refresh();
}

void CMySubjectView::MouseUp(const SPoint& where, uint16_t mods)
{
    if (!mIsHilited) return;
    mIsHilited = false;
    Refresh();
    // A press given up by moving away before the release changes nothing.
    if (IsInside(where) && mHitsEnabled && IsEnabled()) Hit(0, mods, 0, nullptr, 0, (mods & kModAlt) ? 2 : 1);
}

void CMySubjectView::Draw(QPainter& painter, const QRect&)
{
    QWidget* w = Widget();
    const QPalette& pal = w->palette();
    const QRect all = w->rect();
    painter.setPen(pal.color(QPalette::Shadow));
    painter.drawRect(all.adjusted(0, 0, -1, -1));
    const QRect inner = all.adjusted(1, 1, -1, -1);
    if (mIsHilited)
    {
        painter.fillRect(inner, pal.color(QPalette::Mid));
        painter.setPen(pal.color(QPalette::Light));
    }
    else
    {
        QStyleOptionButton face;
        face.initFrom(w);
        face.rect = inner;
        face.state |= QStyle::State_Raised;
        w->style()->drawControl(QStyle::CE_PushButtonBevel, &face, &painter, w);
        painter.setPen(pal.color(QPalette::ButtonText));
    }
    painter.setFont(UMyRowDrawing::ListFont(w->font(), true));
    const QString label = QStringLiteral("Subject:");
    const int labelLeft = all.left() + 10;
    painter.drawText(QRect(labelLeft, inner.top(), 60, inner.height()), Qt::AlignVCenter | Qt::AlignLeft,
                     label);
    painter.setFont(UMyRowDrawing::ListFont(w->font(), false));
    const int textLeft = labelLeft + 60;
    UMyRowDrawing::DrawText(painter, QRect(textLeft, inner.top(), inner.right() - textLeft, inner.height()),
                            ToQString(mText.data(), uint32_t(mText.size())), Qt::AlignLeft);
}
