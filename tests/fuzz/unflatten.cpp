// Feeds arbitrary bytes to the unflattener in pieces whose sizes the input chooses, writing into a
// temporary file that is emptied before each run.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"

namespace
{
std::string gPath;

void MakeTempFile()
{
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && dir[0] == '/' ? dir : "/tmp") + "/quenvol-fuzz-unflatten-XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    gPath = pattern;
    std::atexit([] { unlink(gPath.c_str()); });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (gPath.empty()) MakeTempFile();
    if (truncate(gPath.c_str(), 0) != 0) std::abort();
    TFileSysRefObj* ref = UFileSys::NewFromNativePath(gPath.data(), uint32_t(gPath.size()));
    try
    {
        // The first byte picks the piece size, so splits at every position get explored.
        const size_t piece = size ? size_t(data[0]) + 1 : 1;
        if (size) ++data, --size;
        UFileSys::StartUnflatten(ref);
        for (size_t at = 0; at < size; at += piece)
        {
            const size_t n = size - at < piece ? size - at : piece;
            UFileSys::ProcessUnflatten(ref, data + at, uint32_t(n));
        }
        UFileSys::ProcessUnflatten(ref, nullptr, 0);
    }
    catch (const SError&)
    {
    }
    UFileSys::Dispose(ref);
    return 0;
}
