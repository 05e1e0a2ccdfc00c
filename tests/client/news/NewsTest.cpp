// The news window kept live by the server's article notices, posting an article through its dialog,
// and broadcasts out through theirs and in from the server.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>

#include "client/app/AppNumbers.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/news/CMyBroadcastWin.h"
#include "client/news/CMyEnterMsgWin.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CTextView.h"
#include "tests/client/users/UsersTestSupport.h"

using namespace userstest;

namespace
{
class NewsTest : public testing::Test
{
protected:
    NewsTest() : h(MakeRecordingApp) {}
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.news = "Old news";
        h.model.extraUsers.push_back({900, 410, 0, "Robin"});
        h.Start();
        ASSERT_TRUE(h.Login());
        app = static_cast<CRecordingApp*>(&h.App());
        ASSERT_EQ(h.NewsText(), "Old news");
        sounds.Heard().clear();
    }
    // Types the text into a message dialog and presses Send.
    template <class TWin>
    void WriteAndSend(const std::string& text)
    {
        h.OnModal<TWin>(
            [text](TWin& w)
            {
                w.GetTextView()->SetText(text.data(), uint32_t(text.size()));
                w.Hit(CMyTextEntryWin::kHitSend);
            });
    }
    // Waits until every request sent so far was answered and used.
    bool Settle()
    {
        return h.WaitUntil([&] { return app->Features().Tasks().GetItemCount() == 0; },
                           "the tasks to finish");
    }

    CAppHarness h;
    CRecordingApp* app = nullptr;
    CSoundLog sounds;
};
} // namespace

TEST_F(NewsTest, TheLaterOfTwoArticlesIsOnTop)
{
    app->Features().Windows().News()->Hide();
    h.server.PushTransaction(102, CFields().Add(101, "First article\r").Bytes());
    h.server.PushTransaction(102, CFields().Add(101, "Second article\r").Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return h.NewsText().rfind("Second", 0) == 0; }, "the second article"));
    EXPECT_EQ(h.NewsText(), "Second article\rFirst article\rOld news");
    EXPECT_EQ(sounds.Count(kSoundNews), 2u);
    // Neither shown nor brought forward.
    EXPECT_FALSE(app->Features().Windows().News()->IsVisible());
    // An article with nothing in it changes no text; the switch silences the sound.
    app->Features().Settings().sound.news = 0;
    h.server.PushTransaction(102, CFields().Bytes());
    h.server.PushTransaction(102, CFields().Add(101, "Third\r").Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return h.NewsText().rfind("Third", 0) == 0; }, "the third article"));
    EXPECT_EQ(h.NewsText(), "Third\rSecond article\rFirst article\rOld news");
    EXPECT_EQ(sounds.Count(kSoundNews), 2u);
}

TEST_F(NewsTest, APostedArticleAppearsOnlyWhenTheServerAnnouncesIt)
{
    // The server takes the article but announces nothing yet.
    h.server.SetReply(103, STestReply{});
    WriteAndSend<CMyEnterMsgWin>("Hello\rworld");
    h.Key('P', 'p', kModCtrl);
    ASSERT_EQ(h.modalCount, 1u);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Requests(103).size() == 1; }, "the post request"));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(CAppHarness::Field(h.Requests(103)[0], 101), "Hello\rworld");
    EXPECT_EQ(h.NewsText(), "Old news");
    h.server.PushTransaction(102, CFields().Add(101, "Hello\rworld\r").Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return h.NewsText() == "Hello\rworld\rOld news"; }, "the announcement"));
}

TEST_F(NewsTest, CtrlReturnSendsAPostOrABroadcastWhereReturnBreaksTheLine)
{
    // Typed as a user types: Return stays in the text, Ctrl+Return presses Send.
    auto typeAndSend = [](CMyTextEntryWin& w)
    {
        QWidget* edit = w.GetTextView()->TextEdit();
        QTest::keyClicks(edit, "two");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, "lines");
        QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    };
    h.OnModal<CMyEnterMsgWin>(typeAndSend);
    h.Hit(app->Features().Windows().Toolbar(), kHitPostNews);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Requests(103).size() == 1; }, "the post request"));
    EXPECT_EQ(CAppHarness::Field(h.Requests(103)[0], 101), "two\rlines");
    h.OnModal<CMyBroadcastWin>(typeAndSend);
    h.Hit(app->Features().Windows().Toolbar(), kHitBroadcast);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Requests(355).size() == 1; }, "the broadcast"));
    EXPECT_EQ(CAppHarness::Field(h.Requests(355)[0], 101), "two\rlines");
    EXPECT_EQ(h.modalCount, 2u);
}

