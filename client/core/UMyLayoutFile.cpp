#include "client/core/UMyLayoutFile.h"

#include <cstring>
#include <utility>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "platform/Folders.h"

const char UMyLayoutFile::kFileName[] = "layout.state";

namespace
{
const uint8_t kLayoutFileNameP[] = "\x0c"
                                   "layout.state";
constexpr char kLayoutMagic[4] = {'Q', 'V', 'L', 'Y'};
constexpr uint16_t kLayoutVersion = 1;
constexpr uint32_t kLayoutHeaderSize = sizeof(kLayoutMagic) + 2;

void PutBlock(std::string& out, const std::string& block)
{
    const uint32_t n = uint32_t(block.size());
    const char length[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    out.append(length, 4);
    out += block;
}

// The block at `at`, which moves past it; false when the bytes end first or it is too long.
bool TakeBlock(const uint8_t* bytes, uint32_t size, uint32_t& at, std::string& outBlock)
{
    if (size - at < 4) return false;
    const uint32_t n = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                       uint32_t(bytes[at + 2]) << 8 | uint32_t(bytes[at + 3]);
    at += 4;
    if (n > UMyLayoutFile::kMaxBlock || n > size - at) return false;
    outBlock.assign(reinterpret_cast<const char*>(bytes + at), n);
    at += n;
    return true;
}

TFileSysRefObj* LayoutFolder()
{
    std::string path;
    if (int err = platform::UserConfigFolder(path)) FailOSError(err);
    return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
}
} // namespace

std::string UMyLayoutFile::Format(const SMyWindowLayout& layout)
{
    std::string out(kLayoutMagic, sizeof(kLayoutMagic));
    out += char(kLayoutVersion >> 8);
    out += char(kLayoutVersion & 0xFF);
    PutBlock(out, layout.geometry.substr(0, kMaxBlock));
    PutBlock(out, layout.state.substr(0, kMaxBlock));
    return out;
}

bool UMyLayoutFile::Parse(const void* data, uint32_t size, SMyWindowLayout& outLayout)
{
    outLayout = SMyWindowLayout{};
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size < kLayoutHeaderSize || std::memcmp(bytes, kLayoutMagic, sizeof(kLayoutMagic)) != 0)
        return false;
    if ((uint16_t(bytes[4]) << 8 | bytes[5]) != kLayoutVersion) return false;
    uint32_t at = kLayoutHeaderSize;
    SMyWindowLayout layout;
    if (!TakeBlock(bytes, size, at, layout.geometry) || !TakeBlock(bytes, size, at, layout.state) ||
        at != size)
        return false;
    outLayout = std::move(layout);
    return true;
}

bool UMyLayoutFile::Read(SMyWindowLayout& outLayout)
{
    outLayout = SMyWindowLayout{};
    try
    {
        StFileSysRef folder(LayoutFolder());
        StFileSysRef file(UFileSys::New(folder.Get(), nullptr, kLayoutFileNameP));
        StFileOpener open(file.Get(), kFSPermRead);
        constexpr uint32_t kMaxFile = kLayoutHeaderSize + 2 * (4 + kMaxBlock);
        std::string bytes(kMaxFile + 1, '\0');
        const uint32_t got = UFileSys::Read(file.Get(), 0, bytes.data(), kMaxFile + 1);
        return got <= kMaxFile && Parse(bytes.data(), got, outLayout);
    }
    catch (const SError&)
    {
        return false;
    }
}

void UMyLayoutFile::Write(const SMyWindowLayout& layout)
{
    const std::string text = Format(layout);
    StFileSysRef folder(LayoutFolder());
    UFileSys::SaveSafely(folder.Get(), kLayoutFileNameP, FourCC("BINA"), FourCC("QVLC"),
                         [&](TFileSysRefObj* file)
                         { UFileSys::Write(file, 0, text.data(), uint32_t(text.size())); });
}
