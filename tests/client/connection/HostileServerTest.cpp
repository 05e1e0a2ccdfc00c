// The client against a hostile or chatty server, played by the loopback server's scripted modes: bursts,
// bodies begun and never finished, announcements past the limits, malformed fields in every transaction
// the server starts. Each case asserts that the client is alive and still answers, that its memory stays
// within a stated bound, and that the user is shown the right thing (and nothing else).
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/boxes/CMyMsgBoxWin.h"
#include "client/chat/CMyChatInviteWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/connection/CMyAgreementWin.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/tasks/CMyTaskRows.h"
#include "client/tasks/CMyTasksWin.h"
#include "framework/net/CTransactStream.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/UClock.h"
#include "framework/ui/CTextView.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/MemoryUse.h"
#include "tools/testserver/CHostileScript.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
constexpr char kProtocolText[] = "does not follow the protocol";

std::string ServerMessage(const std::string& text, uint16_t kind)
{
    return CFields().AddInteger(kUserID, 0).Add(kData, text).AddInteger(kKind, kind).Bytes();
}

std::string Numbered(uint32_t i)
{
    char text[32];
    std::snprintf(text, sizeof text, "Message %05u", i);
    return text;
}

class HostileServerTest : public testing::Test
{
protected:
    // Figures for the log (and the test report).
    void Report(const char* what, uint64_t value)
    {
        RecordProperty(what, std::to_string(value));
        std::printf("%s: %s %llu\n", testing::UnitTest::GetInstance()->current_test_info()->name(), what,
                    (unsigned long long)value);
    }

    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.Start();
        ASSERT_TRUE(h.Login());
        app = &h.App();
    }

    // Every box that opens from now on is answered at once.
    void AnswerBoxes(int count = 8)
    {
        for (int i = 0; i < count; ++i)
            h.OnModal<CMyMsgBoxWin>([](CMyMsgBoxWin& box) { box.Hit(1); });
    }

    // True once the client has handled everything the server sent: when the server has written all of
    // it, it announces one more user, who shows in the list only after every transaction before him was
    // handled.
    std::function<bool()> BurstIn()
    {
        const auto id = uint16_t(kLastUserID - mBursts);
        const std::string name = "after burst " + std::to_string(mBursts++);
        auto announced = std::make_shared<bool>(false);
        return [this, id, name, announced]
        {
            if (!*announced)
            {
                if (!h.server.IsFlushed()) return false;
                h.server.PushTransaction(301, CFields()
                                                  .AddInteger(kUserID, id)
                                                  .AddInteger(kIcon, 410)
                                                  .AddInteger(kFlags, 0)
                                                  .Add(kName, name)
                                                  .Bytes());
                *announced = true;
                return false;
            }
            const std::vector<std::string> names = h.OnlineUserNames();
            return std::find(names.begin(), names.end(), name) != names.end();
        };
    }

    // The client still turns its loop and talks to the server: a new message reaches the user, or, with
    // the session gone, a new login succeeds.
    void ExpectResponsive(bool realBoxes)
    {
        if (!app->Features().Session().IsConnected())
        {
            EXPECT_TRUE(h.Login());
            return;
        }
        if (realBoxes) AnswerBoxes(1);
        const size_t before = h.boxes.size();
        h.model.SendServerMessage(h.server, "Still there?", 1);
        EXPECT_TRUE(h.WaitUntil([&]
                                { return h.boxes.size() > before && h.boxes.back().text == "Still there?"; },
                                "a later message"));
    }

    CAppHarness h;
    CMyApplication* app = nullptr;

private:
    // Far above the users the bursts announce.
    static constexpr uint16_t kLastUserID = 65000;
    uint16_t mBursts = 0;
};
} // namespace

