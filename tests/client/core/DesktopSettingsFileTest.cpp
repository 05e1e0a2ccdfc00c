// The desktop settings file: what a person may write in it, what a later version may add to it, the
// values of each type a setting may have, and where the file lives.
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "client/core/UMyDesktopSettings.h"

namespace
{
SMySettings Parsed(const std::string& text)
{
    SMySettings s;
    UMyDesktopSettings::Parse(text.data(), uint32_t(text.size()), s);
    return s;
}

TEST(DesktopSettings, WhatAPersonWritesIsReadAndWhatALaterVersionAddsIsKept)
{
    EXPECT_TRUE(Parsed("").desktopNotices);
    EXPECT_FALSE(Parsed("notifications=false\n").desktopNotices);
    EXPECT_FALSE(Parsed("  notifications =  off \r\n").desktopNotices);
    EXPECT_FALSE(Parsed("# quiet, please\nnotifications=no").desktopNotices);
    EXPECT_TRUE(Parsed("notifications=false\nnotifications=yes\n").desktopNotices);
    // A value nobody understands leaves the default.
    EXPECT_TRUE(Parsed("notifications=perhaps\n").desktopNotices);
    EXPECT_TRUE(Parsed("notifications\n").desktopNotices);
    // Numbers: digits alone; a sign, a fraction or a number past 32 bits leaves the default.
    EXPECT_EQ(Parsed("").scrollback, 10000u);
    EXPECT_EQ(Parsed("scrollback = 2500\n").scrollback, 2500u);
    for (const char* bad :
         {"scrollback=-5\n", "scrollback=1.5\n", "scrollback=99999999999\n", "scrollback=\n"})
        EXPECT_EQ(Parsed(bad).scrollback, 10000u) << bad;
    // A scrollback of none, or of billions of lines, would let a client left in a busy chat grow without
    // end: it is held to its range, and written back so.
    EXPECT_EQ(Parsed("scrollback=0\n").scrollback, SMySettings::kMinScrollback);
    EXPECT_EQ(Parsed("scrollback=4000000000\n").scrollback, SMySettings::kMaxScrollback);
    EXPECT_EQ(Parsed("scrollback=1000000\n").scrollback, 1000000u);
    EXPECT_NE(UMyDesktopSettings::Format(Parsed("scrollback=4000000000\n")).find("scrollback=1000000\n"),
              std::string::npos);

    const SMySettings later =
        Parsed("notifications=0\nsounds-in-notices=true\n# a comment\n\ntheme = dark\n");
    EXPECT_FALSE(later.desktopNotices);
    ASSERT_EQ(later.desktopOtherLines.size(), 2u);
    EXPECT_EQ(later.desktopOtherLines[0], "sounds-in-notices=true");
    EXPECT_EQ(later.desktopOtherLines[1], "theme = dark");
    const std::string written = UMyDesktopSettings::Format(later);
    EXPECT_NE(written.find("notifications=false\n"), std::string::npos);
    EXPECT_NE(written.find("theme = dark\n"), std::string::npos);
    const SMySettings again = Parsed(written);
    EXPECT_FALSE(again.desktopNotices);
    EXPECT_EQ(again.desktopOtherLines, later.desktopOtherLines);

    // The file holds the desktop settings alone: the rest of the record is the preferences file's.
    SMySettings mine;
    mine.userName[0] = 3;
    std::memcpy(mine.userName + 1, "Zed", 3);
    mine.desktopNotices = false;
    UMyDesktopSettings::Parse("", 0, mine);
    EXPECT_TRUE(mine.desktopNotices);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mine.userName + 1), mine.userName[0]), "Zed");
    EXPECT_EQ(UMyDesktopSettings::Format(mine).find("Zed"), std::string::npos);

    // Only the start of a file of any size is read, and a line that cannot be written back is dropped.
    std::string huge = "notifications=false\n" + std::string(3 * UMyDesktopSettings::kMaxSize, 'x');
    EXPECT_FALSE(Parsed(huge).desktopNotices);
    EXPECT_TRUE(Parsed(std::string("a\0b\nnotifications=off\n", 22)).desktopOtherLines.empty());
}

