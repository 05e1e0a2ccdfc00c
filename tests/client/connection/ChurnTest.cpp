// Connecting, logging in and disconnecting again and again in one process: nothing a session leaves
// behind may pile up. CI runs 100 cycles; QUENVOL_CHURN_CYCLES=1000 (in a release build) gives the
// figure for a long day of reconnecting.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/support/CAppHarness.h"
#include "tests/support/MemoryUse.h"

namespace
{
uint32_t Cycles()
{
    const char* text = std::getenv("QUENVOL_CHURN_CYCLES");
    const long n = text ? std::strtol(text, nullptr, 10) : 0;
    return n > 0 ? uint32_t(n) : 100;
}

bool Cycle(CAppHarness& h)
{
    if (!h.Login()) return false;
    h.App().DoDisconnect();
    // The server has seen the session go.
    return h.WaitUntil([&] { return h.model.OnlineUsers().size() == h.model.extraUsers.size(); },
                       "the server to see the session end");
}
} // namespace

TEST(Churn, ConnectLoginDisconnectCyclesLeaveMemoryFlat)
{
    CAppHarness h;
    h.server.SetKeepLog(false);
    h.model.news = "Today's news, as every session reads it.";
    h.model.agreement.clear();
    h.model.extraUsers.push_back({900, 410, 0, "Robin"});
    h.model.extraUsers.push_back({901, 411, 2, "Ada"});
    h.Start();
    // The first sessions fill what is filled once (fonts, icons, resources, the server's tables).
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(Cycle(h));
    h.Pump();
    const uint64_t heapBefore = LiveHeapBytes(), residentBefore = ResidentBytes();
    const uint32_t cycles = Cycles();
    for (uint32_t i = 0; i < cycles; ++i)
        ASSERT_TRUE(Cycle(h)) << "cycle " << i;
    h.Pump();
    const int64_t heapGrowth = int64_t(LiveHeapBytes()) - int64_t(heapBefore);
    const int64_t residentGrowth = int64_t(ResidentBytes()) - int64_t(residentBefore);
    std::printf("churn: %u cycles, live heap %+lld KiB, resident %+lld KiB\n", cycles,
                (long long)(heapGrowth / 1024), (long long)(residentGrowth / 1024));
    RecordProperty("cycles", int(cycles));
    RecordProperty("heap_growth_kib", std::to_string(heapGrowth / 1024));
    EXPECT_LT(heapGrowth, int64_t(5 * kMiB));
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}
