// The queue's delivery order, replace and flush, and what happens to errors raised by handlers.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/runtime/SError.h"
#include "framework/runtime/UMessageSys.h"

namespace
{
struct SLog
{
    std::vector<std::string> seen;
    TMessageSysObj* queue = nullptr;
};

void Record(void* context, void*, uint32_t msg, const void* data, uint32_t size)
{
    auto* log = static_cast<SLog*>(context);
    log->seen.push_back(std::to_string(msg) + ":" + std::string(static_cast<const char*>(data), size));
}

void Drain(TMessageSysObj* q)
{
    while (UMessageSys::Execute(q, nullptr))
    {
    }
}

class QueueTest : public testing::Test
{
protected:
    void SetUp() override
    {
        q = UMessageSys::New();
        log.queue = q;
        UMessageSys::SetDefaultProc(q, Record, &log);
    }
    void TearDown() override { UMessageSys::Dispose(q); }
    void Post(uint32_t msg, const char* text, int16_t prio, TMessageProc proc = nullptr,
              void* object = nullptr)
    {
        UMessageSys::Post(q, msg, text, uint32_t(strlen(text)), prio, proc, proc ? &log : nullptr, object);
    }
    TMessageSysObj* q;
    SLog log;
};
} // namespace

TEST_F(QueueTest, HigherPriorityFirstEqualPrioritiesInPostingOrder)
{
    Post(1000, "a", 0);
    Post(1000, "b", 10);
    Post(1000, "c", 10);
    Drain(q);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"1000:b", "1000:c", "1000:a"}));
}

TEST_F(QueueTest, MessagePostedByAHandlerIsDeliveredInTheSameDrainAfterIt)
{
    static SLog* sLog;
    sLog = &log;
    UMessageSys::Post(
        q, 1, nullptr, 0, 0,
        [](void*, void*, uint32_t, const void*, uint32_t)
        {
            sLog->seen.push_back("first");
            UMessageSys::Post(sLog->queue, 2000, "x", 1, 0, nullptr, nullptr, nullptr);
        },
        nullptr, nullptr);
    Drain(q);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"first", "2000:x"}));
}

TEST_F(QueueTest, ReplaceKeepsPositionWhateverTheNewSize)
{
    int objA, objB;
    Post(1000, "a", 0, Record, &objA);
    Post(1001, "b", 0, Record, &objB);
    Post(1002, "c", 0, Record);
    // Same size: data and priority change in place.
    UMessageSys::Replace(q, 1001, "B", 1, 0, Record, &log, nullptr);
    // Different size: a new record takes the old one's place.
    UMessageSys::Replace(q, 1000, "AAAA", 4, 0, Record, &log, &objA);
    EXPECT_EQ(UMessageSys::GetCount(q), 3u);
    Drain(q);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"1000:AAAA", "1001:B", "1002:c"}));
}

TEST_F(QueueTest, ReplaceTakesTheNewPriorityAndPostsWhenNothingMatches)
{
    Post(1000, "a", 0, Record);
    Post(1001, "b", 0, Record);
    UMessageSys::Replace(q, 1001, "z", 1, 5, Record, &log, nullptr);
    UMessageSys::Replace(q, 1003, "n", 1, 0, Record, &log, nullptr);
    Drain(q);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"1001:z", "1000:a", "1003:n"}));
}

TEST_F(QueueTest, ReplaceWithAnObjectOnlyMatchesThatObject)
{
    int objA, objB;
    Post(1000, "a", 0, Record, &objA);
    UMessageSys::Replace(q, 1000, "b", 1, 0, Record, &log, &objB);
    EXPECT_EQ(UMessageSys::GetCount(q), 2u);
}

TEST_F(QueueTest, FlushMatchesProcContextAndObjectButNotNumber)
{
    int objA, objB;
    Post(1000, "a", 0, Record, &objA);
    Post(1001, "b", 0, Record, &objB);
    Post(1002, "c", 0, Record, &objA);
    Post(1003, "d", 0); // default procedure: never matches Record
    UMessageSys::Flush(q, Record, &log, &objA);
    Drain(q);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"1001:b", "1003:d"}));
    Post(1000, "a", 0, Record, &objA);
    Post(1001, "b", 0, Record, &objB);
    UMessageSys::Flush(q, Record, &log, nullptr);
    EXPECT_TRUE(UMessageSys::IsEmpty(q));
}

TEST_F(QueueTest, MessageListSelectsOnlyListedNumbersAndLeavesTheRestInOrder)
{
    Post(1000, "a", 0);
    Post(2, "t1", -20);
    Post(1001, "b", 50);
    Post(2, "t2", -20);
    const uint32_t onlyTimers[] = {2, 0};
    while (UMessageSys::Execute(q, onlyTimers))
    {
    }
    EXPECT_EQ(log.seen, (std::vector<std::string>{"2:t1", "2:t2"}));
    log.seen.clear();
    Drain(q);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"1001:b", "1000:a"}));
}

TEST_F(QueueTest, ErrorEscapingAHandlerBecomesOneErrorMessageButNotWhenHandlingAnError)
{
    static int errorsSeen;
    static int16_t lastID;
    errorsSeen = 0;
    UMessageSys::SetDefaultProc(
        q,
        [](void*, void*, uint32_t msg, const void* data, uint32_t size)
        {
            if (msg != 1) Fail(kErrTypeTransport, 104);
            ++errorsSeen;
            ASSERT_EQ(size, sizeof(SError));
            lastID = static_cast<const SError*>(data)->id;
            Fail(kErrTypeGeneral, 1); // raised while handling an error: must be dropped
        },
        nullptr);
    UMessageSys::Post(q, 1000, nullptr, 0, 0, nullptr, nullptr, nullptr);
    Drain(q);
    EXPECT_EQ(errorsSeen, 1);
    EXPECT_EQ(lastID, 104);
    EXPECT_TRUE(UMessageSys::IsEmpty(q));
}

TEST_F(QueueTest, MessageWithoutAnyProcedureIsDropped)
{
    UMessageSys::SetDefaultProc(q, nullptr, nullptr);
    Post(1000, "a", 0);
    EXPECT_TRUE(UMessageSys::Execute(q, nullptr));
    EXPECT_FALSE(UMessageSys::Execute(q, nullptr));
}

TEST(QueueNullObjects, EveryOperationButDisposeRaisesInvalidParameter)
{
    UMessageSys::Dispose(nullptr);
    try
    {
        UMessageSys::Post(nullptr, 1, nullptr, 0, 0, nullptr, nullptr, nullptr);
        FAIL() << "no error";
    }
    catch (const SError& e)
    {
        EXPECT_EQ(e.type, 1);
        EXPECT_EQ(e.id, 2);
    }
}
