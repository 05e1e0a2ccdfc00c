// The recent servers file is read as hostile input: only well-formed lines count, within their sizes and
// their number, and writing keeps the newest first without repeating a server.
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "client/core/UMyRecentServers.h"

namespace
{
std::string Str(const uint8_t* p)
{
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

SMyRecentServer Server(const std::string& address, const std::string& login = "")
{
    SMyRecentServer s;
    s.address[0] = uint8_t(address.size());
    address.copy(reinterpret_cast<char*>(s.address + 1), address.size());
    s.login[0] = uint8_t(login.size());
    login.copy(reinterpret_cast<char*>(s.login + 1), login.size());
    return s;
}
} // namespace

TEST(RecentServers, OnlyWellFormedLinesWithinTheirSizesAreRead)
{
    const std::string text = "a.example\tann\tA.qbm\n"
                             "no tabs at all\n"
                             "\tempty address\t\n"
                             "b.example\t" +
                             std::string(32, 'l') +
                             "\t\n"                 // login too long
                             "c.example\tc\x01\t\n" // a control character
                             + std::string(256, 'h') +
                             "\t\t\n"               // address too long
                             "a.example\tagain\t\n" // a repeated server
                             "d.example\t\t\r\n"    // a stray carriage return
                             "e.example\t\t";       // no line end at the end
    const auto servers = UMyRecentServers::Parse(text.data(), uint32_t(text.size()));
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_EQ(Str(servers[0].address), "a.example");
    EXPECT_EQ(Str(servers[0].login), "ann");
    EXPECT_EQ(Str(servers[0].bookmark), "A.qbm");
    EXPECT_EQ(Str(servers[1].address), "e.example");

    std::string many;
    for (int i = 0; i < 30; ++i)
        many += "s" + std::to_string(i) + "\t\t\n";
    EXPECT_EQ(UMyRecentServers::Parse(many.data(), uint32_t(many.size())).size(),
              UMyRecentServers::kMaxServers);
}

// A kept password is a fourth field; one that is not whole hexadecimal within 31 bytes loses its line.
TEST(RecentServers, AKeptPasswordComesBackAndOnlyAKeptOneIsWritten)
{
    SMyRecentServer kept = Server("k.example", "kim");
    kept.keepPassword = true;
    kept.password[0] = 3;
    kept.password[1] = 'a';
    kept.password[2] = '\t';
    kept.password[3] = 0xE9;
    SMyRecentServer plain = Server("p.example", "pat");
    plain.password[0] = 2;
    plain.password[1] = 'z';
    plain.password[2] = 'z';
    const std::string text = UMyRecentServers::Format({kept, plain});
    EXPECT_EQ(text, "k.example\tkim\t\t9ef616\np.example\tpat\t\n");
    const std::string bad = "a.example\t\t\t9\n"  // odd
                            "b.example\t\t\t9G\n" // not a digit
                            "c.example\t\t\t" +
                            std::string(64, 'a') +
                            "\n"                   // 32 bytes
                            "d.example\t\t\t\t\n"; // a fifth field
    const auto servers = UMyRecentServers::Parse((text + bad).data(), uint32_t(text.size() + bad.size()));
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_TRUE(servers[0].keepPassword);
    EXPECT_EQ(Str(servers[0].password), "a\t\xE9");
    EXPECT_FALSE(servers[1].keepPassword);
    EXPECT_EQ(servers[1].password[0], 0);
}

TEST(RecentServers, RememberPutsTheNewestFirstOnceAndKeepsTen)
{
    QTemporaryDir home;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);

    EXPECT_TRUE(UMyRecentServers::Read().empty());
    for (int i = 0; i < 12; ++i)
        UMyRecentServers::Remember(Server("s" + std::to_string(i)));
    UMyRecentServers::Remember(Server("s5", "five"));
    const auto servers = UMyRecentServers::Read();
    ASSERT_EQ(servers.size(), UMyRecentServers::kMaxServers);
    EXPECT_EQ(Str(servers[0].address), "s5");
    EXPECT_EQ(Str(servers[0].login), "five");
    EXPECT_EQ(Str(servers[1].address), "s11");
    EXPECT_EQ(Str(servers[9].address), "s2");

    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
