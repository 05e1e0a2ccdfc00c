#include "framework/net/CTransactStream.h"

#include <algorithm>
#include <cstring>

#include "framework/runtime/BigEndian.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

namespace
{
// A part's block starts at most this big and doubles as its bytes arrive, so that an announcement
// alone never costs memory.
constexpr uint32_t kFirstPartBlock = 256 * 1024;

[[noreturn]] void FailProtocol()
{
    DebugBreak("UTransact - a transaction announces more than the connection accepts");
    Fail(kErrTypeTransport, 111);
}

bool IsUnfinished(const STransactRecord* r)
{
    return r->data && r->transferred < r->totalSize;
}
} // namespace

CTransactStream::~CTransactStream()
{
    while (mRecords)
        DisposeRecord(mRecords);
    UMemory::Dispose(mPartData);
}

void CTransactStream::EncodeHeader(const STransactHeader& h, uint8_t out[kHeaderSize])
{
    out[0] = h.flags;
    out[1] = h.isReply;
    out[2] = uint8_t(h.type >> 8);
    out[3] = uint8_t(h.type);
    PutBE32(out + 4, h.id);
    PutBE32(out + 8, h.error);
    PutBE32(out + 12, h.totalSize);
    PutBE32(out + 16, h.dataSize);
}

STransactHeader CTransactStream::DecodeHeader(const uint8_t in[kHeaderSize])
{
    STransactHeader h;
    h.flags = in[0];
    h.isReply = in[1];
    h.type = uint16_t((in[2] << 8) | in[3]);
    h.id = GetBE32(in + 4);
    h.error = GetBE32(in + 8);
    h.totalSize = GetBE32(in + 12);
    h.dataSize = GetBE32(in + 16);
    return h;
}

STransactRecord* CTransactStream::AddRecord(uint16_t kind, uint32_t id, uint16_t type)
{
    auto* r = static_cast<STransactRecord*>(UMemory::NewClear(sizeof(STransactRecord)));
    r->kind = kind;
    r->id = id;
    r->type = type;
    try
    {
        SIndexEntry& entry = mIndex[Key(kind, id)];
        if (entry.count++ == 0) entry.first = r;
    }
    catch (...)
    {
        UMemory::Dispose(static_cast<TPtrObj*>(r));
        throw;
    }
    r->previous = mLastRecord;
    if (mLastRecord)
        mLastRecord->next = r;
    else
        mRecords = r;
    mLastRecord = r;
    return r;
}

void CTransactStream::DisposeRecord(STransactRecord* record)
{
    if (!record) return;
    Uncount(record);
    if (record->previous)
        record->previous->next = record->next;
    else
        mRecords = record->next;
    if (record->next)
        record->next->previous = record->previous;
    else
        mLastRecord = record->previous;
    auto it = mIndex.find(Key(record->kind, record->id));
    if (it != mIndex.end())
    {
        if (--it->second.count == 0)
            mIndex.erase(it);
        else if (it->second.first == record)
        {
            // Later records of the same key come after this one in the list.
            STransactRecord* r = record->next;
            while (r && (r->kind != record->kind || r->id != record->id))
                r = r->next;
            it->second.first = r;
        }
    }
    UMemory::Dispose(record->data);
    UMemory::Dispose(static_cast<TPtrObj*>(record));
}

THdlObj* CTransactStream::TakeData(STransactRecord* record)
{
    if (!record) return nullptr;
    Uncount(record);
    THdlObj* data = record->data;
    record->data = nullptr;
    return data;
}

void CTransactStream::Uncount(STransactRecord* r)
{
    if (!r->counted) return;
    r->counted = false;
    --mUnfinishedCount;
    mUnfinishedBytes -= UMemory::GetSize(r->data);
}

void CTransactStream::Count(STransactRecord* r)
{
    if (!IsUnfinished(r)) return;
    r->counted = true;
    ++mUnfinishedCount;
    mUnfinishedBytes += UMemory::GetSize(r->data);
}

void CTransactStream::DropUnfinishedBodies()
{
    for (STransactRecord* r = mRecords; r; r = r->next)
        if (r->counted) UMemory::Dispose(TakeData(r));
}

STransactRecord* CTransactStream::FindRecord(uint16_t kind, uint32_t id) const
{
    auto it = mIndex.find(Key(kind, id));
    return it == mIndex.end() ? nullptr : it->second.first;
}

void CTransactStream::Absorb(CByteSource& source)
{
    if (mFailed) return;
    try
    {
        AbsorbParts(source);
    }
    catch (...)
    {
        // Nothing more comes in: what was held for bodies that can never finish goes back now.
        mFailed = true;
        UMemory::Dispose(mPartData);
        mPartData = nullptr;
        mPartRemaining = 0;
        DropUnfinishedBodies();
        throw;
    }
}

