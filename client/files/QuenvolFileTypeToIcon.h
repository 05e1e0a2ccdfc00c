// The icon that a server file's type code is shown with in folder windows.
#pragma once

#include <cstdint>

// Icons of file list rows.
enum : int16_t
{
    kIconFileGeneric = 400,
    kIconFolder = 401,
    kIconPartialFile = 402,
    kIconDropBox = 421,
};

// Codes are the four bytes in order (the first the most significant) and compare case-sensitively.
int16_t QuenvolFileTypeToIcon(uint32_t typeCode);
