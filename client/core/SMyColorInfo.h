// Text colours and size of the chat and news views.
#pragma once

#include <cstdint>

struct SColor
{
    uint16_t red;
    uint16_t green;
    uint16_t blue;
};

struct SMyColorInfo
{
    SColor textColor;
    SColor backColor;
    uint16_t textSize; // points
};

constexpr SMyColorInfo kDefaultColorInfo = {{0, 0, 0}, {0xFFFF, 0xFFFF, 0xFFFF}, 12};
