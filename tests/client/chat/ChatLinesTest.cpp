// How the conversation's lines are shown: links that open on a click, the time before each line when
// asked for, the user's own lines set apart and lines that name him highlighted.
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/UMyLinks.h"
#include "client/chat/UMyChatLine.h"
#include "platform/OpenURL.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
std::vector<std::string> gOpened;

bool RecordOpen(const char* url, size_t size)
{
    gOpened.emplace_back(url, size);
    return true;
}

class ChatLines : public ChatFixture
{
protected:
    void SetUp() override
    {
        gOpened.clear();
        platform::SetOpenURLProc(RecordOpen);
        ChatFixture::SetUp();
    }
    void TearDown() override
    {
        platform::SetOpenURLProc(nullptr);
        ChatFixture::TearDown();
    }
    QPlainTextEdit* ChatEdit() const { return app->Features().Windows().Chat()->GetChatView()->TextEdit(); }
    // The look of the character at a position of the public chat's text.
    QTextCharFormat FormatAt(int position) const
    {
        QTextCursor c(ChatEdit()->document());
        c.setPosition(position + 1);
        return c.charFormat();
    }
    int Find(const std::string& what) const { return int(h.ChatText().find(what)); }
};

std::vector<std::string> Links(const std::string& text)
{
    std::vector<STextRun> runs;
    UMyLinks::Find(reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size()), runs);
    std::vector<std::string> found;
    for (const STextRun& run : runs)
        found.push_back(text.substr(run.start, run.length));
    return found;
}

TEST(ChatLinkFinder, ALinkRunsAsFarAsTheURLCharactersGo)
{
    EXPECT_EQ(Links("see https://example.org/page now"),
              std::vector<std::string>{"https://example.org/page"});
    // A double quote, a blank, an angle bracket and a Mac OS Roman letter all end a link.
    EXPECT_EQ(Links("\"http://a.b/c\" <ftp://x.y/z> https://q.r/caf\x8E"),
              (std::vector<std::string>{"http://a.b/c", "ftp://x.y/z", "https://q.r/caf"}));
    EXPECT_EQ(Links("(quenvol://host:5500/)"), std::vector<std::string>{"quenvol://host:5500/)"});
    // No scheme, nothing after the slashes, or a scheme that does not start with a letter: no link.
    EXPECT_TRUE(Links("://x.y a:// b 12://c.d").empty());
    EXPECT_EQ(Links("x1.5://c"), std::vector<std::string>{"x1.5://c"});
    // What the opener takes at most.
    EXPECT_EQ(Links("http://" + std::string(600, 'a'))[0].size(), 511u);
}

TEST_F(ChatLines, ALinkIsDrawnAsOneAndAClickOpensExactlyTheURL)
{
    h.server.PushTransaction(106, ChatLine("\rRobin:  read https://example.org/page?a=1&b=2\" twice"));
    ASSERT_TRUE(WaitForChat("Robin:  read https://example.org/page?a=1&b=2\" twice"));
    const int at = Find("https://");
    EXPECT_TRUE(FormatAt(at).isAnchor());
    EXPECT_FALSE(FormatAt(Find("twice")).isAnchor());
    EXPECT_FALSE(FormatAt(Find("read")).isAnchor());

    // A real click on the link's middle, in the window as it is drawn.
    QPlainTextEdit* edit = ChatEdit();
    QTextCursor c(edit->document());
    c.setPosition(at + 10);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, edit->cursorRect(c).center());
    ASSERT_EQ(gOpened, std::vector<std::string>{"https://example.org/page?a=1&b=2"});
    // Text that is not a link opens nothing.
    c.setPosition(Find("twice") + 2);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, edit->cursorRect(c).center());
    EXPECT_EQ(gOpened.size(), 1u);
    // A later line keeps its plain look after the link that ended the text before it.
    h.server.PushTransaction(106, ChatLine("\rRobin:  http://x.y"));
    h.server.PushTransaction(106, ChatLine("\rRobin:  plain"));
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.ChatText().find("plain") != std::string::npos; }, "the plain line"));
    EXPECT_FALSE(FormatAt(Find("plain")).isAnchor());
}

TEST_F(ChatLines, AQuenvolLinkConnectsInThisClient)
{
    const size_t loginsBefore = h.Requests(107).size();
    const std::string url = "quenvol://" + h.Address() + "/";
    h.server.PushTransaction(106, ChatLine("\rRobin:  come to " + url));
    ASSERT_TRUE(WaitForChat("Robin:  come to " + url));
    ASSERT_TRUE(app->Features().Windows().Chat()->GetChatView()->OpenLinkAt(uint32_t(Find("quenvol:") + 3)));
    EXPECT_TRUE(gOpened.empty()) << "the desktop's opener got the client's own address";
    EXPECT_TRUE(h.WaitUntil([&] { return h.Requests(107).size() > loginsBefore; }, "a new login"));
}