TEST_F(HostileServerTest, TenThousandServerMessagesAreShownInTwoBoxesWithinFiftyMegabytes)
{
    h.UseRealBoxes();
    constexpr uint32_t kCount = 10000;
    CHeapWatch heap;
    const auto burstIn = BurstIn();
    bool answer = false;
    for (int i = 0; i < 4; ++i)
        h.OnModal<CMyMsgBoxWin>([&](CMyMsgBoxWin& box)
                                { h.When([&] { return answer; }, [&box] { box.Hit(1); }); });
    h.server.Play(
        CHostileScript::Burst(104, kCount, [](uint32_t i) { return ServerMessage(Numbered(i), 1); }));
    // The user comes back to the screen once the burst is over.
    h.When(burstIn, [&] { answer = true; });
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            return answer && CAppHarness::ModalDepth() == 0 && !h.boxes.empty() &&
                   h.boxes.back().text.find(Numbered(kCount - 1)) != std::string::npos;
        },
        "the burst to be shown", 120000));
    EXPECT_EQ(h.maxModalDepth, 1u);
    // The first message in a box of its own, all that came while it was up together in the next.
    ASSERT_EQ(h.boxes.size(), 2u);
    EXPECT_EQ(h.boxes[0].text, Numbered(0));
    size_t at = 0;
    for (uint32_t i = 1; i < kCount; ++i)
    {
        const size_t found = h.boxes[1].text.find(Numbered(i), at);
        ASSERT_NE(found, std::string::npos) << Numbered(i) << " is missing";
        at = found;
    }
    const uint64_t peak = heap.PeakGrowth();
    EXPECT_LT(peak, 50 * kMiB);
    Report("heap_peak_growth_kib", peak / 1024);
    Report("resident_peak_growth_kib", heap.PeakResidentGrowth() / 1024);
    EXPECT_TRUE(h.alert.empty()) << h.alert;
    ExpectResponsive(true);
}

TEST_F(HostileServerTest, TenThousandPrivateMessagesAndInvitationsOpenFewWindowsAndLoseNoMessage)
{
    // Each message and invitation was a window of its own: ten thousand took gigabytes and minutes.
    h.UseRealBoxes();
    constexpr uint32_t kCount = 10000;
    CHeapWatch heap;
    bool answer = false;
    for (int i = 0; i < 4; ++i)
        h.OnModal<CMyMsgBoxWin>([&](CMyMsgBoxWin& box)
                                { h.When([&] { return answer; }, [&box] { box.Hit(1); }); });
    h.server.Play(CHostileScript::Burst(
        104, kCount,
        [](uint32_t i)
        { return CFields().AddInteger(kUserID, 900).Add(kName, "Robin").Add(kData, Numbered(i)).Bytes(); }));
    // The user comes back to the screen once the burst is over.
    h.When(BurstIn(), [&] { answer = true; });
    ASSERT_TRUE(h.WaitUntil([&] { return answer && CAppHarness::ModalDepth() == 0 && h.StepsDone(); },
                            "the messages", 120000));
    h.server.Play(CHostileScript::Burst(113, kCount,
                                        [](uint32_t i)
                                        {
                                            return CFields()
                                                .AddInteger(kChatID, int32_t(5000 + i))
                                                .AddInteger(kUserID, 900)
                                                .Add(kName, "Robin")
                                                .Bytes();
                                        }));
    bool invitationsIn = false;
    h.When(BurstIn(), [&] { invitationsIn = true; });
    ASSERT_TRUE(h.WaitUntil([&] { return invitationsIn; }, "the invitations", 120000));
    h.Pump();
    const uint64_t peak = heap.PeakGrowth();
    EXPECT_LT(peak, 50 * kMiB);
    Report("heap_peak_growth_kib", peak / 1024);
    Report("resident_peak_growth_kib", heap.PeakResidentGrowth() / 1024);
    EXPECT_EQ(h.maxModalDepth, 1u);

    // The first messages have windows; every later one is in the boxes, in the order it came.
    const std::vector<CMyPrivMsgWin*> windows = h.Windows<CMyPrivMsgWin>();
    ASSERT_GE(windows.size(), 10u);
    ASSERT_LE(windows.size(), 100u);
    std::string folded;
    for (const CAppHarness::SBox& box : h.boxes)
        folded += box.text;
    EXPECT_LE(h.boxes.size(), 2u);
    size_t at = 0;
    for (uint32_t i = uint32_t(windows.size()); i < kCount; ++i)
    {
        const size_t found = folded.find("Private message from: Robin\r" + Numbered(i), at);
        ASSERT_NE(found, std::string::npos) << Numbered(i) << " is missing";
        at = found;
    }
    // Unanswered invitations are few too; the server hears no for the rest.
    const size_t invitations = h.Windows<CMyChatInviteWin>().size();
    EXPECT_GE(invitations, 10u);
    EXPECT_LE(invitations, 100u);
    EXPECT_EQ(h.server.CountReceived(114), kCount - invitations);
    EXPECT_TRUE(h.alert.empty()) << h.alert;
    ExpectResponsive(true);
}

