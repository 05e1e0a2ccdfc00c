// The stream absorber fed directly, without sockets: any cut of the byte stream gives the same result.
#include <gtest/gtest.h>
#include <string>

#include "framework/net/CTransactStream.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "tools/testserver/TestWire.h"

namespace
{
class CStringSource final : public CTransactStream::CByteSource
{
public:
    std::string bytes;
    uint32_t Waiting() override { return uint32_t(bytes.size()); }
    uint32_t Read(void* buffer, uint32_t maxSize) override
    {
        const uint32_t n = std::min<uint32_t>(maxSize, uint32_t(bytes.size()));
        bytes.copy(static_cast<char*>(buffer), n);
        bytes.erase(0, n);
        return n;
    }
};

std::string Data(const STransactRecord* r)
{
    StHandleLocker lock(r->data);
    return std::string(reinterpret_cast<char*>(lock.Data()), UMemory::GetSize(r->data));
}
} // namespace

TEST(TransactStreamTest, FeedingOneByteAtATimeGivesTheSameTransactions)
{
    STestPartHeader request;
    request.type = 106;
    request.id = 9;
    STestPartHeader reply;
    reply.isReply = 1;
    reply.id = 1;
    reply.error = 4;
    const std::string body(1000, 'b');
    const std::string stream = testwire::EncodeTransaction(request, body, 3, true) +
                               testwire::EncodeTransaction(reply, "ok", 1) +
                               testwire::EncodeTransaction(reply, "stray", 1); // nobody awaits id 1 twice
    CTransactStream s;
    STransactRecord* awaited = s.AddRecord(kTransactAwaitedReply, 1, 0);
    CStringSource source;
    for (char c : stream)
    {
        source.bytes += c;
        s.Absorb(source);
        if (awaited->arrived) break;
    }
    ASSERT_TRUE(awaited->arrived);
    EXPECT_EQ(Data(awaited), "ok");
    EXPECT_EQ(awaited->error, 4u);
    s.DisposeRecord(awaited);
    source.bytes += stream.substr(stream.size() - 25);
    s.Absorb(source);
    EXPECT_TRUE(source.bytes.empty());
    const STransactRecord* r = s.FirstRecord();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->kind, kTransactIncomingRequest);
    EXPECT_EQ(r->type, 106);
    EXPECT_EQ(r->transferred, 1000u);
    EXPECT_EQ(r->totalSize, 1000u);
    EXPECT_EQ(Data(r), body);
    EXPECT_EQ(r->next, nullptr); // the stray reply was dropped, not filed
}

TEST(TransactStreamTest, AnnouncementsOverTheLimitFailTheStream)
{
    STestPartHeader h;
    h.dataSize = CTransactStream::kMaxTransactionSize + 1;
    h.totalSize = 10;
    CTransactStream s;
    CStringSource source;
    source.bytes = testwire::EncodeHeader(h) + "x";
    EXPECT_THROW(s.Absorb(source), SError);
    EXPECT_TRUE(s.IsFailed());
    s.Absorb(source); // takes nothing more and does not raise again
    EXPECT_EQ(source.bytes, "x");

    // A total over the limit fails too, even with a small part.
    CTransactStream t;
    h.dataSize = 2;
    h.totalSize = CTransactStream::kMaxTransactionSize + 1;
    source.bytes = testwire::EncodeHeader(h) + "xy";
    EXPECT_THROW(t.Absorb(source), SError);
}

TEST(TransactStreamTest, RecordsAreFoundByKindAndIdEarliestFirstWhateverLeaves)
{
    CTransactStream s;
    STransactRecord* a = s.AddRecord(kTransactIncomingRequest, 5, 106);
    STransactRecord* b = s.AddRecord(kTransactOutgoingReply, 5, 0);
    STransactRecord* c = s.AddRecord(kTransactIncomingRequest, 5, 104); // a server repeating an id
    STransactRecord* d = s.AddRecord(kTransactIncomingRequest, 6, 106);
    EXPECT_EQ(s.FindRecord(kTransactIncomingRequest, 5), a);
    EXPECT_EQ(s.FindRecord(kTransactOutgoingReply, 5), b);
    s.DisposeRecord(a);
    EXPECT_EQ(s.FindRecord(kTransactIncomingRequest, 5), c);
    EXPECT_EQ(s.FirstRecord(), b);
    s.DisposeRecord(d); // the last one: the list ends at c now
    s.DisposeRecord(c);
    EXPECT_EQ(s.FindRecord(kTransactIncomingRequest, 5), nullptr);
    EXPECT_EQ(s.FindRecord(kTransactIncomingRequest, 6), nullptr);
    EXPECT_EQ(s.FirstRecord(), b);
    EXPECT_EQ(b->next, nullptr);
    STransactRecord* e = s.AddRecord(kTransactIncomingRequest, 7, 106);
    EXPECT_EQ(b->next, e);
    EXPECT_EQ(s.FindRecord(kTransactIncomingRequest, 7), e);
}

namespace
{
// The first part of a request whose body is twice as large; the rest never comes.
std::string Abandoned(uint32_t id, uint32_t partSize)
{
    STestPartHeader h;
    h.type = 104;
    h.id = id;
    h.totalSize = partSize * 2;
    h.dataSize = partSize;
    return testwire::EncodeHeader(h) + std::string(partSize, 'a');
}

uint64_t HeldBytes(const CTransactStream& s)
{
    uint64_t held = 0;
    for (const STransactRecord* r = s.FirstRecord(); r; r = r->next)
        held += UMemory::GetSize(r->data);
    return held;
}
} // namespace

TEST(TransactStreamTest, UnfinishedBodiesAreLimitedInNumberAndTheirMemoryIsReturned)
{
    // A server that begins a thousand bodies and finishes none is not a server the client waits for.
    CTransactStream s;
    CStringSource source;
    uint32_t id = 1;
    try
    {
        for (; id <= 1000; ++id)
        {
            source.bytes = Abandoned(id, 1024);
            s.Absorb(source);
        }
    }
    catch (const SError& e)
    {
        EXPECT_EQ(e.type, kErrTypeTransport);
        EXPECT_EQ(e.id, 111);
    }
    EXPECT_TRUE(s.IsFailed());
    EXPECT_LT(id, 1000u);
    EXPECT_GE(id, 16u); // a few unfinished bodies at once are allowed
    EXPECT_EQ(HeldBytes(s), 0u);
}

TEST(TransactStreamTest, UnfinishedBodiesTogetherHoldNoMoreThanOneBodyMay)
{
    // Each body is within the limit of one transaction; together they are not.
    CTransactStream s;
    CStringSource source;
    constexpr uint32_t kPart = 24u << 20;
    source.bytes = Abandoned(1, kPart) + Abandoned(2, kPart);
    s.Absorb(source);
    EXPECT_FALSE(s.IsFailed());
    source.bytes = Abandoned(3, kPart).substr(0, CTransactStream::kHeaderSize);
    EXPECT_THROW(s.Absorb(source), SError);
    EXPECT_TRUE(s.IsFailed());
    EXPECT_EQ(HeldBytes(s), 0u);

    // Finished bodies do not count: many whole transactions waiting to be taken are fine.
    CTransactStream t;
    STestPartHeader h;
    h.type = 106;
    for (uint32_t i = 1; i <= 300; ++i)
    {
        h.id = i;
        source.bytes += testwire::EncodeTransaction(h, std::string(100, 'w'), 2);
    }
    t.Absorb(source);
    EXPECT_FALSE(t.IsFailed());
}