TEST(DesktopSettings, ValuesOfEachTypeAreReadAsWrittenAndOthersAreRefused)
{
    uint32_t number = 7;
    EXPECT_TRUE(UMyDesktopSettings::ParseValue("4096", number));
    EXPECT_EQ(number, 4096u);
    EXPECT_EQ(UMyDesktopSettings::FormatValue(number), "4096");
    for (const char* bad : {"", "-1", "12k", "4294967296", " 5"})
    {
        EXPECT_FALSE(UMyDesktopSettings::ParseValue(bad, number)) << bad;
        EXPECT_EQ(number, 4096u) << bad;
    }
    std::string text;
    EXPECT_TRUE(UMyDesktopSettings::ParseValue("/home/me/Downloads", text));
    EXPECT_EQ(UMyDesktopSettings::FormatValue(text), "/home/me/Downloads");
    bool on = true;
    EXPECT_TRUE(UMyDesktopSettings::ParseValue("off", on));
    EXPECT_FALSE(on);
    EXPECT_FALSE(UMyDesktopSettings::ParseValue("maybe", on));
    EXPECT_EQ(UMyDesktopSettings::FormatValue(on), "false");
    // The layout is one of two words; a new user gets the main window.
    EXPECT_EQ(Parsed("").layout, EMyLayout::kMain);
    EXPECT_EQ(Parsed("layout=separate\n").layout, EMyLayout::kSeparate);
    EXPECT_EQ(Parsed("layout = main\n").layout, EMyLayout::kMain);
    EXPECT_EQ(Parsed("layout=Separate\n").layout, EMyLayout::kMain);
    EXPECT_EQ(Parsed("layout=true\n").layout, EMyLayout::kMain);
    EXPECT_EQ(UMyDesktopSettings::FormatValue(EMyLayout::kSeparate), "separate");
    // The download folder: the desktop's (the default), the program's own, or an absolute path; a path
    // that would not read back as the same line is written as the default instead.
    EXPECT_EQ(Parsed("").downloadFolder, SMyDownloadFolder{});
    EXPECT_EQ(Parsed("download-folder=program\n").downloadFolder.place, SMyDownloadFolder::kProgram);
    const SMyDownloadFolder chosen = Parsed("download-folder=/srv/in coming\n").downloadFolder;
    EXPECT_EQ(chosen, (SMyDownloadFolder{SMyDownloadFolder::kChosen, "/srv/in coming"}));
    EXPECT_EQ(UMyDesktopSettings::FormatValue(chosen), "/srv/in coming");
    for (const char* bad : {"download-folder=Downloads\n", "download-folder=~/x\n", "download-folder=\n"})
        EXPECT_EQ(Parsed(std::string("download-folder=program\n") + bad).downloadFolder.place,
                  SMyDownloadFolder::kProgram)
            << bad;
    for (const char* path : {"/a\nlayout=separate", "/trailing ", ""})
        EXPECT_EQ(UMyDesktopSettings::FormatValue(SMyDownloadFolder{SMyDownloadFolder::kChosen, path}),
                  "desktop")
            << path;
}

TEST(DesktopSettings, TheFileLivesInTheConfigFolderAndAMissingOneMeansDefaults)
{
    QTemporaryDir home;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);

    SMySettings s;
    s.desktopNotices = false;
    UMyDesktopSettings::Read(s);
    EXPECT_TRUE(s.desktopNotices);
    s.desktopNotices = false;
    s.desktopOtherLines = {"later=1"};
    UMyDesktopSettings::Write(s);
    QFile file(home.path() + "/Quenvol/desktop.conf");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
              "# Quenvol desktop settings\nnotifications=false\nreconnect=true\nscrollback=10000\n"
              "chat-time-stamps=false\nchat-mentions=true\nchat-mention-words=\nchat-logs=true\n"
              "chat-replay=false\nlayout=main\nkeep-in-tray=false\nupload-folder=\ndownload-folder=desktop\n"
              "download-limit=0\nupload-limit=0\ntransfers-at-once=0\nsound-missing-told=false\nlater=1\n");
    EXPECT_FALSE(QFile::exists(home.path() + "/Quenvol/desktop.conf.new"));
    SMySettings back;
    UMyDesktopSettings::Read(back);
    EXPECT_FALSE(back.desktopNotices);
    EXPECT_EQ(back.desktopOtherLines, s.desktopOtherLines);

    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
} // namespace