TEST_F(ChatLines, LinksInMessagesAndNewsOpenToo)
{
    h.server.PushTransaction(104, testwire::CFields()
                                      .AddInteger(103, kRobin)
                                      .Add(102, "Robin")
                                      .AddInteger(113, 1)
                                      .Add(101, "look: http://m.example/x")
                                      .Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return !h.Windows<CMyPrivMsgWin>().empty(); }, "the message"));
    CTextView* text = h.Windows<CMyPrivMsgWin>()[0]->GetTextView();
    ASSERT_TRUE(text->OpenLinkAt(uint32_t(text->GetText().find("http") + 1)));
    EXPECT_EQ(gOpened, std::vector<std::string>{"http://m.example/x"});
}

TEST_F(ChatLines, TimesStandBeforeEachLineOnlyWhenAskedFor)
{
    h.server.PushTransaction(106, ChatLine("\rRobin:  one"));
    ASSERT_TRUE(WaitForChat("Robin:  one"));
    app->Features().Settings().chatTimeStamps = true;
    h.server.PushTransaction(106, ChatLine("\rRobin:  two"));
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.ChatText().find("two") != std::string::npos; }, "the second line"));
    const QString text = QString::fromStdString(h.ChatText());
    EXPECT_TRUE(QRegularExpression("^Robin:  one\r\\[\\d\\d:\\d\\d\\] Robin:  two$").match(text).hasMatch())
        << h.ChatText();
    // The first line of an empty view takes its time too, without the return before it.
    app->Features().Chat().ClearPublicChat();
    h.server.PushTransaction(106, ChatLine("\rRobin:  three"));
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.ChatText().find("three") != std::string::npos; }, "the third line"));
    EXPECT_TRUE(QRegularExpression("^\\[\\d\\d:\\d\\d\\] Robin:  three$")
                    .match(QString::fromStdString(h.ChatText()))
                    .hasMatch())
        << h.ChatText();
}

TEST_F(ChatLines, OwnLinesAreBoldAndLinesNamingTheUserAreTinted)
{
    app->Features().Settings().chatTimeStamps = true;
    app->Features().Settings().chatMentionWords = "lunch, Harbour";
    h.server.PushTransaction(106, ChatLine("\rtester:  my own line"));
    h.server.PushTransaction(106, ChatLine("\rRobin:  hey TESTER, look"));
    h.server.PushTransaction(106, ChatLine("\rRobin:  testers are not you"));
    h.server.PushTransaction(106, ChatLine("\rRobin:  meet at the harbour"));
    h.server.PushTransaction(106, ChatLine("\r <<< tester has joined the chat >>>"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("joined") != std::string::npos; }, "the lines"));
    EXPECT_EQ(FormatAt(Find("tester:")).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(Find("my own")).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(Find("my own")).background().style(), Qt::SolidPattern)
        << "one's own name is no mention";
    EXPECT_EQ(FormatAt(Find("hey TESTER")).background().style(), Qt::SolidPattern);
    EXPECT_NE(FormatAt(Find("testers are")).background().style(), Qt::SolidPattern);
    EXPECT_EQ(FormatAt(Find("meet at")).background().style(), Qt::SolidPattern);
    EXPECT_NE(FormatAt(Find("<<< tester")).background().style(), Qt::SolidPattern);

    // One switch turns them off.
    app->Features().Settings().chatMentions = false;
    h.server.PushTransaction(106, ChatLine("\rRobin:  tester again"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("again") != std::string::npos; }, "the line"));
    EXPECT_NE(FormatAt(Find("tester again")).background().style(), Qt::SolidPattern);
}

TEST(ChatLineLook, WordsAreWholeWordsAndActionsOfTheUserAreHisOwn)
{
    EXPECT_TRUE(UMyChatLine::HasWord(reinterpret_cast<const uint8_t*>("ask Bob."), 8, "bob"));
    EXPECT_FALSE(UMyChatLine::HasWord(reinterpret_cast<const uint8_t*>("Bobby"), 5, "bob"));
    EXPECT_FALSE(UMyChatLine::HasWord(reinterpret_cast<const uint8_t*>("caf\x8E"
                                                                       "bob"),
                                      7, "bob"));
    const auto name = CAppHarness::P("tester");
    SMyChatLineStyle style;
    style.ownName = name.data();
    style.mentions = true;
    const std::string action = "\r *** tester waves at tester";
    const SMyChatLine line = UMyChatLine::Decorate(action.data(), uint32_t(action.size()), style);
    EXPECT_TRUE(line.own);
    EXPECT_FALSE(line.mention);
    ASSERT_EQ(line.runs.size(), 1u);
    EXPECT_EQ(line.text.substr(line.runs[0].start, line.runs[0].length), "tester");
}
} // namespace
