// The tracker stream fed hostile bytes in hostile cuts, closing at the end; each server list's records
// are parsed and searched as the client does.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "client/core/CMyTrackerStream.h"
#include "client/core/TrackerRecords.h"
#include "client/core/UMyTrackerWire.h"
#include "client/tracker/UMyTrackerSearch.h"
#include "framework/runtime/SError.h"

namespace
{
class CMemorySource final : public CMyTrackerSource
{
public:
    CMemorySource(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    void Release(size_t n) { mVisible = std::min(mSize, mVisible + n); }
    bool AllReleased() const { return mVisible == mSize; }
    uint32_t Waiting() override { return uint32_t(mVisible - mAt); }
    uint32_t Read(void* buffer, uint32_t maxSize) override
    {
        const size_t n = std::min<size_t>(maxSize, mVisible - mAt);
        std::memcpy(buffer, mData + mAt, n);
        mAt += n;
        return uint32_t(n);
    }
    bool Closed() override { return AllReleased(); }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
    size_t mVisible = 0;
};

void ParseServerList(const std::vector<uint8_t>& body, const std::string& search)
{
    if (body.size() < UMyTrackerWire::kListHeadSize) return;
    const uint8_t* records = body.data() + UMyTrackerWire::kListHeadSize;
    const uint32_t size = uint32_t(body.size() - UMyTrackerWire::kListHeadSize);
    uint32_t offset = 0;
    SMyTrackedServer s;
    while (UMyTrackerWire::ReadServerRecord(records, size, offset, s))
    {
        if (offset > size || s.name.size() > 255 || s.desc.size() > 255) __builtin_trap();
        STrackInfo info;
        info.Name = s.name;
        info.Desc = s.desc;
        info.SearchName = UMyTrackerSearch::ToLower(s.name);
        info.SearchDesc = UMyTrackerSearch::ToLower(s.desc);
        UMyTrackerSearch::ShowInList(search, info);
        if (UMyTrackerSearch::SplitWords(search).size() > UMyTrackerSearch::kMaxWords) __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // Byte 0: the size of each cut; byte 1: how many of the following bytes make the search text.
    const size_t cut = data[0] ? data[0] : 65536;
    const size_t searchSize = std::min<size_t>(data[1] % 32, size - 2);
    const std::string search(reinterpret_cast<const char*>(data + 2), searchSize);
    CMemorySource source(data + 2 + searchSize, size - 2 - searchSize);
    CMyTrackerStream stream;
    try
    {
        for (;;)
        {
            source.Release(cut);
            while (stream.Next(source))
            {
                if (stream.ReceivedSize() != stream.BodySize() || stream.Body().size() != stream.BodySize())
                    __builtin_trap();
                if (stream.MsgType() == UMyTrackerWire::kMsgServerList)
                    ParseServerList(stream.Body(), search);
            }
            // Once everything is in, the stream has read what it could and raised if it was cut.
            if (source.AllReleased()) break;
        }
    }
    catch (const SError&)
    {
    }
    return 0;
}
