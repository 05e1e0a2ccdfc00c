// The icon cells of the options window: one mark per ring, set by a press, and drawn.
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "client/prefs/CMyIconPickView.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"

namespace
{
// How many pixels of the cell's frame area differ from a cell drawn without a mark.
int MarkPixels(CMyIconPickView* cell)
{
    QImage marked(cell->Widget()->size(), QImage::Format_ARGB32);
    cell->Widget()->render(&marked);
    cell->SetMark(false);
    QImage plain(cell->Widget()->size(), QImage::Format_ARGB32);
    cell->Widget()->render(&plain);
    cell->SetMark(true);
    int differ = 0;
    for (int x = 0; x < marked.width(); ++x)
        if (marked.pixel(x, 1) != plain.pixel(x, 1)) ++differ;
    return differ;
}
} // namespace

TEST(IconPickView, CellsOfOneRingHaveOneMarkSetByAPress)
{
    CWindow window(SRect{0, 0, 300, 100}, kWindowDocument2, 7);
    auto* a = new CMyIconPickView(&window, SRect{0, 0, 40, 40}, 414);
    auto* b = new CMyIconPickView(&window, SRect{40, 0, 80, 40}, -2001);
    auto* c = new CMyIconPickView(&window, SRect{80, 0, 120, 40}, 128);
    b->JoinRing(a);
    c->JoinRing(a);
    a->SetMark(true);
    window.Show();
    QTest::mouseClick(c->Widget(), Qt::LeftButton);
    EXPECT_FALSE(a->GetMark());
    EXPECT_FALSE(b->GetMark());
    EXPECT_TRUE(c->GetMark());
    EXPECT_GT(MarkPixels(c), 0) << "the mark is not drawn";

    delete b; // leaves the ring: the others still reach each other
    a->Choose();
    EXPECT_TRUE(a->GetMark());
    EXPECT_FALSE(c->GetMark());
    UApplication::Process();
}
