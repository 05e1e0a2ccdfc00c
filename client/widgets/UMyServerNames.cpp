#include "client/widgets/UMyServerNames.h"

#include "framework/runtime/UPString.h"

void UMyServerNames::MakeShowable(const uint8_t* name, uint8_t* out, uint32_t capacity)
{
    const uint8_t n = UPString::Copy(out, capacity, name);
    for (uint32_t i = 1; i <= n; ++i)
        if (!IsShowable(out[i])) out[i] = '?';
}