TEST_F(HostileServerTest, AgreementsThatComeWhileOneIsUpWaitAndOnlyTheNewestIsShown)
{
    constexpr uint32_t kCount = 200;
    const auto burstIn = BurstIn();
    bool answer = false;
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i)
        h.OnModal<CMyAgreementWin>(
            [&](CMyAgreementWin& w)
            {
                shown.push_back(w.GetTextView()->GetText());
                h.When([&] { return answer; }, [&w] { w.Hit(CMyAgreementWin::kHitAgree); });
            });
    h.server.Play(CHostileScript::Burst(
        109, kCount,
        [](uint32_t i) { return CFields().Add(kData, "Rules, take " + std::to_string(i)).Bytes(); }));
    h.When(burstIn, [&] { answer = true; });
    ASSERT_TRUE(h.WaitUntil([&] { return answer && CAppHarness::ModalDepth() == 0 && h.StepsDone(); },
                            "the agreements"));
    h.Pump();
    EXPECT_EQ(h.maxModalDepth, 1u);
    // However the burst was cut into reads, the user answers at most the one that was up and the newest.
    ASSERT_FALSE(shown.empty());
    EXPECT_LE(shown.size(), 2u);
    EXPECT_EQ(shown.back(), "Rules, take " + std::to_string(kCount - 1));
    EXPECT_TRUE(app->Features().Session().IsConnected());
}

TEST_F(HostileServerTest, TenThousandChatLinesAndUserNoticesLeaveTheClientAnswering)
{
    CHeapWatch heap;
    const auto burstIn = BurstIn();
    h.server.Play(CHostileScript::Burst(
        106, 10000,
        [](uint32_t i) { return CFields().Add(kData, "\rRobin: line " + std::to_string(i)).Bytes(); }));
    bool chatIn = false;
    h.When(burstIn, [&] { chatIn = true; });
    ASSERT_TRUE(h.WaitUntil([&] { return chatIn; }, "the chat lines", 60000));
    // The chat lines are counted below: 20,000 join and leave lines would push them out of the
    // scrollback.
    app->Features().Settings().showJoinLeaveInChat = false;
    h.server.Play(CHostileScript::Burst(301, 10000,
                                        [](uint32_t i)
                                        {
                                            return CFields()
                                                .AddInteger(kUserID, int32_t(1000 + i % 5000))
                                                .AddInteger(kIcon, 410)
                                                .AddInteger(kFlags, 0)
                                                .Add(kName, "guest " + std::to_string(i))
                                                .Bytes();
                                        }));
    h.server.Play(CHostileScript::Burst(
        302, 10000,
        [](uint32_t i) { return CFields().AddInteger(kUserID, int32_t(1000 + i % 5000)).Bytes(); }));
    bool usersIn = false;
    h.When(BurstIn(), [&] { usersIn = true; });
    ASSERT_TRUE(h.WaitUntil([&] { return usersIn; }, "the user notices", 60000));
    const uint64_t peak = heap.PeakGrowth();
    EXPECT_LT(peak, 50 * kMiB);
    Report("heap_peak_growth_kib", peak / 1024);
    Report("resident_peak_growth_kib", heap.PeakResidentGrowth() / 1024);
    EXPECT_TRUE(app->Features().Session().IsConnected());
    // Every line reached the chat, in order; no box, no alert.
    const std::string chat = h.ChatText();
    const size_t first = chat.find("Robin: line 0\r"), last = chat.find("Robin: line 9999");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(last, std::string::npos);
    EXPECT_LT(first, last);
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
    ExpectResponsive(false);
}

