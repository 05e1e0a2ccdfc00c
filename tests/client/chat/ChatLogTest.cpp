// What the public chat keeps: its logs on disk across sessions, a log that cannot be written never in
// the chat's way, and the scrollback of the same server across a new connection.
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/core/CMyChatLog.h"
#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UDateTime.h"
#include "framework/ui/CTextView.h"
#include "platform/OpenURL.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
class ChatLog : public ChatFixture
{
protected:
    std::string LogText() const
    {
        const std::string port = h.Address().substr(h.Address().find(':') + 1);
        QFile log(
            QString::fromStdString(h.UserFolder() + "/Logs/127.0.0.1_" + port + "/" + Today() + ".log"));
        return log.open(QIODevice::ReadOnly) ? log.readAll().toStdString() : std::string();
    }
    static std::string Today()
    {
        const SCalendarDate now = UDateTime::Now();
        char date[16];
        std::snprintf(date, sizeof(date), "%04d-%02d-%02d", now.year, now.month, now.day);
        return date;
    }
};

bool WriteLog(const std::string& path, const std::string& text)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), qint64(text.size())) == qint64(text.size());
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(ChatLog, LinesAreLoggedAsUtf8AndAppendedAcrossSessions)
{
    h.server.PushTransaction(106, ChatLine("\rRobin:  caf\x8E one"));
    ASSERT_TRUE(WaitForChat("Robin:  caf\x8E one"));
    app->Features().Chat().Log().Flush();
    const std::string port = h.Address().substr(h.Address().find(':') + 1);
    QFile log(QString::fromStdString(h.UserFolder() + "/Logs/127.0.0.1_" + port + "/" + Today() + ".log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << log.fileName().toStdString();
    const std::string first = log.readAll().toStdString();
    EXPECT_NE(first.find("] Robin:  caf\xC3\xA9 one\n"), std::string::npos) << first;
    log.close();

    // A second session with the same server: appended to the same day's log, and the public chat keeps
    // what was said, below a line that marks the new session.
    app->DoDisconnect();
    ASSERT_TRUE(h.Login());
    h.server.PushTransaction(106, ChatLine("\rRobin:  two"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("two") != std::string::npos; }, "the line"));
    const std::string chat = h.ChatText();
    EXPECT_EQ(chat.find("Robin:  caf\x8E one\r\xD1 connected to 127.0.0.1:"), 0u) << chat;
    EXPECT_LT(chat.find("\xD1 connected to"), chat.find("Robin:  two"));
    app->Features().Chat().Log().Flush();
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const std::string both = log.readAll().toStdString();
    EXPECT_EQ(both.find(first), 0u);
    EXPECT_NE(both.find("] Robin:  two\n"), std::string::npos);
}

TEST_F(ChatLog, ADiskThatRefusesTheLogLeavesTheChatWorkingWithOneNote)
{
    // A file where the logs folder should be: no folder can be made below it.
    QFile blocker(QString::fromStdString(h.UserFolder() + "/Logs"));
    QDir().mkpath(QString::fromStdString(h.UserFolder()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (int i = 0; i < 3; ++i)
    {
        h.server.PushTransaction(106, ChatLine("\rRobin:  line " + std::to_string(i)));
        ASSERT_TRUE(h.WaitUntil(
            [&] { return h.ChatText().find("line " + std::to_string(i)) != std::string::npos; }, "the line"));
        app->Features().Chat().Log().Flush();
    }
    h.server.PushTransaction(106, ChatLine("\rRobin:  last"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("last") != std::string::npos; }, "the last line"));
    EXPECT_EQ(Count(h.ChatText(), "The chat log cannot be written"), 1u) << h.ChatText();
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(app->Features().Session().IsConnected());
}

// Private chats and messages share the day's file with the public chat, each line naming its
// conversation; nothing is written per line, and a line that nobody follows still reaches the disk a
// moment later, by the timer.
TEST_F(ChatLog, MessagesAndPrivateChatsGoToTheDayFileByTheTimerNamingTheirConversation)
{
    StClockInHand clock;
    h.server.PushTransaction(106, ChatLine("\rRobin:  public"));
    h.server.PushTransaction(104, testwire::CFields()
                                      .AddInteger(103, kRobin)
                                      .Add(102, "R\x8E"
                                                "bin")
                                      .AddInteger(113, 1)
                                      .Add(101, "a note\rwith two lines")
                                      .Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return !h.Windows<CMyPrivMsgWin>().empty(); }, "the message"));
    ASSERT_TRUE(WaitForChat("Robin:  public"));
    EXPECT_EQ(app->Features().Chat().Log().WriteCount(), 0u) << "written before the timer";
    EXPECT_EQ(LogText(), "");
    UClock::Advance(CMyChatLog::kFlushDelayMs);
    ASSERT_TRUE(
        h.WaitUntil([&] { return app->Features().Chat().Log().WriteCount() == 1; }, "the timer's write"));
    const std::string log = LogText();
    EXPECT_NE(log.find("] Robin:  public\n"), std::string::npos) << log;
    EXPECT_NE(log.find("] (message from R\xC3\xA9"
                       "bin) a note\n    with two lines\n"),
              std::string::npos)
        << log;
    EXPECT_LT(log.find("public"), log.find("a note"));
}

