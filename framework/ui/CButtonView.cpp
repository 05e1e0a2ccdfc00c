#include "framework/ui/CButtonView.h"

#include <QPushButton>
#include <cstring>

#include "framework/ui/CWindow.h"
#include "framework/ui/UiText.h"

CButtonView::CButtonView(SViewParent parent, const SRect& bounds, const char* title)
    : CView(parent, bounds, new QPushButton)
{
    if (title) SetTitle(title, uint32_t(std::strlen(title)));
    QObject::connect(Button(), &QPushButton::clicked, [this] { Hit(0, CurrentMods()); });
}

QPushButton* CButtonView::Button() const
{
    return static_cast<QPushButton*>(Widget());
}

void CButtonView::SetTitle(const uint8_t* pstring)
{
    Button()->setText(PStringToQString(pstring));
}

void CButtonView::SetTitle(const void* text, uint32_t length)
{
    Button()->setText(ToQString(text, length));
}

void CButtonView::SetDefault(bool isDefault)
{
    Button()->setDefault(isDefault);
    Button()->setAutoDefault(false);
    CWindow* w = GetWindow();
    if (!w) return;
    if (isDefault)
        w->SetDefaultHit(GetID());
    else if (w->GetDefaultHit() == GetID())
        w->SetDefaultHit(0);
}

void CButtonView::SetCancel(bool isCancel)
{
    CWindow* w = GetWindow();
    if (!w) return;
    if (isCancel)
        w->SetCancelHit(GetID());
    else if (w->GetCancelHit() == GetID())
        w->SetCancelHit(0);
}
