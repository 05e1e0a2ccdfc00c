// The about box's usage line: the totals of every session in their short forms.
#include <gtest/gtest.h>
#include <string>

#include "client/app/CMyAboutWin.h"
#include "client/core/SMyStatistics.h"

TEST(AboutBox, UsageLineShowsTheTotalsAndSaysLeechedInLeechMode)
{
    SMyStatistics totals;
    totals.totalBytesDownloaded = 1536;
    totals.totalBytesUploaded = 500;
    totals.totalChatBytes = 1536;
    totals.totalSecsOnline = 3661;
    uint8_t line[256];
    uint32_t n = CMyAboutWin::FormatUsageLine(totals, line, sizeof(line));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(line), n),
              "1K downloaded, <1K uploaded, 1.4K chat, 1:01:01 online");
    totals.isLeechMode = true;
    n = CMyAboutWin::FormatUsageLine(totals, line, sizeof(line));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(line), n).substr(0, 10), "1K leeched");
}
