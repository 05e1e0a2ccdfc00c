// Icons from the data file: a paint at a size and density gets the raster made for it, not another one
// scaled, and the other modes and missing numbers behave as Qt's own icons do.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "framework/runtime/FourCC.h"
#include "framework/ui/UIcons.h"
#include "tests/support/TestDataFile.h"

namespace
{
// Icon 134 is drawn for every size the data file holds.
constexpr int16_t kIcon = 134;

QImage Raster(const char (&type)[5])
{
    return UIcons::GetPixmap(FourCC(type), kIcon).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage Painted(const QIcon& icon, int side, qreal dpr, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(side, side), dpr, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}
} // namespace

TEST(IconsTest, EachSizeAndDensityGetsItsOwnRaster)
{
    UseBuiltDataFile();
    const QIcon icon = UIcons::GetIcon(kIcon);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes().size(), 6);
    // The rasters differ from scaled copies of each other (they are drawn anew at each size), so an
    // equal picture means the right raster was chosen.
    EXPECT_EQ(Painted(icon, 16, 1), Raster("IC16"));
    EXPECT_EQ(Painted(icon, 24, 1), Raster("IC24"));
    EXPECT_EQ(Painted(icon, 16, 2), Raster("IC32"));
    EXPECT_EQ(Painted(icon, 32, 3), Raster("IC96"));
    EXPECT_EQ(icon.pixmap(QSize(16, 16), 2.0).deviceIndependentSize(), QSizeF(16, 16));
    // Between two rasters the larger one is made smaller; beyond the largest, the largest is used as is.
    EXPECT_EQ(Painted(icon, 20, 1).size(), QSize(20, 20));
    EXPECT_EQ(Painted(icon, 200, 1).size(), QSize(96, 96));
    EXPECT_EQ(icon.actualSize(QSize(20, 20)), QSize(20, 20));
    EXPECT_EQ(icon.actualSize(QSize(200, 200)), QSize(96, 96));

    // A disabled button's icon is drawn differently, as with any Qt icon.
    EXPECT_NE(Painted(icon, 16, 1, QIcon::Disabled), Painted(icon, 16, 1));

    // No art: a null icon. A negative stored number shows its positive one's art.
    EXPECT_TRUE(UIcons::GetIcon(31999).isNull());
    EXPECT_EQ(Painted(UIcons::GetIcon(-kIcon), 16, 1), Raster("IC16"));
}
