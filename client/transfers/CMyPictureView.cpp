#include "client/transfers/CMyPictureView.h"

#include <QPainter>
#include <QWidget>

CMyPictureView::CMyPictureView(SViewParent parent, const SRect& bounds) : CView(parent, bounds) {}

void CMyPictureView::SetPicture(const QImage& image)
{
    mImage = image;
    mMessage.clear();
    Refresh();
}

void CMyPictureView::SetMessage(const QString& text)
{
    mImage = QImage();
    mMessage = text;
    Refresh();
}

QRect CMyPictureView::PictureRect() const
{
    if (mImage.isNull()) return QRect();
    const QSize area = Widget()->size();
    // The picture fills the window one way, its proportions kept.
    QSize shown = mImage.size();
    shown.scale(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2), shown);
}

void CMyPictureView::Draw(QPainter& painter, const QRect&)
{
    const QRect all = Widget()->rect();
    // Around a picture of another shape the window's own background shows, as it does around any
    // control, rather than bars that frame the picture.
    painter.fillRect(all, Widget()->palette().color(QPalette::Window));
    if (!mImage.isNull())
    {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(PictureRect(), mImage);
        return;
    }
    painter.setPen(Widget()->palette().color(QPalette::WindowText));
    painter.drawText(all.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, mMessage);
}
