#include "client/files/QuenvolFileTypeToIcon.h"

#include "framework/runtime/FourCC.h"

int16_t QuenvolFileTypeToIcon(uint32_t typeCode)
{
    struct SEntry
    {
        uint32_t type;
        int16_t icon;
    };
    static constexpr SEntry kTable[] = {
        {FourCC("fldr"), 401}, {FourCC("QVft"), 402}, {FourCC("SIT!"), 403}, {FourCC("SITD"), 403},
        {FourCC("TEXT"), 404}, {FourCC("ttro"), 405}, {FourCC("8BPS"), 406}, {FourCC("GIFf"), 406},
        {FourCC("JPEG"), 406}, {FourCC("PICT"), 406}, {FourCC("APPL"), 407}, {FourCC("DEXE"), 407},
        {FourCC("QVbm"), 408}, {FourCC("QVss"), 408}, {FourCC("QVtb"), 408}, {FourCC("Seg1"), 409},
        {FourCC("Seg2"), 409}, {FourCC("Seg3"), 409}, {FourCC("SegN"), 409}, {FourCC("alis"), 422},
        {FourCC("dImg"), 423}, {FourCC("rohd"), 423}, {FourCC("MP3 "), 424}, {FourCC("Mp3 "), 424},
        {FourCC("SwaT"), 424}, {FourCC("mp3!"), 424}, {FourCC("MooV"), 425}, {FourCC("ZIP "), 426},
    };
    for (const SEntry& e : kTable)
        if (e.type == typeCode) return e.icon;
    return kIconFileGeneric;
}
