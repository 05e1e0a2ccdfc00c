// Feeds arbitrary bytes to the resource reader as a file, loads every item it lists and reads each
// item as an id list too, then loads everything again after the memory was reclaimed.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "framework/runtime/SError.h"
#include "framework/runtime/UIDVarArray.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"

namespace
{
struct SInput
{
    const uint8_t* data;
    size_t size;
};

uint32_t InputRead(void* ref, uint32_t offset, void* buffer, uint32_t size)
{
    const SInput* in = static_cast<const SInput*>(ref);
    if (offset >= in->size) return 0;
    const size_t n = size < in->size - offset ? size : in->size - offset;
    std::memcpy(buffer, in->data + offset, n);
    return uint32_t(n);
}

uint32_t InputSize(void* ref)
{
    return uint32_t(static_cast<const SInput*>(ref)->size);
}

struct StRez
{
    TRezObj* rez;
    ~StRez() { URez::Dispose(rez); }
};

void LoadEverything(TRezObj* rez, size_t inputSize)
{
    for (uint32_t t = 0; t < URez::GetTypeCount(rez); ++t)
    {
        const uint32_t type = URez::GetIndType(rez, t);
        for (uint32_t i = 0; i < URez::GetItemCount(rez, type); ++i)
        {
            const uint32_t id = URez::GetIndID(rez, type, i);
            THdlObj* h = URez::LoadItem(rez, type, id);
            const uint32_t size = UMemory::GetSize(h);
            if (size > inputSize) __builtin_trap();
            uint8_t text[256];
            {
                StHandleLocker lock(h);
                for (uint32_t key : {0u, 1u, 8u, 101u, id})
                    if (UIDVarArray::GetItem(lock.Data(), size, key, text, sizeof(text)) > sizeof(text))
                        __builtin_trap();
            }
            if (URez::LoadItem(rez, type, id) != h) __builtin_trap();
            URez::ReleaseItem(rez, type, id);
            URez::ReleaseItem(rez, type, id);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SInput input{data, size};
    try
    {
        StRez guard{URez::New(InputRead, nullptr, InputSize, nullptr, nullptr, &input)};
        LoadEverything(guard.rez, size);
        UMemory::PurgeDiscardable();
        LoadEverything(guard.rez, size);
    }
    catch (const SError&)
    {
    }
    return 0;
}
