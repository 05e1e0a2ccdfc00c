#include "client/core/UMyFolderItemHeader.h"

#include <algorithm>

#include "framework/net/UServerPath.h"

bool UMyFolderItemHeader::Parse(const uint8_t* header, uint32_t size, SMyFolderItem& outItem)
{
    outItem = SMyFolderItem{false, nullptr, 0};
    if (!header || size < kMinSize) return false;
    const uint8_t* path = header + 2;
    const uint32_t pathSize = size - 2;
    // The root (an empty record) is the downloaded folder itself, never an item in it.
    if (!UServerPath::IsWellFormed(path, pathSize)) return false;
    outItem.isFolder = (header[1] & 1) != 0;
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
        mNeed = uint32_t(mBytes[0]) << 8 | mBytes[1];
        mBytes.clear();
        // Checked before anything more is read: a header too small to hold an item is no header.
        mState = mNeed < UMyFolderItemHeader::kMinSize ? kBad : kWantHeader;
        break;
    case kWantHeader:
        mState =
            UMyFolderItemHeader::Parse(mBytes.data(), uint32_t(mBytes.size()), mItem) ? kHaveHeader : kBad;
        break;
    case kWantFileSize:
        mFileSize =
            uint32_t(mBytes[0]) << 24 | uint32_t(mBytes[1]) << 16 | uint32_t(mBytes[2]) << 8 | mBytes[3];
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
