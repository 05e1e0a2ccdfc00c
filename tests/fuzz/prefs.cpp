// Preferences files as the disk holds them: decoded alone, then read from a file. A block that decodes
// must encode to bytes that decode to the same block.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "client/core/UMyPrefsFile.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"

namespace
{
std::string gFolder;

void MakeTempFolder()
{
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && dir[0] == '/' ? dir : "/tmp") + "/quenvol-fuzz-prefs-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    gFolder = pattern;
    std::atexit(
        []
        {
            unlink((gFolder + "/Quenvol Prefs").c_str());
            rmdir(gFolder.c_str());
        });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (gFolder.empty()) MakeTempFolder();
    const uint32_t size32 = size > UINT32_MAX ? UINT32_MAX : uint32_t(size);
    SMyPrefs prefs;
    if (UMyPrefsFile::Decode(data, size32, prefs))
    {
        uint8_t once[UMyPrefsFile::kFixedSize], twice[UMyPrefsFile::kFixedSize];
        UMyPrefsFile::Encode(prefs, once);
        SMyPrefs again;
        if (!UMyPrefsFile::Decode(once, sizeof(once), again)) std::abort();
        UMyPrefsFile::Encode(again, twice);
        if (std::memcmp(once, twice, sizeof(once)) != 0) std::abort();
        const SMySettings& s = prefs.settings;
        for (const uint8_t* text : {s.userName, s.firewall, s.automaticResponseText})
            if (text[0] >= 128) std::abort();
        if (s.userName[0] > 31) std::abort();
    }

    const std::string path = gFolder + "/Quenvol Prefs";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    TFileSysRefObj* folder = UFileSys::NewFromNativePath(gFolder.data(), uint32_t(gFolder.size()));
    // The tracker block's reader meets whatever follows the fixed block.
    UMyPrefsFile::Read(folder, prefs,
                       [](TFileSysRefObj* file, uint32_t offset)
                       {
                           uint8_t rest[64];
                           UFileSys::Read(file, offset, rest, sizeof(rest));
                           if (rest[0] == 0xFF) Fail(kErrTypeGeneral, 1);
                       });
    UFileSys::Dispose(folder);
    return 0;
}
