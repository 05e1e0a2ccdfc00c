// The transaction stream absorber fed hostile bytes in hostile cuts, with some replies awaited.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/net/CTransactStream.h"
#include "framework/runtime/SError.h"

namespace
{
class CMemorySource final : public CTransactStream::CByteSource
{
public:
    CMemorySource(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    // The cut: only this many more bytes are "waiting" before the next absorb.
    void Release(size_t n) { mVisible = std::min(mSize, mVisible + n); }
    bool Done() const { return mAt >= mSize; }
    uint32_t Waiting() override { return uint32_t(mVisible - mAt); }
    uint32_t Read(void* buffer, uint32_t maxSize) override
    {
        const size_t n = std::min<size_t>(maxSize, mVisible - mAt);
        std::memcpy(buffer, mData + mAt, n);
        mAt += n;
        return uint32_t(n);
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
    size_t mVisible = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // Byte 0: how many replies are awaited (ids 1..n); byte 1: the size of each cut.
    const uint8_t awaited = data[0] % 8;
    const size_t cut = data[1] ? data[1] : 4096;
    CTransactStream stream;
    for (uint32_t id = 1; id <= awaited; ++id)
        stream.AddRecord(kTransactAwaitedReply, id, 0);
    CMemorySource source(data + 2, size - 2);
    try
    {
        while (!source.Done() && !stream.IsFailed())
        {
            source.Release(cut);
            stream.Absorb(source);
            // Collect whole requests as the application would.
            for (STransactRecord* r = stream.FirstRecord(); r;)
            {
                STransactRecord* next = r->next;
                if (r->kind == kTransactIncomingRequest && r->transferred >= r->totalSize)
                    stream.DisposeRecord(r);
                r = next;
            }
            if (source.Waiting()) break; // a partial header: nothing more can happen without more bytes
        }
    }
    catch (const SError&)
    {
        // A refused announcement fails the stream; the stream must say so.
        if (!stream.IsFailed()) __builtin_trap();
    }
    return 0;
}
