// Random numbers from the system's source: always within the asked range, every value reachable.
#include <gtest/gtest.h>
#include <set>

#include "framework/runtime/UMath.h"

TEST(UMath, RandomNumbersStayInTheirRangeAndReachEveryValue)
{
    std::set<uint32_t> seen;
    for (int i = 0; i < 4000; ++i)
    {
        const uint32_t n = UMath::GetRandom(1, 62);
        ASSERT_GE(n, 1u);
        ASSERT_LE(n, 62u);
        seen.insert(n);
    }
    // Missing one of 62 values in 4000 draws happens with a chance of about 1e-26.
    EXPECT_EQ(seen.size(), 62u);
    EXPECT_EQ(UMath::GetRandom(7, 7), 7u);
    EXPECT_EQ(UMath::GetRandom(9, 3), 9u);
    // The widest range works too (no span overflow).
    (void)UMath::GetRandom(0, UINT32_MAX);
}
