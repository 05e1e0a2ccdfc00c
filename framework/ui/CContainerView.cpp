#include "framework/ui/CContainerView.h"

#include <QGroupBox>
#include <QWidget>

#include "framework/ui/UiText.h"

CContainerView::CContainerView(SViewParent parent, const SRect& bounds)
    : CContainerView(parent, bounds, new QWidget)
{
}

CContainerView::CContainerView(SViewParent parent, const SRect& bounds, QWidget* widget)
    : CView(parent, bounds, widget)
{
    InstallSizingRule(widget);
}

CBoxView::CBoxView(SViewParent parent, const SRect& bounds, uint16_t style)
    : CContainerView(parent, bounds, new QGroupBox), mStyle(style)
{
}

void CBoxView::SetTitle(const uint8_t* pstring)
{
    if (mStyle != kBoxPlain) static_cast<QGroupBox*>(Widget())->setTitle(PStringToQString(pstring));
}

void CBoxView::SetTitle(const void* text, uint32_t length)
{
    if (mStyle != kBoxPlain) static_cast<QGroupBox*>(Widget())->setTitle(ToQString(text, length));
}
