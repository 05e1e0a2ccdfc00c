// What a tracker sends after the client's hello: its own hello, then length-prefixed messages. The
// stream takes bytes as they arrive, in any split, and hands out each whole message. It reads what is
// waiting before it looks whether the connection closed, so a tracker that sends its list and closes at
// once is read to the end.
#pragma once

#include <cstdint>
#include <vector>

// Where the stream's bytes come from: a transport, or in tests and the fuzz target, a buffer.
class CMyTrackerSource
{
public:
    virtual ~CMyTrackerSource() = default;
    virtual uint32_t Waiting() = 0;
    virtual uint32_t Read(void* buffer, uint32_t maxSize) = 0;
    virtual bool Closed() = 0;
};

class CMyTrackerStream
{
public:
    // The stages of the listing task that the stream runs.
    enum : uint16_t
    {
        kStageHello = 3,
        kStageHeader = 4,
        kStageBody = 5,
    };

    // Reads as far as the waiting bytes go. True when a whole message is in (MsgType, Body; valid until
    // the next call). Raises 1/8 or 1/7 for a wrong hello, and 8/102 when the connection closed before
    // the bytes the stream waits for. With `endQuietly` (the query has what it asked for) a close between
    // messages only ends the reading.
    bool Next(CMyTrackerSource& in, bool endQuietly = false);

    uint16_t Stage() const { return mStage; }
    uint16_t MsgType() const { return mMsgType; }
    const std::vector<uint8_t>& Body() const { return mMsgData; }
    uint32_t BodySize() const { return mMsgDataSize; }
    uint32_t ReceivedSize() const { return mRcvdSize; }

private:
    uint16_t mStage = kStageHello;
    uint16_t mMsgType = 0;
    uint32_t mMsgDataSize = 0;
    uint32_t mRcvdSize = 0;
    std::vector<uint8_t> mMsgData;
};
