// Window and view geometry in pixels, origin at the top left.
#pragma once

#include <cstdint>

struct SPoint
{
    int32_t h;
    int32_t v;
};

struct SRect
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    // A rectangle saved by an earlier run is only used when it is not empty or inverted.
    bool IsValid() const { return left < right && top < bottom; }
};
