// Resume records as a peer sends them: parsed alone, and applied to a small file being flattened.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "framework/files/FlattenFormat.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"

namespace
{
std::string gPath;

void MakeTempFile()
{
    const char* dir = std::getenv("TMPDIR");
    std::string pattern =
        std::string(dir && dir[0] == '/' ? dir : "/tmp") + "/quenvol-fuzz-resume-XXXXXX.txt";
    int fd = mkstemps(pattern.data(), 4);
    if (fd < 0) std::abort();
    if (write(fd, "0123456789abcdef", 16) != 16) std::abort();
    close(fd);
    gPath = pattern;
    std::atexit([] { unlink(gPath.c_str()); });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (gPath.empty()) MakeTempFile();
    const uint32_t size32 = size > UINT32_MAX ? UINT32_MAX : uint32_t(size);
    try
    {
        ReadResumeRecord(data, size32);
    }
    catch (const SError&)
    {
    }
    TFileSysRefObj* ref = UFileSys::NewFromNativePath(gPath.data(), uint32_t(gPath.size()));
    try
    {
        UFileSys::ResumeFlatten(ref, data, size32);
        uint8_t buffer[64];
        const uint32_t total = UFileSys::GetFlattenSize(ref);
        uint32_t produced = 0;
        while (uint32_t n = UFileSys::ProcessFlatten(ref, buffer, sizeof(buffer)))
            produced += n;
        if (produced != total) std::abort();
    }
    catch (const SError&)
    {
    }
    UFileSys::Dispose(ref);
    return 0;
}