// With the option on, a fresh public chat starts with the last 200 public lines its log holds of that
// server, today's and the days before, greyed and above the line that marks the new session; other
// conversations' lines stay out.
TEST_F(ChatLog, AFreshChatStartsWithTheLastLoggedPublicLinesGreyed)
{
    app->Features().Settings().chatReplay = true;
    const std::string port = h.Address().substr(h.Address().find(':') + 1);
    const std::string folder = h.UserFolder() + "/Logs/127.0.0.1_" + port + "/";
    QDir().mkpath(QString::fromStdString(folder));
    std::string yesterday, today;
    for (int i = 1; i <= 150; ++i)
        yesterday += "[10:00] Ann:  old " + std::to_string(i) + "\n";
    for (int i = 151; i <= 250; ++i)
        today += "[11:00] Ann:  new " + std::to_string(i) + "\n" + "[11:00] (private chat 7) secret " +
                 std::to_string(i) + "\n    more of it\n";
    today += "[11:01] Ann:  caf\xC3\xA9\n    and a second line\n";
    ASSERT_TRUE(WriteLog(folder + Today() + ".log", today));
    const SCalendarDate now = UDateTime::Now();
    const std::chrono::year_month_day before{
        std::chrono::sys_days{std::chrono::year_month_day{std::chrono::year{now.year},
                                                          std::chrono::month{unsigned(now.month)},
                                                          std::chrono::day{unsigned(now.day)}}} -
        std::chrono::days{1}};
    char date[16];
    std::snprintf(date, sizeof(date), "%04d-%02u-%02u", int(before.year()), unsigned(before.month()),
                  unsigned(before.day()));
    ASSERT_TRUE(WriteLog(folder + date + ".log", yesterday));

    app->DoDisconnect();
    app->Features().Chat().ClearPublicChat();
    ASSERT_TRUE(h.Login());
    const std::string chat = h.ChatText();
    EXPECT_EQ(chat.find("[10:00] Ann:  old 52\r"), 0u) << chat.substr(0, 200);
    EXPECT_EQ(chat.find("old 51"), std::string::npos);
    EXPECT_NE(
        chat.find("\r[11:00] Ann:  new 250\r[11:01] Ann:  caf\x8E\r    and a second line\r\xD1 connected to"),
        std::string::npos)
        << chat;
    EXPECT_EQ(chat.find("secret"), std::string::npos);
    EXPECT_EQ(chat.find("more of it"), std::string::npos);
    CTextView* view = app->Features().Windows().Chat()->GetChatView();
    QTextCursor at(view->TextEdit()->document());
    at.setPosition(int(chat.find("new 250")));
    EXPECT_EQ(at.charFormat().foreground().color(),
              view->TextEdit()->palette().color(QPalette::PlaceholderText));

    // Switched off, a fresh chat starts empty.
    app->Features().Settings().chatReplay = false;
    app->DoDisconnect();
    app->Features().Chat().ClearPublicChat();
    ASSERT_TRUE(h.Login());
    EXPECT_EQ(h.ChatText().find("Ann:"), std::string::npos);
}

TEST_F(ChatLog, AnotherServerStartsAFreshChatAndNoLogWhenSwitchedOff)
{
    app->Features().Settings().chatLogs = false;
    h.server.PushTransaction(106, ChatLine("\rRobin:  here"));
    ASSERT_TRUE(WaitForChat("Robin:  here"));
    app->Features().Chat().Log().Flush();
    EXPECT_FALSE(QDir(QString::fromStdString(h.UserFolder() + "/Logs")).exists());
    // The same server under another name is another server.
    app->DoConnect(CAppHarness::P("localhost:1").data(), nullptr);
    EXPECT_EQ(h.ChatText(), "");
}
TEST_F(ChatLog, OpenLogsFolderShowsTheFolderTheLogsGoTo)
{
    static std::string opened;
    opened.clear();
    platform::SetOpenURLProc(
        [](const char* url, size_t size)
        {
            opened.assign(url, size);
            return true;
        });
    h.MenuItem(kItemOpenLogs);
    platform::SetOpenURLProc(nullptr);
    // Made when missing, so that the file manager has a folder to open.
    EXPECT_TRUE(QDir(QString::fromStdString(h.UserFolder() + "/Logs")).exists());
    EXPECT_EQ(opened, "file://" + h.UserFolder() + "/Logs");
}
} // namespace

// The chat logs its lines from their own bytes, not through the general conversion: every character of
// the set must come out as that conversion writes it, and a break inside a line as its indented rest.
TEST_F(ChatLog, EveryCharacterOfTheSetIsWrittenAsTheGeneralConversionWritesIt)
{
    h.Start();
    std::string all;
    for (int b = 0x20; b <= 0xFF; ++b)
        if (b != 0x7F) all.push_back(char(b));
    CMyChatLog log;
    log.Begin("every:1");
    log.AddMacRoman("2026-12-10", "14:05", "", reinterpret_cast<const uint8_t*>(all.data()),
                    uint32_t(all.size()));
    log.AddMacRoman("2026-12-10", "14:06", "note", reinterpret_cast<const uint8_t*>("one\rtwo"), 7);
    ASSERT_TRUE(log.Flush());
    QFile file(QString::fromStdString(CMyChatLog::LogsFolder(false) + "/" +
                                      CMyChatLog::FolderName("every:1") + "/2026-12-10.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "[14:05] " + MacRomanToUtf8(all.data(), uint32_t(all.size())) +
                                                "\n[14:06] (note) one\n    two\n");
}