TEST_F(HostileServerTest, AnEmptyServerMessageShowsNoBox)
{
    h.UseRealBoxes();
    AnswerBoxes(4);
    h.server.PushTransaction(104, ServerMessage("", 1));
    h.server.PushTransaction(104, ServerMessage("", 0));
    h.server.PushTransaction(104, ServerMessage("After the empty ones", 1));
    ASSERT_TRUE(h.WaitUntil([&] { return !h.boxes.empty() || !h.alert.empty(); }, "a box"));
    h.Pump();
    EXPECT_TRUE(h.alert.empty()) << h.alert;
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].text, "After the empty ones");
    EXPECT_TRUE(app->Features().Session().IsConnected());
}

TEST_F(HostileServerTest, APartHeaderJustOverTheCapEndsTheSessionWithTheProtocolErrorOnly)
{
    CHeapWatch heap;
    h.server.Play(CHostileScript::Announce(104, CTransactStream::kMaxTransactionSize + 1,
                                           CTransactStream::kMaxTransactionSize + 1, 4096));
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(142) && !app->Features().Session().Transactor(); },
                            "the protocol error"));
    h.WaitUntil([&] { return h.server.ClientClosed(); }, "the client to close");
    h.Pump();
    // The client closed the connection itself: it was not lost.
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_NE(h.boxes[0].text.find(kProtocolText), std::string::npos) << h.boxes[0].text;
    EXPECT_LT(heap.PeakGrowth(), 4 * kMiB); // refused before a byte of it was allocated
    EXPECT_TRUE(h.alert.empty()) << h.alert;

    // A total just over the cap with a small part is refused the same way.
    ASSERT_TRUE(h.Login());
    h.boxes.clear();
    h.server.Play(CHostileScript::Announce(104, 10, CTransactStream::kMaxTransactionSize + 1, 10));
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.HasBox(142, kProtocolText) && !app->Features().Session().Transactor(); },
                    "the protocol error"));
    h.Pump();
    EXPECT_EQ(h.boxes.size(), 1u);
    ExpectResponsive(false);
}

TEST_F(HostileServerTest, BodiesBegunAndNeverFinishedFailTheConnectionBeforeTheyHoldMuch)
{
    CHeapWatch heap;
    // Two hundred bodies of 2 MB, each begun with its first megabyte and abandoned.
    h.server.Play(CHostileScript::AbandonedBodies(104, 200, 1000000));
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(142) && !app->Features().Session().Transactor(); },
                            "the protocol error", 30000));
    h.Pump();
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_NE(h.boxes[0].text.find(kProtocolText), std::string::npos) << h.boxes[0].text;
    const uint64_t peak = heap.PeakGrowth();
    Report("heap_peak_growth_kib", peak / 1024);
    Report("resident_peak_growth_kib", heap.PeakResidentGrowth() / 1024);
    EXPECT_LT(peak, 80 * kMiB);
    // And the memory went back when the connection did.
    EXPECT_LT(heap.Growth(), 8 * kMiB);
    ExpectResponsive(false);
}

