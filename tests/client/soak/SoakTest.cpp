// A client left running in a busy server: public chat lines, users joining and leaving, a private chat,
// private messages, news articles and small downloads arrive at a steady rate through the loopback
// server while the memory the process holds is recorded. Once the first minute has filled what is
// filled once (fonts, icons, the server's tables, the scrollback), it may grow by 5 MB at most.
//
// CI runs the short form: a few minutes of traffic on a clock in hand, each second's traffic delivered
// and then the clock moved on by a second, with the scrollback lowered so that its trimming takes part.
// QUENVOL_SOAK_MINUTES=N runs the long form on the wall clock with the default scrollback, sampling once a
// minute (scripts/soak.sh builds a release build for it and prints the figures).
#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/SHitMsgData.h"
#include "tests/client/files/FilesTestSupport.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/MemoryUse.h"
#include "tools/testserver/TestWire.h"

namespace
{
constexpr uint16_t kRobin = 900;
constexpr uint32_t kChatID = 777;
constexpr char kFileName[] = "small.bin";
// Per second: public chat lines, and one each of a join, a leave and a private chat line; every tenth
// second a private message, a news article and a download.
constexpr uint32_t kChatLinesPerSecond = 5;
constexpr uint32_t kEveryTenth = 10;
constexpr uint32_t kVisitors = 40;
constexpr uint32_t kFillSeconds = 50;
// Seconds after the last of the fill, by which the client has taken it in.
constexpr uint32_t kLayOutAfter = 5;

uint32_t LongFormMinutes()
{
    const char* text = std::getenv("QUENVOL_SOAK_MINUTES");
    const long n = text ? std::strtol(text, nullptr, 10) : 0;
    return n > 0 ? uint32_t(n) : 0;
}

std::string ChatLine(const std::string& line, uint32_t chatID = 0)
{
    testwire::CFields fields;
    if (chatID) fields.AddInteger(114, int32_t(chatID));
    return fields.Add(101, line).Bytes();
}

std::string UserNotice(uint16_t id, const std::string& name)
{
    return testwire::CFields()
        .AddInteger(103, id)
        .AddInteger(104, 410)
        .AddInteger(112, 0)
        .Add(102, name)
        .Bytes();
}

// The last line a conversation shows.
std::string LastLine(CTextView* view)
{
    if (view->GetLineCount() == 0) return std::string();
    const std::string text = view->TextEdit()->document()->lastBlock().text().toStdString();
    return text;
}

struct SSample
{
    uint32_t second;
    uint64_t resident;
    uint64_t heap;
};

class CSoakDriver
{
public:
    explicit CSoakDriver(CAppHarness& h) : mH(h) {}

    // Logs in, opens the folder of the file to download and a private chat with Robin.
    bool Begin()
    {
        mH.App().Features().Settings().queueTransfers = false;
        CMyFolderWin* root = filestest::OpenRoot(mH);
        if (!root) return false;
        filestest::Open(mH, root, "Docs");
        mDocs = filestest::FolderWin(mH, "Docs");
        if (!mDocs) return false;
        mH.model.nextChatID = kChatID;
        CMyUserListView* users = mH.App().Features().Windows().Users()->View();
        users->SelectOnly(users->FindUser(kRobin));
        mH.Hit(mH.App().Features().Windows().Users(), kHitOpenPrivateChat);
        if (!mH.WaitUntil([&] { return mH.Windows<CMyChatWin>().size() == 1; }, "the private chat"))
            return false;
        mPrivateChat = mH.Windows<CMyChatWin>().front()->GetChatView();
        mDownloads = mH.DownloadFolder() + "/" + kFileName;
        return true;
    }

