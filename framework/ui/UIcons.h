// Icons and pictures from the resource data file, stored there as PNG images under their numbers, each
// with rasters of its own for denser screens (see resources/CMakeLists.txt).
#pragma once

#include <QIcon>
#include <QPixmap>
#include <cstdint>

class UIcons
{
public:
    // A null icon when the data file has no such number. It holds every raster the data file has, so
    // that painting it at any size and density picks the closest one instead of enlarging a small one.
    static QIcon GetIcon(int16_t iconID);
    // Picture `id` with its rasters for denser screens; its size is that of the plain picture.
    static QIcon GetPicture(int16_t pictureID);
    static QPixmap GetPixmap(uint32_t type, int16_t id);
};
