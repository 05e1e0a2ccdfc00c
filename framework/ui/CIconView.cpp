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
    const QPixmap plain = UIcons::GetPixmap(mType, mID);
    if (plain.isNull() || mType != FourCC("PIXM"))
    {
        label->setPixmap(plain.isNull() || (plain.width() <= box.width() && plain.height() <= box.height())
                             ? plain
                             : plain.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return;
    }
    // The picture's own size, or less to fit the view, taken from the raster made for this density.
    QSize size = plain.size();
    if (size.width() > box.width() || size.height() > box.height()) size.scale(box, Qt::KeepAspectRatio);
    label->setPixmap(UIcons::GetPicture(mID).pixmap(size, label->devicePixelRatioF()));
}

CPictureView::CPictureView(SViewParent parent, const SRect& bounds, int16_t pictureID)
    : CIconView(parent, bounds, FourCC("PIXM"), pictureID)
{
}
