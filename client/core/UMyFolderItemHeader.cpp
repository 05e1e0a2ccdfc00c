#include "client/core/UMyFolderItemHeader.h"

#include <algorithm>

#include "framework/net/UServerPath.h"
#include "framework/runtime/CByteReader.h"

bool UMyFolderItemHeader::Parse(const uint8_t* header, uint32_t size, SMyFolderItem& outItem)
{
    outItem = SMyFolderItem{false, nullptr, 0};
    if (!header || size < kMinSize) return false;
    CByteReader in(header, size);
    const uint16_t type = in.Read16();
    const uint32_t pathSize = in.Left();
    const uint8_t* path = in.ReadBytes(pathSize);
    // The root (an empty record) is the downloaded folder itself, never an item in it.
    if (!UServerPath::IsWellFormed(path, pathSize)) return false;
    outItem.isFolder = (type & 1) != 0;
    outItem.path = path;
    outItem.pathSize = pathSize;
    return true;
}

uint32_t CMyFolderItemReader::Wanted() const
{
    switch (mState)
    {
    case kWantHeaderSize:
    case kWantHeader:
    case kWantFileSize:
        return mNeed - uint32_t(mBytes.size());
    default:
        return 0;
    }
}

uint32_t CMyFolderItemReader::Take(const uint8_t* bytes, uint32_t size)
{
    const uint32_t n = std::min(Wanted(), size);
    if (n == 0 || !bytes) return 0;
    mBytes.insert(mBytes.end(), bytes, bytes + n);
    if (mBytes.size() < mNeed) return n;
    switch (mState)
    {
    case kWantHeaderSize:
        mNeed = CByteReader(mBytes.data(), 2).Read16();
        mBytes.clear();
        // Checked before anything more is read: a header too small to hold an item is no header.
        mState = mNeed < UMyFolderItemHeader::kMinSize ? kBad : kWantHeader;
        break;
    case kWantHeader:
        mState =
            UMyFolderItemHeader::Parse(mBytes.data(), uint32_t(mBytes.size()), mItem) ? kHaveHeader : kBad;
        break;
    case kWantFileSize:
        mFileSize = CByteReader(mBytes.data(), 4).Read32();
        mBytes.clear();
        mState = kHaveFileSize;
        break;
    default:
        break;
    }
    return n;
}

void CMyFolderItemReader::ExpectFileSize()
{
    mItem = SMyFolderItem{false, nullptr, 0};
    mBytes.clear();
    mNeed = 4;
    mState = kWantFileSize;
}

void CMyFolderItemReader::NextItem()
{
    mItem = SMyFolderItem{false, nullptr, 0};
    mBytes.clear();
    mNeed = 2;
    mState = kWantHeaderSize;
}
