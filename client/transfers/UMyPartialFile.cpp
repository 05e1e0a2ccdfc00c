#include "client/transfers/UMyPartialFile.h"

#include <cstring>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"

namespace
{
constexpr char kExtension[] = ".qpf";
constexpr uint32_t kExtensionSize = sizeof(kExtension) - 1;
// "-2" to "-9" before the extension, when the plain name is taken by someone else's file.
constexpr uint32_t kMaxPlaces = 9;
constexpr uint32_t kPlaceSuffixSize = 2;

void PlaceName(const uint8_t* finalName, uint32_t place, uint8_t* outName)
{
    UPString::Copy(outName, 256, finalName);
    if (place > 1) UFileSys::FitFileName(outName, kPlaceSuffixSize + kExtensionSize);
    uint8_t* end = outName + 1 + outName[0];
    if (place > 1)
    {
        *end++ = '-';
        *end++ = uint8_t('0' + place);
    }
    std::memcpy(end, kExtension, kExtensionSize);
    outName[0] = uint8_t(end + kExtensionSize - outName - 1);
}

// True when the file at `ref` is the partial file of `finalName` that this client made.
bool IsPartialOf(TFileSysRefObj* ref, const uint8_t* finalName, uint32_t place)
{
    uint8_t markedFor[256];
    try
    {
        switch (UFileSys::GetPartialMark(ref, markedFor))
        {
        case UFileSys::kPartialMarked:
            return UPString::Equal(markedFor, finalName);
        case UFileSys::kPartialUnknown:
            // No marks here: the name says it, as it always did, and only the plain name is used.
            return place == 1;
        case UFileSys::kPartialNone:
            return false;
        }
    }
    catch (const SError&)
    {
        // A file that cannot even be looked at is nobody's partial file that could be resumed.
    }
    return false;
}
} // namespace

bool UMyPartialFile::FitFinalName(uint8_t* name)
{
    return UFileSys::FitFileName(name, kExtensionSize);
}

bool UMyPartialFile::Find(TFileSysRefObj* finalRef, TFileSysRefObj*& outRef, bool nothingThere)
{
    outRef = nullptr;
    uint8_t finalName[256];
    UFileSys::GetName(finalRef, finalName);
    StFileSysRef candidate(UFileSys::Clone(finalRef));
    for (uint32_t place = 1; place <= kMaxPlaces; ++place)
    {
        uint8_t name[256];
        PlaceName(finalName, place, name);
        UFileSys::SetRefName(candidate.Get(), name);
        bool isFolder = false;
        const bool exists = !nothingThere && UFileSys::Exists(candidate.Get(), &isFolder);
        if (exists && (isFolder || !IsPartialOf(candidate.Get(), finalName, place))) continue;
        outRef = candidate.Release();
        return exists;
    }
    Fail(kErrTypeFileSys, 115);
}

bool UMyPartialFile::Create(TFileSysRefObj* ref, const uint8_t* finalName, bool wholeInHand)
{
    if (wholeInHand)
    {
        uint8_t partialName[256];
        UFileSys::GetName(ref, partialName);
        UFileSys::SetRefName(ref, finalName);
        if (UFileSys::StartUnflattenUnnamed(ref)) return true;
        UFileSys::SetRefName(ref, partialName);
    }
    // The mark goes onto the file the stream has open: no second open for it.
    UFileSys::CreateAndStartUnflatten(ref);
    try
    {
        UFileSys::SetPartialMark(ref, finalName);
    }
    catch (...)
    {
        UFileSys::StopUnflatten(ref);
        UFileSys::DeleteFile(ref);
        throw;
    }
    return false;
}

void UMyPartialFile::GetFinalName(TFileSysRefObj* ref, uint8_t* outName)
{
    if (UFileSys::GetPartialMark(ref, outName) == UFileSys::kPartialMarked && outName[0]) return;
    UFileSys::GetName(ref, outName);
    CutExtension(outName);
}

void UMyPartialFile::Complete(TFileSysRefObj* ref, const uint8_t* finalName, bool unnamed)
{
    if (unnamed)
    {
        UFileSys::NameUnflattened(ref);
        return;
    }
    UFileSys::ClearPartialMark(ref);
    UFileSys::StopUnflatten(ref);
    UFileSys::SetName(ref, finalName);
}

bool UMyPartialFile::CutExtension(uint8_t* name)
{
    const uint8_t n = name[0];
    if (n <= kExtensionSize) return false;
    const uint8_t* tail = name + 1 + n - kExtensionSize;
    for (uint32_t i = 0; i < kExtensionSize; ++i)
        if (UText::ToLower(tail[i]) != uint8_t(kExtension[i])) return false;
    name[0] = uint8_t(n - kExtensionSize);
    return true;
}

void UMyPartialFile::MakeLocalName(const uint8_t* serverName, uint8_t* outName)
{
    UPString::Copy(outName, 256, serverName);
    outName[0] = uint8_t(UFileSys::ValidateFileName(outName + 1, outName[0]));
    FitFinalName(outName);
}
