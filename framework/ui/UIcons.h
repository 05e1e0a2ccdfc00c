// Icons and pictures from the resource data file, stored there as PNG images under their numbers.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <cstdint>

class UIcons
{
public:
    // A null icon when the data file has no such number.
    static QIcon GetIcon(int16_t iconID);
    static QPixmap GetPixmap(uint32_t type, int16_t id);
};
