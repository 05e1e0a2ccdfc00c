// The message a folder window's list sends when a row of another folder window is dropped on it: the
// item's name as a length byte and its bytes, the path's length (16 bits, in the machine's own order)
// and the path record of the folder the item comes from. The bytes come from a drag, which any program
// can offer: they are read strictly.
#pragma once

#include <cstdint>

struct SMyFileDrop
{
    const uint8_t* name; // length-prefixed, inside the message
    const uint8_t* path; // null for the root
    uint32_t pathSize;
};

class UMyFileDrop
{
public:
    // False unless the name is not empty, every length lies inside `size`, the message ends where the
    // path does, and the path is the root (no bytes) or a well-formed record. A name or path that does
    // not fit was cut on its way and would name another item.
    static bool Parse(const uint8_t* data, uint32_t size, SMyFileDrop& outDrop);
};
