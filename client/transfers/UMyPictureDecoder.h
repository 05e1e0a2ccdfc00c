// Pictures from a server are hostile bytes: they are decoded with a bound on what the decoder may
// allocate and on the picture's size, so that a small file claiming a huge picture is refused instead of
// taking the memory.
#pragma once

#include <QImage>
#include <cstdint>

class UMyPictureDecoder
{
public:
    // What the decoder may allocate at most, and the widest or tallest picture taken.
    static constexpr int kAllocationLimitMB = 256;
    static constexpr int kMaxSide = 16384;

    // False (and a null image) when the bytes are no picture this client reads, or break a bound.
    static bool Decode(const uint8_t* bytes, uint32_t size, QImage& outImage);
    // A JPEG, PNG or GIF file by its type code or, failing that, its name's extension.
    static bool IsPicture(uint32_t type, const uint8_t* name);
};
