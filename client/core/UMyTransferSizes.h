// Sizes a transfer can carry: the stream and its announced size are 32-bit, so a file of 4 GiB or more
// cannot travel, and a server that announces more than that is refused rather than cut short.
#pragma once

#include <cstdint>

struct TFieldDataObj;
struct TFileSysRefObj;

class UMyTransferSizes
{
public:
    // The reply's field 108 (0 when absent). A wider field holding more than 32 bits can carry raises
    // 1/10: the file cannot arrive whole.
    static uint32_t GetTransferSize(TFieldDataObj* reply);
    // False when the local file's flattened form would not fit the 32-bit stream.
    static bool CanSend(TFileSysRefObj* file);
};
