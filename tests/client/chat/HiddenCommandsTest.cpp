// The scrambling tables and walk, and the hidden command window's commands.
#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "client/chat/CMySecretWin.h"
#include "client/chat/UMyChatScram.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UText.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
TEST(ChatScram, EveryKeyPermutesEachSetAndTheInverseUndoesIt)
{
    const std::string sets[] = {"bcdfghjklmnpqrstvwxyz", "BCDFGHJKLMNPQRSTVWXYZ", "aeiou", "0123456789"};
    std::array<uint8_t, 256> scram{}, unscram{};
    // Keys of digits, and of other characters that count as 9 or as large unsigned values.
    std::vector<std::string> keys;
    for (int k = 0; k < 1000; ++k)
        keys.push_back(std::string{char('0' + k / 100), char('0' + k / 10 % 10), char('0' + k % 10)});
    keys.insert(keys.end(), {"!!!", "zzz", "\xFF\x01~", "a0/"});
    for (const std::string& key : keys)
    {
        UMyChatScram::MakeTables(reinterpret_cast<const uint8_t*>(key.data()), scram.data(), unscram.data());
        for (const std::string& set : sets)
        {
            std::set<uint8_t> images;
            for (char c : set)
                images.insert(scram[uint8_t(c)]);
            EXPECT_EQ(images, std::set<uint8_t>(set.begin(), set.end())) << "key " << key << ", set " << set;
        }
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(unscram[scram[i]], i) << "key " << key;
        EXPECT_EQ(scram['A'], 'A'); // upper-case vowels, punctuation and the rest stay
        EXPECT_EQ(scram[':'], ':');
    }
}

TEST(ChatScram, QuotedTextStaysAndAnUnmatchedQuoteEndsTheWalk)
{
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = uint8_t(i == 'a' ? 'b' : i == 'b' ? 'a' : i);
    auto scrambled = [&](std::string text)
    {
        UMyChatScram::Scramble(reinterpret_cast<uint8_t*>(text.data()), uint32_t(text.size()), table.data());
        return text;
    };
    EXPECT_EQ(scrambled("ab \"ab\" ab"), "ba \"ab\" ba");
    EXPECT_EQ(scrambled("ab \"ab ab"), "ba \"ab ab");
    EXPECT_EQ(scrambled("\"\"ab\"a\"b"), "\"\"ba\"a\"a");
    EXPECT_EQ(scrambled(""), "");
}

class HiddenCommands : public ChatFixture
{
protected:
    void Command(const std::string& text)
    {
        h.OnModal<CMySecretWin>(
            [text](CMySecretWin& w)
            {
                w.GetField()->SetText(text.data(), uint32_t(text.size()));
                w.Hit(CMySecretWin::kHitExecute);
            });
        h.Key(kKeyF1 + 11, 0, kModCtrl);
    }
};

TEST_F(HiddenCommands, ScramblingAndIconsChangeOnlyByTheRightWords)
{
    Command("SCRAMBLE 123");
    EXPECT_TRUE(app->Features().Chat().IsScrambling());
    Command("scramble 12");
    EXPECT_FALSE(app->Features().Chat().IsScrambling());

    const uint16_t icon = app->Features().Settings().iconID;
    Command("icon 410"); // the hidden icons are refused by number
    EXPECT_EQ(app->Features().Settings().iconID, icon);
    Command("icon 1002");
    EXPECT_EQ(app->Features().Settings().iconID, icon);
    Command("icon-c");
    EXPECT_EQ(app->Features().Settings().iconID, 139);
    Command("icon 2005");
    EXPECT_EQ(app->Features().Settings().iconID, 2005);
    Command("icons 200"); // not a word
    EXPECT_EQ(app->Features().Settings().iconID, 2005);

    Command("sndbuf 1");
    EXPECT_EQ(UTransport::GetSendBufferSize(), 16384u);
    Command("sndbuf 4294967");
    EXPECT_EQ(UTransport::GetSendBufferSize(), 64u * 1024 * 1024);
    Command("sndbuf 64");
    EXPECT_EQ(UTransport::GetSendBufferSize(), 65536u);
}

TEST_F(HiddenCommands, AnnouncementsAndPorkGoToThePublicChat)
{
    app->Features().Statistics().totalBytesDownloaded = 3 * 1024 * 1024;
    app->Features().Statistics().totalBytesUploaded = 0;
    Command("rating");
    Command("stats");
    ASSERT_TRUE(WaitForRequests(105, 2));
    auto lines = h.Requests(105);
    EXPECT_EQ(CAppHarness::Field(lines[0], 109), std::string("\0\1", 2));
    EXPECT_EQ(CAppHarness::Field(lines[0], 101), "announces a LEECH RATING of >>>> \xB0");
    char down[32], up[32];
    const std::string expected = std::string(down, UText::SizeToText(3 * 1024 * 1024, down, 32, 1)) +
                                 " downloaded, " + std::string(up, UText::SizeToText(0, up, 32, 1)) +
                                 " uploaded, ";
    EXPECT_EQ(CAppHarness::Field(lines[1], 101).rfind(expected, 0), 0u) << CAppHarness::Field(lines[1], 101);

    app->Features().Statistics().totalBytesUploaded = 2 * 1024 * 1024;
    Command("rating"); // 3 MB down, 2 MB up
    Command("pork");
    ASSERT_TRUE(WaitForRequests(304, 1));
    const auto pork = h.Requests(304)[0];
    EXPECT_EQ(CAppHarness::Field(pork, 104), testwire::BE16(154));
    EXPECT_EQ(CAppHarness::Field(pork, 102), "Bacon");
    SayInPublic("what I meant to say");
    ASSERT_TRUE(WaitForRequests(105, 4));
    lines = h.Requests(105);
    EXPECT_EQ(CAppHarness::Field(lines[2], 101), "announces a LEECH RATING of >>>> 1");
    const std::string said = CAppHarness::Field(lines[3], 101);
    EXPECT_TRUE(said == "pork" || said.rfind("pork pork", 0) == 0 || said == "doze frogz are gunna pay")
        << said;
}
} // namespace
