#include "framework/runtime/ErrorMessages.h"

#if __has_include("framework/runtime/URez.h")
#include "framework/runtime/UIDVarArray.h"
#include "framework/runtime/URez.h"
#endif

uint32_t LookUpErrorText(int16_t type, int16_t id, void* outText, uint32_t maxSize)
{
    (void)type, (void)id, (void)outText, (void)maxSize;
    return 0;
}
