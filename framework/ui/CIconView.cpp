#include "framework/ui/CIconView.h"

#include <QLabel>

#include "framework/runtime/FourCC.h"
#include "framework/ui/UIcons.h"

CIconView::CIconView(SViewParent parent, const SRect& bounds, int16_t iconID)
    : CIconView(parent, bounds, FourCC("ICON"), iconID)
{
}

CIconView::CIconView(SViewParent parent, const SRect& bounds, uint32_t type, int16_t id)
    : CView(parent, bounds, new QLabel), mType(type), mID(id)
{
    static_cast<QLabel*>(Widget())->setAlignment(Qt::AlignCenter);
    Load();
}

void CIconView::SetIcon(int16_t iconID)
{
    mID = iconID;
    Load();
}

void CIconView::Load()
{
    auto* label = static_cast<QLabel*>(Widget());
    const QSize box = label->size();
    if (mType == FourCC("ICON"))
    {
        const int side = std::min(box.width(), box.height());
        label->setPixmap(UIcons::GetIcon(mID).pixmap(QSize(side, side), label->devicePixelRatioF()));
        return;
    }
    QPixmap p = UIcons::GetPixmap(mType, mID);
    if (!p.isNull() && (p.width() > box.width() || p.height() > box.height()))
        p = p.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    label->setPixmap(p);
}

CPictureView::CPictureView(SViewParent parent, const SRect& bounds, int16_t pictureID)
    : CIconView(parent, bounds, FourCC("PIXM"), pictureID)
{
}
