// The mark of a partial download: the name of the item the file is becoming, kept with the file by the
// file system. A file that only happens to be named like a partial file (a server's own "x.qpf") has no
// mark and is never resumed as "x".
#include <cerrno>
#include <string>

#include "framework/files/FileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

using namespace filesys;

namespace
{
const std::string kMarkName = "quenvol.partial";

// The reference's open file, or the file opened for reading until the scope ends.
class StMarkFile
{
public:
    explicit StMarkFile(TFileSysRefObj* ref) : mFD(ref->fd), mOwned(ref->fd < 0)
    {
        if (mOwned) mFD = OpenItem(ref, platform::kOpenRead);
    }
    ~StMarkFile()
    {
        if (mOwned) platform::CloseFile(mFD);
    }
    StMarkFile(const StMarkFile&) = delete;
    StMarkFile& operator=(const StMarkFile&) = delete;
    int FD() const { return mFD; }

private:
    int mFD;
    bool mOwned;
};
} // namespace

void UFileSys::SetPartialMark(TFileSysRefObj* ref, const uint8_t* forName)
{
    RequireObject(ref);
    RequireObject(forName);
    StMarkFile file(ref);
    const int err = platform::SetFileAttribute(file.FD(), kMarkName, NameToNative(forName + 1, forName[0]));
    // Where the file system keeps no marks the name alone tells a partial file, as it always did.
    if (err && err != ENOTSUP) FailOSError(err);
}

UFileSys::EPartialMark UFileSys::GetPartialMark(TFileSysRefObj* ref, uint8_t* outForName)
{
    RequireObject(ref);
    if (outForName) outForName[0] = 0;
    StMarkFile file(ref);
    std::string value;
    const int err = platform::GetFileAttribute(file.FD(), kMarkName, value);
    if (err == ENOTSUP) return kPartialUnknown;
    if (err == ENODATA) return kPartialNone;
    if (err) FailOSError(err);
    const std::string name = NameFromNative(value);
    if (outForName) UPString::SetBytes(outForName, 256, name.data(), uint32_t(name.size()));
    return kPartialMarked;
}

void UFileSys::ClearPartialMark(TFileSysRefObj* ref)
{
    RequireObject(ref);
    StMarkFile file(ref);
    const int err = platform::RemoveFileAttribute(file.FD(), kMarkName);
    if (err && err != ENOTSUP && err != ENODATA) FailOSError(err);
}
