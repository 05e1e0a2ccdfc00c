#include "client/files/UMyServerNames.h"

#include <algorithm>

void UMyServerNames::MakeShowable(const uint8_t* name, uint8_t* out, uint32_t capacity)
{
    if (!out || capacity == 0) return;
    const uint32_t n = name ? std::min<uint32_t>(name[0], capacity - 1) : 0;
    out[0] = uint8_t(n);
    for (uint32_t i = 1; i <= n; ++i)
        out[i] = IsShowable(name[i]) ? name[i] : '?';
}
