#include "client/core/UMyBookmarkFile.h"

#include <algorithm>
#include <cstring>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"

const uint8_t UMyBookmarkFile::kFolderName[] = "\x07"
                                               "Servers";
const uint8_t UMyBookmarkFile::kExtension[] = "\x04.qbm";

namespace
{
constexpr char kBookmarkMagic[4] = {'Q', 'V', 's', 'c'};
constexpr uint16_t kBookmarkVersion = 1;
constexpr uint32_t kHeadSize = 6;

// Each text: a 16-bit big-endian length, then its field.
struct STextField
{
    uint32_t offset;
    uint32_t fieldSize;
};
constexpr STextField kLogin = {134, 32};
constexpr STextField kPassword = {168, 32};
constexpr STextField kAddress = {202, 256};

void PutBookmarkText(uint8_t* bytes, const STextField& f, const uint8_t* text)
{
    const auto chars = UPString::Bytes(text);
    const uint32_t n = std::min<uint32_t>(uint32_t(chars.size()), f.fieldSize);
    bytes[f.offset] = uint8_t(n >> 8);
    bytes[f.offset + 1] = uint8_t(n);
    if (n) std::memcpy(bytes + f.offset + 2, chars.data(), n);
}

// outText holds capacity bytes. The length is cut to the field and to what the text can hold, so that a
// length written by hand can neither read into the next field nor past the caller's buffer.
void GetBookmarkText(const uint8_t* bytes, const STextField& f, uint8_t* outText, uint32_t capacity)
{
    const uint32_t n = (uint32_t(bytes[f.offset]) << 8) | bytes[f.offset + 1];
    UPString::SetBytes(outText, capacity, bytes + f.offset + 2, std::min(n, f.fieldSize));
}

bool HasExtension(const uint8_t* name)
{
    const uint32_t n = name[0], ext = UMyBookmarkFile::kExtension[0];
    return n > ext && UText::Equal(name + 1 + n - ext, ext, UMyBookmarkFile::kExtension + 1, ext);
}

bool TitleBefore(const SMyBookmarkItem& a, const SMyBookmarkItem& b)
{
    if (int order = UPString::CompareIgnoringCase(a.title, b.title)) return order < 0;
    return UPString::Compare(a.fileName, b.fileName) < 0;
}
} // namespace

void UMyBookmarkFile::Encode(const uint8_t* address, const uint8_t* login, const uint8_t* password,
                             uint8_t* outBytes)
{
    std::memset(outBytes, 0, kSize);
    std::memcpy(outBytes, kBookmarkMagic, sizeof(kBookmarkMagic));
    outBytes[4] = uint8_t(kBookmarkVersion >> 8);
    outBytes[5] = uint8_t(kBookmarkVersion);
    PutBookmarkText(outBytes, kLogin, login);
    PutBookmarkText(outBytes, kPassword, password);
    PutBookmarkText(outBytes, kAddress, address);
}

void UMyBookmarkFile::Decode(const void* bytes, uint32_t size, SMyBookmark& outBookmark)
{
    if (!bytes || size < kHeadSize) Fail(kErrTypeGeneral, 9);
    const auto* in = static_cast<const uint8_t*>(bytes);
    if (std::memcmp(in, kBookmarkMagic, sizeof(kBookmarkMagic)) != 0) Fail(kErrTypeGeneral, 8);
    if (((uint32_t(in[4]) << 8) | in[5]) != kBookmarkVersion) Fail(kErrTypeGeneral, 7);
    if (size < kSize) Fail(kErrTypeGeneral, 9);
    std::memset(&outBookmark, 0, sizeof(outBookmark));
    GetBookmarkText(in, kAddress, outBookmark.address, sizeof(outBookmark.address));
    GetBookmarkText(in, kLogin, outBookmark.login, sizeof(outBookmark.login));
    GetBookmarkText(in, kPassword, outBookmark.password, sizeof(outBookmark.password));
}

void UMyBookmarkFile::Save(TFileSysRefObj* file, const uint8_t* address, const uint8_t* login,
                           const uint8_t* password)
{
    uint8_t bytes[kSize];
    Encode(address, login, password, bytes);
    UFileSys::DeleteFile(file);
    UFileSys::CreateFile(file, FourCC("QVbm"), FourCC("QVLC"));
    StFileOpener open(file, kFSPermReadWrite);
    UFileSys::Write(file, 0, bytes, kSize);
}

void UMyBookmarkFile::Read(TFileSysRefObj* file, SMyBookmark& outBookmark)
{
    uint8_t bytes[kSize];
    StFileOpener open(file, kFSPermRead);
    const uint32_t got = UFileSys::Read(file, 0, bytes, kSize);
    Decode(bytes, got, outBookmark);
}

TFileSysRefObj* UMyBookmarkFile::NewFolderRef()
{
    return UFileSys::New(kFSProgramFolder, nullptr, kFolderName);
}

bool UMyBookmarkFile::List(TFileSysRefObj* folder, std::vector<SMyBookmarkItem>& outItems)
{
    outItems.clear();
    THdlObj* listing = nullptr;
    try
    {
        listing = UFileSys::GetListing(folder);
    }
    catch (const SError&)
    {
        return false;
    }
    StHandle owner(listing);
    uint32_t position = 0, type = 0, creator = 0;
    SMyBookmarkItem item;
    while (UFileSys::GetListNext(listing, position, item.fileName, &type, &creator, nullptr, nullptr, nullptr,
                                 nullptr))
    {
        // A hidden file is no bookmark the user put there, and its name would not open as listed.
        if (item.fileName[0] == 0 || item.fileName[1] == '.') continue;
        if (type != FourCC("QVbm") || creator != FourCC("QVLC")) continue;
        UPString::Copy(item.title, item.fileName);
        if (HasExtension(item.fileName)) item.title[0] = uint8_t(item.fileName[0] - kExtension[0]);
        outItems.push_back(item);
    }
    // A menu in the order the disk happens to keep its entries would be hard to search by eye.
    std::sort(outItems.begin(), outItems.end(), TitleBefore);
    return true;
}
