#include "client/core/UMyTrackerPrefs.h"

#include <algorithm>
#include <cstring>

#include "framework/runtime/BigEndian.h"
#include "framework/runtime/CByteReader.h"
#include "framework/runtime/SError.h"

namespace
{
constexpr uint32_t kSizeBase = 48;
constexpr uint32_t kRecordFixed = 9;

void PutRect(std::string& out, const SRect& r)
{
    for (int32_t v : {r.left, r.top, r.right, r.bottom})
        AppendBE16(out, uint16_t(int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX))));
}

uint32_t StringsLength(const STrackServerInfo& t)
{
    return uint32_t(t.Login[0]) + t.Pass[0] + t.Address[0] + t.Name[0] + t.Comments[0];
}

SRect ReadRect(CByteReader& in)
{
    SRect r;
    r.left = int16_t(in.Read16());
    r.top = int16_t(in.Read16());
    r.right = int16_t(in.Read16());
    r.bottom = int16_t(in.Read16());
    return r;
}

// A string that does not fit is empty and consumes nothing; one longer than a kept string is cut.
void ReadString(CByteReader& in, uint8_t* out)
{
    out[0] = 0;
    if (!in.HasString8()) return;
    const uint8_t n = in.Read8();
    const uint8_t kept = std::min(n, UMyTrackerPrefs::kMaxReadString);
    out[0] = kept;
    std::memcpy(out + 1, in.ReadBytes(n), kept);
}
} // namespace

std::string UMyTrackerPrefs::Write(const SMyTrackerBlock& block)
{
    std::string out;
    uint32_t sizeValue = kSizeBase;
    for (const STrackServerInfo& t : block.trackers)
        sizeValue += kRecordFixed + StringsLength(t);
    AppendBE32(out, kVersion);
    PutRect(out, block.trackersWinBounds);
    PutRect(out, block.serversWinBounds);
    out.push_back(char(block.trackersWinVisible ? 1 : 0));
    out.push_back(char(block.serversWinVisible ? 1 : 0));
    AppendBE32(out, sizeValue);
    AppendBE32(out, uint32_t(block.trackers.size()));
    for (const STrackServerInfo& t : block.trackers)
    {
        for (const uint8_t* s : {t.Login, t.Pass, t.Address, t.Name, t.Comments})
            out.append(reinterpret_cast<const char*>(s), size_t(s[0]) + 1);
        AppendBE16(out, uint16_t(t.hasAccount));
        AppendBE16(out, uint16_t(t.useServer));
    }
    return out;
}

uint32_t UMyTrackerPrefs::Read(const void* data, uint32_t size, SMyTrackerBlock& out)
{
    if (!data || size < kHeadSize) Fail(kErrTypeGeneral, 1);
    CByteReader in(data, size);
    if (in.Read32() != kVersion) Fail(kErrTypeGeneral, 1);
    SMyTrackerBlock block;
    block.trackersWinBounds = ReadRect(in);
    block.serversWinBounds = ReadRect(in);
    block.trackersWinVisible = in.Read8() != 0;
    block.serversWinVisible = in.Read8() != 0;
    in.Read32(); // the size value says nothing the records do not
    const uint32_t count = in.Read32();
    uint32_t sizeValue = kSizeBase;
    // The count is not trusted: every record takes at least one byte.
    for (uint32_t i = 0; i < count && in.Left() > 0; ++i)
    {
        STrackServerInfo t;
        for (uint8_t* s : {t.Login, t.Pass, t.Address, t.Name, t.Comments})
            ReadString(in, s);
        // A block that ends inside the flags keeps the tracker, unticked rather than lost.
        if (in.Left() >= 4)
        {
            t.hasAccount = int16_t(in.Read16());
            t.useServer = int16_t(in.Read16());
        }
        else
            in.Skip(in.Left());
        sizeValue += kRecordFixed + StringsLength(t);
        block.trackers.push_back(t);
    }
    out = std::move(block);
    return sizeValue;
}
