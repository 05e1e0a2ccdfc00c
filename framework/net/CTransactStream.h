// The incoming side of a transaction connection: cuts the byte stream into 20-byte part headers and their
// data, and files each finished part under the transaction it belongs to. It reads from any byte source,
// so it runs without a socket (the fuzzer feeds it bytes directly).
#pragma once

#include <cstdint>
#include <unordered_map>

struct THdlObj;

enum : uint16_t
{
    kTransactOutgoingRequest = 1,
    kTransactOutgoingReply = 2,
    kTransactIncomingRequest = 3,
    kTransactAwaitedReply = 4,
};

// One transaction in flight, in either direction.
struct STransactRecord
{
    STransactRecord* next;
    STransactRecord* previous;
    THdlObj* data; // the body received so far (owned)
    uint32_t totalSize;
    uint32_t transferred;
    uint32_t id;
    uint32_t error;
    uint16_t type;
    uint16_t kind;
    bool taken;   // an incoming request already handed to a receive session
    bool arrived; // a complete part of an awaited reply is in
    bool counted; // held among the connection's unfinished bodies
};

struct STransactHeader
{
    uint8_t flags;
    uint8_t isReply;
    uint16_t type;
    uint32_t id;
    uint32_t error;
    uint32_t totalSize;
    uint32_t dataSize;
};

class CTransactStream
{
public:
    static constexpr uint32_t kHeaderSize = 20;
    // The most one transaction may announce, in one part or over all its parts. File data never travels
    // on this connection and a listing of 100,000 long names stays under 30 MB, so anything larger is a
    // hostile or broken server, refused before a byte of it is allocated.
    static constexpr uint32_t kMaxTransactionSize = 64u * 1024 * 1024;
    // Bodies begun and not yet finished cost memory until their last part comes, and a server may begin
    // as many as it likes. A real server sends one large body at a time and finishes what it begins, so
    // all unfinished bodies together (with the part being read) may hold what one body may, and only so
    // many may be unfinished at once; past either limit the connection fails.
    static constexpr uint32_t kMaxUnfinishedBytes = kMaxTransactionSize;
    static constexpr uint32_t kMaxUnfinishedCount = 64;

    class CByteSource
    {
    public:
        virtual uint32_t Waiting() = 0;
        virtual uint32_t Read(void* buffer, uint32_t maxSize) = 0;

    protected:
        ~CByteSource() = default;
    };

    CTransactStream() = default;
    ~CTransactStream();
    CTransactStream(const CTransactStream&) = delete;
    CTransactStream& operator=(const CTransactStream&) = delete;

    // Takes every whole part (and the start of the next) that the source has. A protocol or memory
    // failure marks the stream failed and raises; a failed stream takes nothing more.
    void Absorb(CByteSource& source);
    bool IsFailed() const { return mFailed; }

    STransactRecord* AddRecord(uint16_t kind, uint32_t id, uint16_t type);
    // Unlinks and frees the record and its data; null is ignored.
    void DisposeRecord(STransactRecord* record);
    STransactRecord* FindRecord(uint16_t kind, uint32_t id) const;
    STransactRecord* FirstRecord() const { return mRecords; }
    // Hands over the record's body (null when there is none): the record no longer holds it.
    THdlObj* TakeData(STransactRecord* record);
    uint32_t GetUnfinishedCount() const { return mUnfinishedCount; }
    uint64_t GetUnfinishedBytes() const { return mUnfinishedBytes; }

    static void EncodeHeader(const STransactHeader& header, uint8_t out[kHeaderSize]);
    static STransactHeader DecodeHeader(const uint8_t in[kHeaderSize]);

private:
    void StartPart(CByteSource& source);
    void GrowPartBlock(uint32_t needed);
    void FinishPart();
    void AbsorbParts(CByteSource& source);
    // Keeps the unfinished totals in step with a record whose body changed.
    void Uncount(STransactRecord* record);
    void Count(STransactRecord* record);
    void DropUnfinishedBodies();

    static uint64_t Key(uint16_t kind, uint32_t id) { return uint64_t(kind) << 32 | id; }

    // Records are found by kind and id at every part that arrives, and a burst of server transactions
    // leaves thousands of them waiting: the index keeps each lookup from walking all of them. It holds
    // the earliest record of each key and how many there are (a hostile server may repeat an id).
    struct SIndexEntry
    {
        STransactRecord* first;
        uint32_t count;
    };
    std::unordered_map<uint64_t, SIndexEntry> mIndex;
    STransactRecord* mRecords = nullptr;
    STransactRecord* mLastRecord = nullptr;
    THdlObj* mPartData = nullptr;
    STransactHeader mHeader{};
    uint32_t mPartRemaining = 0;
    uint32_t mPartRead = 0;
    uint32_t mUnfinishedCount = 0;
    uint64_t mUnfinishedBytes = 0;
    bool mFailed = false;
};