TEST_F(HostileServerTest, HandshakeTimeOutsSayTheServerDidNotAnswer)
{
    app->DoDisconnect();
    h.server.SetHandshake(CTestServer::EHandshake::Ignore);
    const auto address = CAppHarness::P(h.Address());
    StClockInHand clock;
    app->DoConnect(address.data(), nullptr);
    ASSERT_NE(app->Features().Session().Transactor(), nullptr);
    // The connect task's bar stands at two of three once the handshake is out.
    CMyTaskRows& rows = app->Features().Windows().Tasks()->View()->Model();
    ASSERT_TRUE(h.WaitUntil([&] { return rows.GetRowCount() == 1 && rows.GetRow(1)->progVal == 2; },
                            "the handshake"));
    UClock::Advance(UTransact::kHandshakeTimeoutMs);
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(142) && !app->Features().Session().Transactor(); },
                            "the time-out"));
    h.Pump();
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_NE(h.boxes[0].text.find("did not answer in time"), std::string::npos) << h.boxes[0].text;
    EXPECT_EQ(h.boxes[0].text.find(kProtocolText), std::string::npos) << h.boxes[0].text;
}

TEST_F(HostileServerTest, TruncatedAndOversizedFieldsInEveryTransactionTheServerStarts)
{
    const std::string big(60000, 'x');
    // A list that says it has three fields and holds one; a field that claims more bytes than follow;
    // fields far longer than what they carry; a lone byte.
    const std::string truncatedList = testwire::BE16(3) + testwire::BE16(kData) + testwire::BE16(2) + "ab";
    const std::string lyingField = testwire::BE16(1) + testwire::BE16(kData) + testwire::BE16(500) + "short";
    const std::string oversized = CFields()
                                      .Add(kData, big)
                                      .Add(kUserID, std::string(9, '\0'))
                                      .Add(kName, big)
                                      .Add(kIcon, std::string(3, '\1'))
                                      .Add(kKind, std::string("\0\0\0\1\1\1\1", 7))
                                      .Add(kFlags, std::string(5, '\1'))
                                      .Add(kAccess, std::string(300, '\xFF'))
                                      .Add(kUserEntry, std::string(3, '\0'))
                                      .Bytes();
    const std::string shortFields = CFields()
                                        .Add(kUserID, "\1")
                                        .Add(kIcon, "")
                                        .Add(kAccess, "\xFF\xFF")
                                        .Add(kKind, "\1")
                                        .Add(kUserEntry, "\0\1")
                                        .Bytes();
    const uint16_t types[] = {102, 104, 106, 109, 113, 117, 118, 119, 301, 302, 354, 355};
    uint32_t agreements = 0;
    for (int i = 0; i < 20; ++i)
        h.OnModal<CMyAgreementWin>(
            [&](CMyAgreementWin& w)
            {
                ++agreements;
                w.Hit(CMyAgreementWin::kHitAgree);
            });
    for (uint16_t type : types)
        for (const std::string& body : {truncatedList, lyingField, oversized, shortFields, std::string("\7")})
            h.server.PushTransaction(type, body);
    h.model.SendServerMessage(h.server, "After the malformed ones", 1);
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBoxTitled("Server Message", "After the malformed ones"); },
                            "the message after them"));
    h.Pump();
    EXPECT_TRUE(app->Features().Session().IsConnected());
    EXPECT_TRUE(h.alert.empty()) << h.alert;
    // What fits of a truncated list is used; a field that claims more than follows is absent (so that
    // message has no text and shows nothing); an oversized text is cut to what a message holds, and
    // oversized numbers are read from their first bytes.
    ASSERT_EQ(h.boxes.size(), 3u);
    EXPECT_EQ(h.boxes[0].title, "Administrator Message");
    EXPECT_EQ(h.boxes[0].text, "ab");
    EXPECT_EQ(h.boxes[1].title, "Server Message");
    EXPECT_EQ(h.boxes[1].text, std::string(255, 'x'));
    EXPECT_GE(agreements, 1u);
    // An oversized disconnect message ends the session with its text, cut the same way.
    h.server.PushTransaction(111, oversized);
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(143) && !app->Features().Session().Transactor(); },
                            "the disconnect message"));
    EXPECT_TRUE(h.HasBox(143, std::string(255, 'x')));
    ExpectResponsive(false);
}
