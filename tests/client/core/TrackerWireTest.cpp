// The tracker stream and its records, without a network: every split of the bytes, messages skipped,
// empty and short bodies, a close before the end, and records that end exactly at the body's end.
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/core/CMyTrackerStream.h"
#include "client/core/UMyTrackerWire.h"
#include "framework/runtime/SError.h"
#include "tools/testserver/CTestTracker.h"

namespace
{
class CBuffer : public CMyTrackerSource
{
public:
    std::string bytes;
    size_t visible = 0;
    size_t at = 0;
    bool closed = false;
    uint32_t Waiting() override { return uint32_t(visible - at); }
    uint32_t Read(void* buffer, uint32_t maxSize) override
    {
        const size_t n = std::min<size_t>(maxSize, visible - at);
        std::memcpy(buffer, bytes.data() + at, n);
        at += n;
        return uint32_t(n);
    }
    bool Closed() override { return closed; }
};

struct SMessage
{
    uint16_t type;
    std::string body;
};

std::string Hello()
{
    return std::string("QVRK\0\1", 6);
}

// Feeds the bytes `step` at a time and collects the whole messages.
std::vector<SMessage> ReadAll(const std::string& bytes, size_t step, bool closeAtEnd = false)
{
    CBuffer in;
    in.bytes = bytes;
    CMyTrackerStream stream;
    std::vector<SMessage> out;
    while (true)
    {
        in.visible = std::min(in.bytes.size(), in.visible + step);
        in.closed = closeAtEnd && in.visible == in.bytes.size();
        while (stream.Next(in))
            out.push_back({stream.MsgType(), std::string(stream.Body().begin(), stream.Body().end())});
        if (in.visible == in.bytes.size()) break;
    }
    return out;
}

std::string Raised(const std::string& bytes, bool closed)
{
    CBuffer in;
    in.bytes = bytes;
    in.visible = bytes.size();
    in.closed = closed;
    CMyTrackerStream stream;
    try
    {
        while (stream.Next(in))
        {
        }
    }
    catch (const SError& e)
    {
        return std::to_string(e.type) + "/" + std::to_string(e.id);
    }
    return "none";
}

STestTrackedServer TrackedServer(uint8_t a, uint16_t port, const std::string& name, const std::string& desc)
{
    STestTrackedServer s;
    s.address[0] = a;
    s.port = port;
    s.name = name;
    s.desc = desc;
    return s;
}
} // namespace

TEST(TrackerStream, MessagesComeWholeFromEverySplitAndOtherTypesAreReadWhole)
{
    const std::string list = CTestTracker::ServerListMessage(
        2, {TrackedServer(1, 5500, "A", "one"), TrackedServer(2, 1, "B", "")});
    const std::string bytes = Hello() + CTestTracker::Message(2, std::string(1000, 'j')) + list +
                              CTestTracker::Message(7, "") + list;
    for (size_t step : {size_t(1), size_t(3), size_t(7), size_t(4096)})
    {
        const std::vector<SMessage> got = ReadAll(bytes, step);
        ASSERT_EQ(got.size(), 4u) << "step " << step;
        EXPECT_EQ(got[0].type, 2);
        EXPECT_EQ(got[0].body.size(), 1000u);
        EXPECT_EQ(got[1].type, 1);
        EXPECT_EQ(got[1].body, list.substr(4));
        // An empty body is whole at once, not when the next message's first byte arrives.
        EXPECT_EQ(got[2].type, 7);
        EXPECT_EQ(got[3].body, list.substr(4));
    }
    // The last message empty, nothing after it: still delivered.
    EXPECT_EQ(ReadAll(Hello() + CTestTracker::Message(1, ""), 1).size(), 1u);
}

TEST(TrackerStream, AWrongHelloOrAnEarlyCloseFails)
{
    EXPECT_EQ(Raised(std::string("HTTP\0\1", 6), false), "1/8");
    EXPECT_EQ(Raised(std::string("QVRK\0\2", 6), false), "1/7");
    EXPECT_EQ(Raised("QVR", false), "none") << "a short hello waits";
    EXPECT_EQ(Raised("QVR", true), "8/102");
    const std::string list = CTestTracker::ServerListMessage(5, {TrackedServer(1, 5500, "A", "")});
    EXPECT_EQ(Raised(Hello() + list.substr(0, list.size() - 1), true), "8/102") << "closed inside a body";
    EXPECT_EQ(Raised(Hello() + list + "\0", true), "8/102") << "closed inside a header";
    EXPECT_EQ(Raised(Hello() + list, true), "8/102") << "closed between messages while more are awaited";
}

TEST(TrackerStream, BytesReceivedBeforeTheCloseAreReadFirst)
{
    // Everything arrives and the connection closes at once: every message is handed out before the close
    // counts.
    const std::string list = CTestTracker::ServerListMessage(1, {TrackedServer(1, 5500, "A", "")});
    CBuffer all;
    all.bytes = Hello() + list + list;
    all.visible = all.bytes.size();
    all.closed = true;
    CMyTrackerStream reader;
    EXPECT_TRUE(reader.Next(all));
    EXPECT_TRUE(reader.Next(all));
    EXPECT_THROW(reader.Next(all), SError) << "and then the close, while a query waits for more";
    // A query that has what it asked for ends quietly at the close.
    CBuffer in;
    in.bytes = Hello() + list;
    in.visible = in.bytes.size();
    in.closed = true;
    CMyTrackerStream stream;
    ASSERT_TRUE(stream.Next(in, true));
    EXPECT_FALSE(stream.Next(in, true));
}

TEST(TrackerRecords, ARecordMayEndExactlyAtTheBodysEnd)
{
    const uint8_t a[4] = {10, 0, 0, 1};
    std::string body = UMyTrackerWire::MakeServerRecord(a, 5500, 7, "Named", "") +
                       UMyTrackerWire::MakeServerRecord(a, 5501, 0, "", "");
    uint32_t offset = 0;
    SMyTrackedServer s;
    ASSERT_TRUE(UMyTrackerWire::ReadServerRecord(reinterpret_cast<const uint8_t*>(body.data()),
                                                 uint32_t(body.size()), offset, s));
    EXPECT_EQ(s.name, "Named");
    EXPECT_EQ(s.users, 7);
    EXPECT_EQ(s.address[0], 10);
    // The second record's description length byte is the body's last byte, with an empty description.
    ASSERT_TRUE(UMyTrackerWire::ReadServerRecord(reinterpret_cast<const uint8_t*>(body.data()),
                                                 uint32_t(body.size()), offset, s));
    EXPECT_EQ(s.port, 5501);
    EXPECT_EQ(offset, body.size());
    EXPECT_FALSE(UMyTrackerWire::ReadServerRecord(reinterpret_cast<const uint8_t*>(body.data()),
                                                  uint32_t(body.size()), offset, s));

    // A description that runs past the body, and a record whose description length is missing: dropped.
    for (const std::string& cut :
         {UMyTrackerWire::MakeServerRecord(a, 1, 0, "x", "desc").substr(0, 15),
          UMyTrackerWire::MakeServerRecord(a, 1, 0, "xy", "").substr(0, 13), std::string(11, '\0')})
    {
        offset = 0;
        EXPECT_FALSE(UMyTrackerWire::ReadServerRecord(reinterpret_cast<const uint8_t*>(cut.data()),
                                                      uint32_t(cut.size()), offset, s));
        EXPECT_EQ(offset, 0u);
    }
}
