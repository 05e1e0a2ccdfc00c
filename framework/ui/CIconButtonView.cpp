#include "framework/ui/CIconButtonView.h"

#include <QToolButton>
#include <algorithm>
#include <cstring>

#include "framework/ui/UIcons.h"
#include "framework/ui/UiText.h"

CIconButtonView::CIconButtonView(SViewParent parent, const SRect& bounds, int16_t iconID, const char* title)
    : CView(parent, bounds, new QToolButton)
{
    Button()->setFocusPolicy(Qt::TabFocus);
    SetIcon(iconID);
    if (title) SetTitle(title, uint32_t(std::strlen(title)));
    UpdateStyle();
    QObject::connect(Button(), &QToolButton::clicked, [this] { Hit(0, CurrentMods()); });
}

QToolButton* CIconButtonView::Button() const
{
    return static_cast<QToolButton*>(Widget());
}

void CIconButtonView::SetIcon(int16_t iconID)
{
    mIconID = iconID;
    Button()->setIcon(UIcons::GetIcon(iconID));
    UpdateStyle();
}

void CIconButtonView::SetTitle(const uint8_t* pstring)
{
    Button()->setText(PStringToQString(pstring));
    UpdateStyle();
}

void CIconButtonView::SetTitle(const void* text, uint32_t length)
{
    Button()->setText(ToQString(text, length));
    UpdateStyle();
}

void CIconButtonView::SetToolTip(const char* text)
{
    mToolTip = text ? text : "";
    UpdateStyle();
}

void CIconButtonView::UpdateStyle()
{
    QToolButton* b = Button();
    const QSize size = b->size();
    // The icon takes the button's height less a small margin, at most 32 pixels.
    const int side = std::clamp(std::min(size.width(), size.height()) - 8, 12, 32);
    b->setIconSize(QSize(side, side));
    b->setToolButtonStyle(b->text().isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    if (!mToolTip.empty())
        b->setToolTip(ToQString(mToolTip.data(), uint32_t(mToolTip.size())));
    else
        b->setToolTip(b->text().isEmpty() ? QString() : b->text());
    // A button with only an icon says with its tip what it does; a screen reader would otherwise read
    // it as an unnamed button.
    b->setAccessibleName(b->text().isEmpty() ? b->toolTip() : QString());
}

CIconButtonView* CIconButtonView::Make(SViewParent parent, const SRect& bounds, int16_t iconID, uint32_t id,
                                       uint8_t sizing)
{
    auto* button = new CIconButtonView(parent, bounds, iconID);
    button->SetID(id);
    button->SetSizing(sizing);
    return button;
}
