#include "framework/ui/CButtonPopupView.h"

#include <QComboBox>

#include "framework/ui/UiText.h"

CButtonPopupView::CButtonPopupView(SViewParent parent, const SRect& bounds)
    : CView(parent, bounds, new QComboBox)
{
    // Only the user's choice is a hit, not the filling and setting done by the program.
    QObject::connect(ComboBox(), &QComboBox::activated, [this](int) { Hit(0, CurrentMods()); });
}

QComboBox* CButtonPopupView::ComboBox() const
{
    return static_cast<QComboBox*>(Widget());
}

uint32_t CButtonPopupView::AddItem(const uint8_t* pstring)
{
    return pstring ? AddItem(pstring + 1, pstring[0]) : AddItem(nullptr, 0);
}

uint32_t CButtonPopupView::AddItem(const void* text, uint32_t length)
{
    ComboBox()->addItem(ToQString(text, length));
    return uint32_t(ComboBox()->count());
}

void CButtonPopupView::RemoveAll()
{
    ComboBox()->clear();
}

uint32_t CButtonPopupView::GetItemCount() const
{
    return uint32_t(ComboBox()->count());
}

void CButtonPopupView::SetSelectedItem(uint32_t item)
{
    if (item >= 1 && item <= GetItemCount()) ComboBox()->setCurrentIndex(int(item - 1));
}

uint32_t CButtonPopupView::GetSelectedItem() const
{
    return uint32_t(ComboBox()->currentIndex() + 1);
}
