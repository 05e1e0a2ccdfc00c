// The about box's usage line: the totals of every session in their short forms.
#include <gtest/gtest.h>
#include <string>

#include "client/app/CMyAboutWin.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"

TEST(AboutBox, UsageLineShowsTheTotalsAndSaysLeechedInLeechMode)
{
    SetMsgBoxHook([](int16_t, const SMsgBox&) -> uint16_t { return 1; });
    CMyApplication app;
    app.mTotalBytesDownloaded = 1536;
    app.mTotalBytesUploaded = 500;
    app.mTotalChatBytes = 1536;
    app.mTotalSecsOnline = 3661;
    uint8_t line[256];
    uint32_t n = CMyAboutWin::FormatUsageLine(app, line, sizeof(line));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(line), n),
              "1K downloaded, <1K uploaded, 1.4K chat, 1:01:01 online");
    app.mIsLeechMode = 1;
    n = CMyAboutWin::FormatUsageLine(app, line, sizeof(line));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(line), n).substr(0, 10), "1K leeched");
    SetMsgBoxHook(nullptr);
}
