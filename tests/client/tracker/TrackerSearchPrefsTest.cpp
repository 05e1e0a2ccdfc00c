// The search words of the servers window and the tracker block of the preferences.
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "client/core/TrackerRecords.h"
#include "client/core/UMyTrackerPrefs.h"
#include "client/tracker/UMyTrackerSearch.h"
#include "framework/runtime/SError.h"

namespace
{
STrackInfo ListedServer(const std::string& name, const std::string& desc)
{
    STrackInfo s;
    s.Name = name;
    s.Desc = desc;
    s.SearchName = UMyTrackerSearch::ToLower(name);
    s.SearchDesc = UMyTrackerSearch::ToLower(desc);
    return s;
}

void SetP(uint8_t* dest, const std::string& text)
{
    dest[0] = uint8_t(text.size());
    std::memcpy(dest + 1, text.data(), text.size());
}

std::string PText(const uint8_t* s)
{
    return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

STrackServerInfo Tracker(const std::string& name, const std::string& address, int16_t use)
{
    STrackServerInfo t;
    SetP(t.Name, name);
    SetP(t.Address, address);
    SetP(t.Login, "login-" + name);
    SetP(t.Pass, "pw");
    t.useServer = use;
    t.hasAccount = 1;
    return t;
}
} // namespace

TEST(TrackerSearch, WordsMatchNameOrDescriptionAndDashWordsExclude)
{
    const STrackInfo chat = ListedServer("Harbour Chat", "Boats and WEATHER");
    const STrackInfo owls = ListedServer("Night Owls", "late chat");
    const STrackInfo books = ListedServer("Library", "books");
    auto show = [](const std::string& text, const STrackInfo& s)
    { return UMyTrackerSearch::ShowInList(text, s); };
    // Both sides lower case: capitals in the text or the server make no difference.
    EXPECT_TRUE(show("CHAT weather", chat));
    EXPECT_FALSE(show("chat weather", owls));
    EXPECT_TRUE(show("chat -boats", owls));
    EXPECT_FALSE(show("chat -boats", chat));
    EXPECT_FALSE(show("chat -boats", books));
    // One capital letter: servers holding it in either case.
    EXPECT_TRUE(show("W", owls));
    EXPECT_FALSE(show("W", books));
    // "-" alone shows everything; "-" and a letter hides the servers holding the letter.
    EXPECT_TRUE(show("-", books));
    EXPECT_TRUE(show("", books));
    EXPECT_FALSE(show("-k", books));
    EXPECT_TRUE(show("-k", owls));
    // Runs of blanks separate words; a leading blank gives an empty word that everything matches.
    EXPECT_TRUE(show("  night   owls ", owls));
    EXPECT_EQ(UMyTrackerSearch::SplitWords(" a").size(), 2u);
}

TEST(TrackerSearch, AtMostTwentyFourWordsTakePart)
{
    std::string text;
    for (int i = 0; i < 24; ++i)
        text += "a ";
    const STrackInfo s = ListedServer("a", "");
    EXPECT_EQ(UMyTrackerSearch::SplitWords(text + "zzz").size(), 24u);
    EXPECT_TRUE(UMyTrackerSearch::ShowInList(text + "zzz", s)) << "the 25th word is ignored";
    EXPECT_FALSE(UMyTrackerSearch::ShowInList("zzz " + text, s));
}

TEST(TrackerPrefs, TheBlockReadsBackWhatWasWritten)
{
    SMyTrackerBlock block;
    block.trackersWinBounds = SRect{10, 20, 340, 220};
    block.serversWinBounds = SRect{-50, 60, 280, 394};
    block.trackersWinVisible = true;
    block.trackers = {Tracker("One", "tracker.example.org", 1), Tracker("Two", "127.0.0.1:7000", 0)};
    const std::string bytes = UMyTrackerPrefs::Write(block);
    // 30 bytes of head, then per tracker 9 bytes and its strings.
    const uint32_t strings1 = 3 + 19 + 9 + 2, strings2 = 3 + 14 + 9 + 2;
    ASSERT_EQ(bytes.size(), 30 + 9 + strings1 + 9 + strings2);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\0\0\0\3", 4));
    EXPECT_EQ(uint8_t(bytes[25]), 48 + 18 + strings1 + strings2) << "the size value";

    SMyTrackerBlock read;
    EXPECT_EQ(UMyTrackerPrefs::Read(bytes.data(), uint32_t(bytes.size()), read),
              48 + 18 + strings1 + strings2);
    EXPECT_EQ(read.serversWinBounds.left, -50);
    EXPECT_EQ(read.trackersWinBounds.bottom, 220);
    EXPECT_TRUE(read.trackersWinVisible);
    EXPECT_FALSE(read.serversWinVisible);
    ASSERT_EQ(read.trackers.size(), 2u);
    EXPECT_EQ(PText(read.trackers[1].Address), "127.0.0.1:7000");
    EXPECT_EQ(PText(read.trackers[0].Login), "login-One");
    EXPECT_EQ(read.trackers[0].useServer, 1);
    EXPECT_EQ(read.trackers[1].useServer, 0);
    EXPECT_EQ(read.trackers[1].hasAccount, 1);
}

TEST(TrackerPrefs, ACutBlockKeepsWhatFitsAndAnotherVersionLoadsNothing)
{
    SMyTrackerBlock block;
    block.trackers = {Tracker("One", "a.example", 1), Tracker("Two", "b.example", 1)};
    const std::string bytes = UMyTrackerPrefs::Write(block);
    // Cut two characters into the second tracker's address: from there on its strings are empty.
    const size_t address = bytes.size() - (4 + 1 + 1 + 3 + 1 + 9);
    ASSERT_EQ(uint8_t(bytes[address]), 9);
    SMyTrackerBlock read;
    UMyTrackerPrefs::Read(bytes.data(), uint32_t(address + 3), read);
    ASSERT_EQ(read.trackers.size(), 2u);
    EXPECT_EQ(PText(read.trackers[0].Address), "a.example");
    EXPECT_EQ(PText(read.trackers[1].Login), "login-Two");
    EXPECT_EQ(PText(read.trackers[1].Pass), "pw");
    EXPECT_EQ(PText(read.trackers[1].Address), "");
    EXPECT_EQ(PText(read.trackers[1].Name), "");
    EXPECT_EQ(read.trackers[1].useServer, 0) << "flags past the end read as zeros";

    std::string other = bytes;
    other[3] = 2;
    read = {};
    EXPECT_THROW(UMyTrackerPrefs::Read(other.data(), uint32_t(other.size()), read), SError);
    EXPECT_TRUE(read.trackers.empty());
    EXPECT_THROW(UMyTrackerPrefs::Read(bytes.data(), 29, read), SError);
    // A count far beyond the records is not trusted.
    std::string greedy = bytes;
    greedy[26] = char(0x7F);
    UMyTrackerPrefs::Read(greedy.data(), uint32_t(greedy.size()), read);
    EXPECT_EQ(read.trackers.size(), 2u);
}