TEST_F(NewsTest, TheServerAnnouncesAPostToItsAuthorWithAuthorAndDate)
{
    WriteAndSend<CMyEnterMsgWin>("Fresh from the press");
    h.MenuItem(kItemPostNews);
    const std::string byline = "From " + CAppHarness::Str(app->Features().Settings().userName) + " (";
    ASSERT_TRUE(h.WaitUntil([&] { return h.NewsText().rfind(byline, 0) == 0; }, "the article"));
    EXPECT_NE(h.NewsText().find("Fresh from the press\r____"), std::string::npos);
    EXPECT_NE(h.NewsText().find("Old news"), std::string::npos);
}

TEST_F(NewsTest, AnEmptyArticleOrBroadcastBeepsAndTheDialogStays)
{
    // Send with nothing written, then Cancel: one beep, nothing posted.
    h.OnModal<CMyEnterMsgWin>([](CMyEnterMsgWin& w) { w.Hit(CMyTextEntryWin::kHitSend); });
    h.OnModal<CMyEnterMsgWin>([](CMyEnterMsgWin& w) { w.Hit(CMyTextEntryWin::kHitCancel); });
    h.Hit(app->Features().Windows().Toolbar(), kHitPostNews);
    EXPECT_EQ(h.modalCount, 2u);
    EXPECT_EQ(sounds.Count(USound::kSoundBeep), 1u);

    // Send with nothing written, then write and send: one beep, one broadcast.
    h.OnModal<CMyBroadcastWin>([](CMyBroadcastWin& w) { w.Hit(CMyTextEntryWin::kHitSend); });
    WriteAndSend<CMyBroadcastWin>("Server restarts at noon");
    h.Hit(app->Features().Windows().Toolbar(), kHitBroadcast);
    EXPECT_EQ(h.modalCount, 4u);
    EXPECT_EQ(sounds.Count(USound::kSoundBeep), 2u);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Requests(355).size() == 1; }, "the broadcast"));
    EXPECT_EQ(CAppHarness::Field(h.Requests(355)[0], 101), "Server restarts at noon");
    EXPECT_TRUE(h.Requests(103).empty());
    ASSERT_TRUE(Settle());
}

TEST_F(NewsTest, ADialogWhoseSessionEndedSendsNothing)
{
    h.OnModal<CMyBroadcastWin>(
        [&](CMyBroadcastWin& w)
        {
            w.GetTextView()->SetText("late", 4);
            h.server.CloseConnection();
        });
    h.Hit(app->Features().Windows().Toolbar(), kHitBroadcast);
    EXPECT_FALSE(app->Features().Session().IsConnected());
    h.Pump();
    EXPECT_TRUE(h.Requests(355).empty());
    // Not connected: broadcasting beeps, posting does nothing.
    sounds.Heard().clear();
    h.Hit(app->Features().Windows().Toolbar(), kHitBroadcast);
    h.Key('P', 'p', kModCtrl);
    EXPECT_EQ(h.modalCount, 1u);
    EXPECT_EQ(sounds.Heard(), std::vector<int16_t>{USound::kSoundBeep});
}

TEST_F(NewsTest, ABroadcastIsShownAsAMessageAndNeverAnswered)
{
    const std::string broadcast = CFields()
                                      .AddInteger(103, 900)
                                      .Add(102, "Robin")
                                      .AddInteger(113, 1)
                                      .Add(101, "Hello everybody")
                                      .Bytes();
    // Even with an automatic response on, nothing goes back to the sender.
    app->Features().Settings().automaticResponse = 1;
    h.server.PushTransaction(355, broadcast);
    ASSERT_TRUE(h.WaitUntil([&] { return app->shown.size() == 1; }, "the broadcast"));
    ASSERT_EQ(h.Windows<CMyPrivMsgWin>().size(), 1u);
    CMyPrivMsgWin* shown = h.Windows<CMyPrivMsgWin>()[0];
    EXPECT_EQ(CAppHarness::Title(shown), "Broadcast message from: Robin");
    ASSERT_EQ(app->shown.size(), 1u);
    EXPECT_TRUE(app->shown[0].isBroadcast);
    EXPECT_EQ(app->shown[0].text, "Hello everybody");

    // With private messages refused, a broadcast is not shown either (and not answered).
    app->Features().Settings().automaticResponse = 0;
    app->Features().Settings().refusePrivateMsg = 1;
    h.server.PushTransaction(355, broadcast);
    // A marker notice after it: by the time it is listed, the broadcast was handled.
    h.server.PushTransaction(301, UserNotice(77, 0, 0, "marker"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.OnlineUserNames().size() == 3; }, "the marker"));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(app->shown.size(), 2u);
    EXPECT_EQ(h.Windows<CMyPrivMsgWin>().size(), 1u);
    EXPECT_TRUE(h.Requests(108).empty());
    h.Hit(shown, kHitCloseBox);
}
