#include "framework/ui/CCheckBoxView.h"

#include <QCheckBox>
#include <QRadioButton>
#include <cstring>

#include "framework/ui/UiText.h"

namespace
{
QAbstractButton* MakeButton(uint16_t style)
{
    if (style == kRadioStyle)
    {
        // The owner decides which of several radio boxes is marked; Qt's own grouping would fight it.
        auto* radio = new QRadioButton;
        radio->setAutoExclusive(false);
        return radio;
    }
    return new QCheckBox;
}
} // namespace

CCheckBoxView::CCheckBoxView(SViewParent parent, const SRect& bounds, const char* title, uint16_t style)
    : CView(parent, bounds, MakeButton(style)), mStyle(style)
{
    if (title) SetTitle(title, uint32_t(std::strlen(title)));
    QObject::connect(Button(), &QAbstractButton::clicked, [this] { Hit(0, CurrentMods()); });
}

QAbstractButton* CCheckBoxView::Button() const
{
    return static_cast<QAbstractButton*>(Widget());
}

void CCheckBoxView::SetTitle(const uint8_t* pstring)
{
    Button()->setText(PStringToQString(pstring));
}

void CCheckBoxView::SetTitle(const void* text, uint32_t length)
{
    Button()->setText(ToQString(text, length));
}

void CCheckBoxView::SetMark(bool mark)
{
    Button()->setChecked(mark);
}

bool CCheckBoxView::GetMark() const
{
    return Button()->isChecked();
}
