// Views that draw themselves and take the mouse through CView's hooks, without a widget of their own.
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CView.h"
#include "framework/ui/CWindow.h"
#include "tests/support/RunLoopWait.h"

namespace
{
class CSwatchView : public CView
{
public:
    CSwatchView(SViewParent parent, const SRect& bounds) : CView(parent, bounds) {}

    QColor color = Qt::red;
    int draws = 0;
    std::vector<SPoint> downs, ups;
    std::vector<uint16_t> upMods;

    void SetColor(QColor c)
    {
        color = c;
        Refresh();
    }

protected:
    void Draw(QPainter& painter, const QRect& dirty) override
    {
        ++draws;
        painter.fillRect(dirty, color);
    }
    void MouseDown(const SPoint& where, uint16_t) override { downs.push_back(where); }
    void MouseUp(const SPoint& where, uint16_t mods) override
    {
        ups.push_back(where);
        upMods.push_back(mods);
    }
};

QColor PixelOf(CView* view, int x, int y)
{
    QImage image(view->Widget()->size(), QImage::Format_ARGB32);
    view->Widget()->render(&image);
    return image.pixelColor(x, y);
}
} // namespace

TEST(ViewHooks, AViewDrawsItselfAndIsDrawnAgainWhenItAsks)
{
    CWindow win(SRect{50, 50, 250, 150}, kWindowDocument2);
    auto* swatch = new CSwatchView(&win, SRect{10, 10, 60, 40});
    EXPECT_EQ(PixelOf(swatch, 5, 5), QColor(Qt::red));

    win.Show();
    ASSERT_TRUE(PumpUntil([&] { return swatch->draws > 1; }, "the first paint"));
    const int before = swatch->draws;
    swatch->SetColor(Qt::blue);
    ASSERT_TRUE(PumpUntil([&] { return swatch->draws > before; }, "the paint Refresh asked for"));
    EXPECT_EQ(PixelOf(swatch, 49, 29), QColor(Qt::blue));
}

TEST(ViewHooks, PressAndReleaseArriveInTheViewsOwnCoordinatesWithTheKeysHeld)
{
    CWindow win(SRect{50, 50, 250, 150}, kWindowDocument2);
    auto* swatch = new CSwatchView(&win, SRect{10, 10, 60, 40});
    win.Show();
    QTest::mouseClick(swatch->Widget(), Qt::LeftButton, Qt::AltModifier, QPoint(7, 3));
    ASSERT_EQ(swatch->downs.size(), 1u);
    EXPECT_EQ(swatch->downs[0].h, 7);
    EXPECT_EQ(swatch->downs[0].v, 3);
    ASSERT_EQ(swatch->ups.size(), 1u);
    EXPECT_EQ(swatch->upMods[0], kModAlt);
    // A release away from the view still reaches it, so that it can tell an abandoned press.
    QTest::mousePress(swatch->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseRelease(swatch->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 2));
    ASSERT_EQ(swatch->ups.size(), 2u);
    EXPECT_FALSE(swatch->IsInside(swatch->ups[1]));
    EXPECT_TRUE(swatch->IsInside(swatch->ups[0]));
    // Other buttons are not the view's.
    QTest::mouseClick(swatch->Widget(), Qt::RightButton);
    EXPECT_EQ(swatch->downs.size(), 2u);
}