    // One second of traffic. What the user does in answer to the last second (closing the messages
    // that came, starting the next download) comes first.
    void Step()
    {
        for (CMyPrivMsgWin* message : mH.Windows<CMyPrivMsgWin>())
            mH.Hit(message, kHitCloseBox);
        const uint32_t s = ++mSecond;
        for (uint32_t i = 0; i < kChatLinesPerSecond; ++i)
            mH.server.PushTransaction(106, ChatLine("\rvisitor " + std::to_string((s + i) % kVisitors) +
                                                    ":  line " + std::to_string(i) + " of second " +
                                                    std::to_string(s) + ", about the weather and boats"));
        mH.server.PushTransaction(301,
                                  UserNotice(uint16_t(2000 + s % kVisitors), "visitor " + std::to_string(s)));
        mH.server.PushTransaction(
            302, testwire::CFields().AddInteger(103, 2000 + (s + kVisitors / 2) % kVisitors).Bytes());
        mH.server.PushTransaction(106, ChatLine("\rRobin:  private line " + std::to_string(s), kChatID));
        if (s <= kFillSeconds) Fill(s);
        if (s == kFillSeconds + kLayOutAfter) LayOutFill();
        if (s % kEveryTenth == 0)
        {
            mH.server.PushTransaction(104, testwire::CFields()
                                               .AddInteger(103, kRobin)
                                               .Add(102, "Robin")
                                               .AddInteger(113, 1)
                                               .Add(101, "Are you around? " + std::to_string(s))
                                               .Bytes());
            const std::string article = "From Robin, second " + std::to_string(s) +
                                        "\rThe boats are in.\rThe weather holds.\r______\r";
            mH.server.PushTransaction(102, testwire::CFields().Add(101, article).Bytes());
            StartDownload();
        }
        // The last of the second: once the chat shows it, the client has handled all the others.
        mH.server.PushTransaction(106, ChatLine(SyncLine(s)));
    }

    bool SecondHandled() const
    {
        return LastLine(mH.App().Features().Windows().Chat()->GetChatView()) == SyncLine(mSecond).substr(1);
    }
    uint32_t Second() const { return mSecond; }
    uint32_t Downloads() const { return mDownloadsDone; }
    CTextView* PrivateChat() const { return mPrivateChat; }

private:
    static std::string SyncLine(uint32_t s) { return "\rRobin:  second " + std::to_string(s); }

    // The first seconds bring the conversations and the news up to their scrollback, as a server that
    // has long been busy does: memory the scrollback takes is taken in the first minute, and what comes
    // after it shows whether anything else piles up.
    void Fill(uint32_t s)
    {
        const uint32_t lines = mH.App().Features().Windows().Scrollback() / kFillSeconds + 1;
        for (uint32_t i = 0; i < lines; ++i)
        {
            const std::string tail =
                std::to_string(i) + " of second " + std::to_string(s) + ", from the archive";
            mH.server.PushTransaction(106, ChatLine("\rvisitor:  earlier line " + tail));
            mH.server.PushTransaction(106, ChatLine("\rRobin:  earlier private line " + tail, kChatID));
        }
        std::string article;
        for (uint32_t i = 0; i < lines; ++i)
            article += "An older article's line " + std::to_string(i) + "\r";
        mH.server.PushTransaction(102, testwire::CFields().Add(101, article).Bytes());
    }

    // A view keeps the layout of every line it has shown for as long as it keeps the line (about 400
    // bytes a line). Lines that come one at a time into an open window are laid out as they show; the
    // fill comes in bulk and is never shown, so without this the scrollback would only reach its full
    // size as the filled lines make way for shown ones, over hours for the private chat and the news,
    // and that would pass for growth. Laid out here, as a window that had shown them would hold them.
    void LayOutFill()
    {
        for (CTextView* view : {mH.App().Features().Windows().Chat()->GetChatView(), mPrivateChat,
                                mH.App().Features().Windows().News()->GetTextView()})
        {
            view->GetLineCount(); // takes in what waits to be appended
            QTextDocument* doc = view->TextEdit()->document();
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
                doc->documentLayout()->blockBoundingRect(b);
        }
    }

    // The next download starts once the last one is done; the user moves each finished file away.
    void StartDownload()
    {
        // Finished rows are cleared as a user would, now and then.
        mH.App().Features().Tasks().ClearFinishedRows();
        if (mH.App().Features().Tasks().GetItemCount() != 0) return;
        if (unlink(mDownloads.c_str()) == 0) ++mDownloadsDone;
        filestest::Select(mDocs, kFileName);
        mH.Hit(mDocs, kHitFileDownload);
    }

    CAppHarness& mH;
    CMyFolderWin* mDocs = nullptr;
    CTextView* mPrivateChat = nullptr;
    std::string mDownloads;
    uint32_t mSecond = 0;
    uint32_t mDownloadsDone = 0;
};

class Soak : public testing::Test
{
public:
    void SetUp() override
    {
        h.server.SetKeepLog(false);
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.extraUsers.push_back({kRobin, 410, 0, "Robin"});
        h.model.news = "Yesterday's news.";
        h.WriteSharedFile(std::string("Docs/") + kFileName, std::string(4096, 'q'));
        h.Start();
        // Notices of finished downloads would go to the desktop's message bus.
        h.App().Features().Settings().desktopNotices = false;
        ASSERT_TRUE(h.Login());
        ASSERT_TRUE(driver.Begin());
    }

