#include "framework/files/UFileSys.h"

#include <algorithm>

#include "framework/files/StFileSysRef.h"
#include "framework/runtime/SError.h"

namespace
{
constexpr char kTempSuffix[] = ".new";
constexpr uint8_t kTempSuffixSize = sizeof(kTempSuffix) - 1;

void DeleteQuietly(TFileSysRefObj* ref)
{
    try
    {
        UFileSys::DeleteFile(ref);
    }
    catch (const SError&)
    {
        // The write has already failed; a leftover file is only untidy and goes with the next write.
    }
}
} // namespace

void UFileSys::SaveSafely(TFileSysRefObj* folder, const uint8_t* name, uint32_t type, uint32_t creator,
                          const std::function<void(TFileSysRefObj* file)>& write)
{
    RequireObject(folder);
    RequireObject(name);
    // The temporary name must be a name of its own, not the file's cut to fit.
    if (name[0] == 0 || name[0] > 255 - kTempSuffixSize) Fail(kErrTypeFileSys, 119);
    uint8_t tempName[256];
    tempName[0] = uint8_t(name[0] + kTempSuffixSize);
    std::copy(name + 1, name + 1 + name[0], tempName + 1);
    std::copy(kTempSuffix, kTempSuffix + kTempSuffixSize, tempName + 1 + name[0]);

    StFileSysRef target(UFileSys::New(folder, nullptr, name));
    StFileSysRef temp(UFileSys::New(folder, nullptr, tempName));
    DeleteFile(temp.Get());
    CreateFile(temp.Get(), type, creator);
    try
    {
        {
            StFileOpener open(temp.Get(), kFSPermReadWrite);
            write(temp.Get());
            Flush(temp.Get());
        }
        Replace(temp.Get(), target.Get());
    }
    catch (...)
    {
        DeleteQuietly(temp.Get());
        throw;
    }
}
