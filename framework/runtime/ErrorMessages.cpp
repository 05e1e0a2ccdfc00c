#include "framework/runtime/ErrorMessages.h"

#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UIDVarArray.h"
#include "framework/runtime/URez.h"

uint32_t LookUpErrorText(int16_t type, int16_t id, void* outText, uint32_t maxSize)
{
    constexpr uint32_t kTypeErrorList = FourCC("EMSG");
    // Looking up an error text must never raise: it runs while an error is being reported.
    try
    {
        TRezObj* rez = URez::SearchChain(kTypeErrorList, uint32_t(type));
        if (!rez) return 0;
        THdlObj* list = URez::LoadItem(rez, kTypeErrorList, uint32_t(type), true);
        if (!list) return 0;
        uint32_t count = UIDVarArray::GetItem(list, uint32_t(int32_t(id)), outText, maxSize);
        URez::ReleaseItem(rez, kTypeErrorList, uint32_t(type));
        return count;
    }
    catch (const SError&)
    {
        return 0;
    }
}
