// What the public chat keeps: its logs on disk across sessions, a log that cannot be written never in
// the chat's way, and the scrollback of the same server across a new connection.
#include <QDir>
#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "client/app/AppNumbers.h"
#include "framework/runtime/UDateTime.h"
#include "platform/OpenURL.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
using ChatLog = ChatFixture;

std::string Today()
{
    const SCalendarDate now = UDateTime::Now();
    char date[16];
    std::snprintf(date, sizeof(date), "%04d-%02d-%02d", now.year, now.month, now.day);
    return date;
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
    app->Chat().Log().Flush();
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
    app->Chat().Log().Flush();
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
        app->Chat().Log().Flush();
    }
    // The note comes with the next line after the failure.
    h.server.PushTransaction(106, ChatLine("\rRobin:  last"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.ChatText().find("last") != std::string::npos; }, "the last line"));
    EXPECT_EQ(Count(h.ChatText(), "The chat log cannot be written"), 1u) << h.ChatText();
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(app->Session().IsConnected());
}

TEST_F(ChatLog, AnotherServerStartsAFreshChatAndNoLogWhenSwitchedOff)
{
    app->Settings().chatLogs = false;
    h.server.PushTransaction(106, ChatLine("\rRobin:  here"));
    ASSERT_TRUE(WaitForChat("Robin:  here"));
    app->Chat().Log().Flush();
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
