// Type and creator codes of local files, which carry none of their own: they follow the name's extension.
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"

namespace
{
struct SExtensionCodes
{
    char extension[4];
    uint32_t type;
    uint32_t creator;
};

constexpr SExtensionCodes kExtensionCodes[] = {
    {"BMP", FourCC("BMP "), FourCC("GKON")}, {"C", FourCC("TEXT"), FourCC("CWIE")},
    {"CP", FourCC("TEXT"), FourCC("CWIE")},  {"CPP", FourCC("TEXT"), FourCC("CWIE")},
    {"H", FourCC("TEXT"), FourCC("CWIE")},   {"HPP", FourCC("TEXT"), FourCC("CWIE")},
    {"DAT", FourCC("BINA"), FourCC("hDmp")}, {"DOC", FourCC("W6BN"), FourCC("MSWD")},
    {"EXE", FourCC("DEXE"), FourCC("CWIE")}, {"GIF", FourCC("GIFf"), FourCC("GKON")},
    {"QBM", FourCC("QVbm"), FourCC("QVLC")}, {"QPF", FourCC("QVft"), FourCC("QVLC")},
    {"JPG", FourCC("JPEG"), FourCC("GKON")}, {"MOV", FourCC("MooV"), FourCC("TVOD")},
    {"MP3", FourCC("MP3 "), FourCC("MAmp")}, {"MPG", FourCC("MPG "), FourCC("TVOD")},
    {"SIT", FourCC("SITD"), FourCC("SIT!")}, {"TIF", FourCC("TIFF"), FourCC("GKON")},
    {"TXT", FourCC("TEXT"), FourCC("ttxt")}, {"WAV", FourCC("WAVE"), FourCC("TVOD")},
    {"ZIP", FourCC("ZIP "), FourCC("ZIP ")},
};
} // namespace

void UFileSys::GetTypeAndCreatorFromName(const void* name, uint32_t length, uint32_t& outType,
                                         uint32_t& outCreator)
{
    outType = FourCC("BINA");
    outCreator = FourCC("dosa");
    if (!name) return;
    const auto* bytes = static_cast<const uint8_t*>(name);
    uint32_t start = 0;
    for (uint32_t i = 0; i < length; ++i)
        if (bytes[i] == '/') start = i + 1;
    uint32_t dot = length;
    for (uint32_t i = length; i > start; --i)
        if (bytes[i - 1] == '.')
        {
            dot = i - 1;
            break;
        }
    const uint32_t extLength = dot < length ? length - dot - 1 : 0;
    if (extLength < 1 || extLength > 3) return;
    char ext[4] = {};
    for (uint32_t i = 0; i < extLength; ++i)
    {
        uint8_t c = bytes[dot + 1 + i];
        ext[i] = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    for (const SExtensionCodes& row : kExtensionCodes)
    {
        bool same = true;
        for (uint32_t i = 0; i < 4 && same; ++i)
            same = row.extension[i] == ext[i];
        if (same)
        {
            outType = row.type;
            outCreator = row.creator;
            return;
        }
    }
}
