// A picture scaled to fit the view, its proportions kept and centred; or, in its place, a line of text
// that says why there is none.
#pragma once

#include <QImage>
#include <QString>

#include "framework/ui/CView.h"

class CMyPictureView : public CView
{
public:
    CMyPictureView(SViewParent parent, const SRect& bounds);
    void SetPicture(const QImage& image);
    void SetMessage(const QString& text);
    const QImage& Picture() const { return mImage; }
    const QString& Message() const { return mMessage; }
    // Where the picture is drawn in the view now (empty without one).
    QRect PictureRect() const;

protected:
    void Draw(QPainter& painter, const QRect& dirty) override;

private:
    QImage mImage;
    QString mMessage;
};