    void Sample()
    {
        samples.push_back({driver.Second(), ResidentBytes(), LiveHeapBytes()});
        const SSample& s = samples.back();
        std::printf("soak: %5u s  resident %7.1f MB  heap %7.1f MB  chat %u lines  downloads %u\n", s.second,
                    double(s.resident) / kMiB, double(s.heap) / kMiB,
                    h.App().Features().Windows().Chat()->GetChatView()->GetLineCount(), driver.Downloads());
        std::fflush(stdout);
    }

    // Growth after the first minute: of the live heap under the address sanitizer (whose quarantine
    // keeps freed memory resident), of the resident size otherwise.
    uint64_t GrowthAfterFirstMinute() const
    {
        uint64_t base = 0, most = 0;
        bool started = false;
        for (const SSample& s : samples)
        {
            if (s.second < 60) continue;
#ifdef QUENVOL_TEST_ASAN
            const uint64_t figure = s.heap;
#else
            const uint64_t figure = s.resident;
#endif
            if (!started) base = most = figure, started = true;
            most = std::max(most, figure);
        }
        return most - base;
    }

    void Report()
    {
        const uint64_t growth = GrowthAfterFirstMinute();
        std::printf("soak: %u s, growth after the first minute %.2f MB (%s), private chat %u lines, "
                    "%u downloads\n",
                    driver.Second(), double(growth) / kMiB,
#ifdef QUENVOL_TEST_ASAN
                    "live heap",
#else
                    "resident",
#endif
                    driver.PrivateChat()->GetLineCount(), driver.Downloads());
        RecordProperty("seconds", int(driver.Second()));
        RecordProperty("growth_kib", std::to_string(growth / 1024));
        EXPECT_LE(growth, 5 * kMiB);
        EXPECT_TRUE(h.boxes.empty()) << h.boxes.front().text;
        EXPECT_TRUE(h.alert.empty()) << h.alert;
        EXPECT_LE(h.Windows<CMyPrivMsgWin>().size(), 1u);
        EXPECT_GT(driver.Downloads(), 0u);
    }

    CAppHarness h;
    CSoakDriver driver{h};
    std::vector<SSample> samples;
};

TEST_F(Soak, ABusyServerLeavesMemoryFlatAfterTheFirstMinute)
{
    const uint32_t minutes = LongFormMinutes();
    if (minutes)
    {
        // The wall clock: a timer steps the traffic once a second and samples once a minute.
        struct SContext
        {
            Soak* test;
        } context{this};
        Sample();
        TTimerObj* timer = UTimer::StartNew(
            [](void* c, void*, uint32_t msg, const void*, uint32_t)
            {
                if (msg != kMsgTimer) return;
                Soak* test = static_cast<SContext*>(c)->test;
                test->driver.Step();
                if (test->driver.Second() % 60 == 0) test->Sample();
            },
            &context, 1000, true);
        h.WaitUntil([&] { return driver.Second() >= minutes * 60 && driver.SecondHandled(); },
                    "the long form", (minutes * 60 + 120) * 1000);
        UTimer::Dispose(timer);
    }
    else
    {
        // Five minutes of traffic on a clock in hand, sampled every five seconds.
        h.App().Features().Windows().SetScrollback(500);
        StClockInHand clock;
        Sample();
        while (driver.Second() < 300)
        {
            driver.Step();
            ASSERT_TRUE(h.WaitUntil([&] { return driver.SecondHandled(); }, "a second's traffic"));
            UClock::Advance(1000);
            if (driver.Second() % 5 == 0) Sample();
        }
        // The scrollback held while lines went through several times over.
        EXPECT_LE(h.App().Features().Windows().Chat()->GetChatView()->GetLineCount(), 550u);
        EXPECT_LE(driver.PrivateChat()->GetLineCount(), 550u);
        EXPECT_LE(h.App().Features().Windows().News()->GetTextView()->GetLineCount(), 550u);
    }
    Report();
}
} // namespace