void CTransactStream::StartPart(CByteSource& source)
{
    uint8_t raw[kHeaderSize];
    if (source.Read(raw, kHeaderSize) != kHeaderSize) FailProtocol(); // the source said they were there
    mHeader = DecodeHeader(raw);
    if (mHeader.dataSize == 0)
    {
        // A reply that announces no body at all is whole as it stands: an empty answer (an error code
        // alone, say). Any other empty part is consumed and completes nothing.
        if (mHeader.isReply && mHeader.totalSize == 0)
            if (STransactRecord* r = FindRecord(kTransactAwaitedReply, mHeader.id); r && !r->arrived)
            {
                r->error = mHeader.error;
                r->type = mHeader.type;
                r->totalSize = 0;
                r->transferred = r->data ? UMemory::GetSize(r->data) : 0;
                r->arrived = true;
            }
        return;
    }
    if (mHeader.dataSize > kMaxTransactionSize || mHeader.totalSize > kMaxTransactionSize) FailProtocol();
    const STransactRecord* r =
        FindRecord(mHeader.isReply ? kTransactAwaitedReply : kTransactIncomingRequest, mHeader.id);
    const uint32_t held = r ? UMemory::GetSize(r->data) : 0;
    if (uint64_t(held) + mHeader.dataSize > kMaxTransactionSize) FailProtocol();
    // The part joins what unfinished bodies hold (its own body's bytes are counted there already when it
    // continues one), and a part that begins a body it does not finish makes one more unfinished.
    if (mUnfinishedBytes + mHeader.dataSize > kMaxUnfinishedBytes) FailProtocol();
    const bool begins = !r || !r->counted;
    if (begins && uint64_t(held) + mHeader.dataSize < mHeader.totalSize &&
        mUnfinishedCount >= kMaxUnfinishedCount)
        FailProtocol();
    if (!mPartData) mPartData = UMemory::NewHandle(0);
    UMemory::SetSize(mPartData, std::min(mHeader.dataSize, kFirstPartBlock));
    mPartRemaining = mHeader.dataSize;
    mPartRead = 0;
}

void CTransactStream::GrowPartBlock(uint32_t needed)
{
    const uint32_t size = UMemory::GetSize(mPartData);
    if (needed <= size) return;
    const uint64_t doubled = uint64_t(size) * 2;
    UMemory::SetSize(mPartData,
                     uint32_t(std::min<uint64_t>(mHeader.dataSize, std::max<uint64_t>(needed, doubled))));
}

void CTransactStream::AbsorbParts(CByteSource& source)
{
    for (;;)
    {
        if (mPartRemaining == 0)
        {
            if (source.Waiting() < kHeaderSize) return;
            StartPart(source);
            continue;
        }
        const uint32_t waiting = source.Waiting();
        if (waiting == 0) return;
        const uint32_t want = std::min(waiting, mPartRemaining);
        GrowPartBlock(mPartRead + want);
        uint32_t got;
        {
            StHandleLocker lock(mPartData);
            got = source.Read(lock.Data() + mPartRead, want);
        }
        if (got == 0) return;
        mPartRead += got;
        mPartRemaining -= got;
        if (mPartRemaining)
        {
            // Progress of a large reply, for the task's progress bar.
            if (mHeader.isReply)
                if (STransactRecord* r = FindRecord(kTransactAwaitedReply, mHeader.id))
                {
                    r->transferred = UMemory::GetSize(r->data) + mPartRead;
                    r->totalSize = mHeader.totalSize;
                }
            continue;
        }
        FinishPart();
    }
}

void CTransactStream::FinishPart()
{
    const uint16_t kind = mHeader.isReply ? kTransactAwaitedReply : kTransactIncomingRequest;
    STransactRecord* r = FindRecord(kind, mHeader.id);
    if (!r)
    {
        // A reply nobody waits for (to a one-way request, or to a session already gone) is dropped.
        if (mHeader.isReply) return;
        r = AddRecord(kTransactIncomingRequest, mHeader.id, mHeader.type);
    }
    Uncount(r);
    r->error = mHeader.error;
    r->type = mHeader.type;
    r->totalSize = mHeader.totalSize;
    r->arrived = true;
    if (!r->data)
    {
        r->data = mPartData;
        mPartData = nullptr;
    }
    else
    {
        StHandleLocker lock(mPartData);
        UMemory::Append(r->data, lock.Data(), mPartRead);
    }
    r->transferred = UMemory::GetSize(r->data);
    Count(r);
}
