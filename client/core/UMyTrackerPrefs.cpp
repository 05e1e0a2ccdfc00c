#include "client/core/UMyTrackerPrefs.h"

#include <algorithm>
#include <cstring>

#include "framework/runtime/SError.h"

namespace
{
constexpr uint32_t kSizeBase = 48;
constexpr uint32_t kRecordFixed = 9;

void Put16(std::string& out, uint16_t v)
{
    out.push_back(char(v >> 8));
    out.push_back(char(v));
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, uint16_t(v >> 16));
    Put16(out, uint16_t(v));
}

void PutRect(std::string& out, const SRect& r)
{
    for (int32_t v : {r.left, r.top, r.right, r.bottom})
        Put16(out, uint16_t(int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX))));
}

uint32_t StringsLength(const STrackServerInfo& t)
{
    return uint32_t(t.Login[0]) + t.Pass[0] + t.Address[0] + t.Name[0] + t.Comments[0];
}

class CBlockReader
{
public:
    CBlockReader(const uint8_t* data, uint32_t size) : mData(data), mSize(size) {}
    uint32_t Left() const { return mSize - mAt; }
    uint16_t Get16()
    {
        const uint16_t v = uint16_t((mData[mAt] << 8) | mData[mAt + 1]);
        mAt += 2;
        return v;
    }
    uint32_t Get32()
    {
        const uint32_t high = Get16();
        return (high << 16) | Get16();
    }
    SRect GetRect()
    {
        SRect r;
        r.left = int16_t(Get16());
        r.top = int16_t(Get16());
        r.right = int16_t(Get16());
        r.bottom = int16_t(Get16());
        return r;
    }
    uint8_t GetByte() { return mData[mAt++]; }
    void SkipRest() { mAt = mSize; }
    // A string that does not fit is empty and consumes nothing.
    void GetString(uint8_t* out)
    {
        out[0] = 0;
        if (Left() < 1 || Left() - 1 < mData[mAt]) return;
        const uint8_t n = mData[mAt];
        const uint8_t kept = std::min(n, UMyTrackerPrefs::kMaxReadString);
        out[0] = kept;
        std::memcpy(out + 1, mData + mAt + 1, kept);
        mAt += 1u + n;
    }

private:
    const uint8_t* mData;
    uint32_t mSize;
    uint32_t mAt = 0;
};
} // namespace

std::string UMyTrackerPrefs::Write(const SMyTrackerBlock& block)
{
    std::string out;
    uint32_t sizeValue = kSizeBase;
    for (const STrackServerInfo& t : block.trackers)
        sizeValue += kRecordFixed + StringsLength(t);
    Put32(out, kVersion);
    PutRect(out, block.trackersWinBounds);
    PutRect(out, block.serversWinBounds);
    out.push_back(char(block.trackersWinVisible ? 1 : 0));
    out.push_back(char(block.serversWinVisible ? 1 : 0));
    Put32(out, sizeValue);
    Put32(out, uint32_t(block.trackers.size()));
    for (const STrackServerInfo& t : block.trackers)
    {
        for (const uint8_t* s : {t.Login, t.Pass, t.Address, t.Name, t.Comments})
            out.append(reinterpret_cast<const char*>(s), size_t(s[0]) + 1);
        Put16(out, uint16_t(t.hasAccount));
        Put16(out, uint16_t(t.useServer));
    }
    return out;
}

uint32_t UMyTrackerPrefs::Read(const void* data, uint32_t size, SMyTrackerBlock& out)
{
    if (!data || size < kHeadSize) Fail(kErrTypeGeneral, 1);
    CBlockReader in(static_cast<const uint8_t*>(data), size);
    if (in.Get32() != kVersion) Fail(kErrTypeGeneral, 1);
    SMyTrackerBlock block;
    block.trackersWinBounds = in.GetRect();
    block.serversWinBounds = in.GetRect();
    block.trackersWinVisible = in.GetByte() != 0;
    block.serversWinVisible = in.GetByte() != 0;
    in.Get32(); // the size value says nothing the records do not
    const uint32_t count = in.Get32();
    uint32_t sizeValue = kSizeBase;
    // The count is not trusted: every record takes at least one byte.
    for (uint32_t i = 0; i < count && in.Left() > 0; ++i)
    {
        STrackServerInfo t;
        for (uint8_t* s : {t.Login, t.Pass, t.Address, t.Name, t.Comments})
            in.GetString(s);
        // A block that ends inside the flags keeps the tracker, unticked rather than lost.
        if (in.Left() >= 4)
        {
            t.hasAccount = int16_t(in.Get16());
            t.useServer = int16_t(in.Get16());
        }
        else
            in.SkipRest();
        sizeValue += kRecordFixed + StringsLength(t);
        block.trackers.push_back(t);
    }
    out = std::move(block);
    return sizeValue;
}
