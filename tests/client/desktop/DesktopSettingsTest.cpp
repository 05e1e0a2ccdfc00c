// The desktop settings file: what a person may write in it, what a later version may add to it, and the
// switch in the options dialog.
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "client/app/CMyApplication.h"
#include "client/desktop/CMyDesktopNotices.h"
#include "client/desktop/UMyDesktopSettings.h"
#include "client/prefs/CMyOptionsWin.h"
#include "framework/ui/CCheckBoxView.h"
#include "tests/support/CAppHarness.h"

namespace
{
SMyDesktopSettings Parsed(const std::string& text)
{
    SMyDesktopSettings s;
    UMyDesktopSettings::Parse(text.data(), uint32_t(text.size()), s);
    return s;
}

TEST(DesktopSettings, WhatAPersonWritesIsReadAndWhatALaterVersionAddsIsKept)
{
    EXPECT_TRUE(Parsed("").notifications);
    EXPECT_FALSE(Parsed("notifications=false\n").notifications);
    EXPECT_FALSE(Parsed("  notifications =  off \r\n").notifications);
    EXPECT_FALSE(Parsed("# quiet, please\nnotifications=no").notifications);
    EXPECT_TRUE(Parsed("notifications=false\nnotifications=yes\n").notifications);
    // A value nobody understands leaves the default.
    EXPECT_TRUE(Parsed("notifications=perhaps\n").notifications);
    EXPECT_TRUE(Parsed("notifications\n").notifications);

    const SMyDesktopSettings later =
        Parsed("notifications=0\nsounds-in-notices=true\n# a comment\n\ntheme = dark\n");
    EXPECT_FALSE(later.notifications);
    ASSERT_EQ(later.otherLines.size(), 2u);
    EXPECT_EQ(later.otherLines[0], "sounds-in-notices=true");
    EXPECT_EQ(later.otherLines[1], "theme = dark");
    const std::string written = UMyDesktopSettings::Format(later);
    EXPECT_NE(written.find("notifications=false\n"), std::string::npos);
    EXPECT_NE(written.find("theme = dark\n"), std::string::npos);
    const SMyDesktopSettings again = Parsed(written);
    EXPECT_FALSE(again.notifications);
    EXPECT_EQ(again.otherLines, later.otherLines);

    // Only the start of a file of any size is read, and a line that cannot be written back is dropped.
    std::string huge = "notifications=false\n" + std::string(3 * UMyDesktopSettings::kMaxSize, 'x');
    EXPECT_FALSE(Parsed(huge).notifications);
    EXPECT_TRUE(Parsed(std::string("a\0b\nnotifications=off\n", 22)).otherLines.empty());
}

TEST(DesktopSettings, TheFileLivesInTheConfigFolderAndAMissingOneMeansDefaults)
{
    QTemporaryDir home;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);

    SMyDesktopSettings s;
    s.notifications = false;
    UMyDesktopSettings::Read(s);
    EXPECT_TRUE(s.notifications);
    s.notifications = false;
    s.otherLines = {"later=1"};
    UMyDesktopSettings::Write(s);
    QFile file(home.path() + "/Quenvol/desktop.conf");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "# Quenvol desktop settings\nnotifications=false\nlater=1\n");
    EXPECT_FALSE(QFile::exists(home.path() + "/Quenvol/desktop.conf.new"));
    SMyDesktopSettings back;
    UMyDesktopSettings::Read(back);
    EXPECT_FALSE(back.notifications);
    EXPECT_EQ(back.otherLines, s.otherLines);

    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST(DesktopSettings, TheOptionsDialogShowsTheSwitch)
{
    CAppHarness h;
    h.Start();
    CMyApplication& app = h.App();
    ASSERT_TRUE(app.DesktopNotices().IsOn());
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            ASSERT_NE(w.GetDesktopNoticesBox(), nullptr);
            EXPECT_TRUE(w.GetDesktopNoticesBox()->GetMark());
            w.GetDesktopNoticesBox()->SetMark(false);
            w.Hit(CMyOptionsWin::kHitSave);
        });
    ASSERT_TRUE(app.DoOptions());
    EXPECT_FALSE(app.DesktopNotices().IsOn());
    SMyDesktopSettings kept;
    UMyDesktopSettings::Read(kept);
    EXPECT_FALSE(kept.notifications);

    // And back on, as the dialog shows it.
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            EXPECT_FALSE(w.GetDesktopNoticesBox()->GetMark());
            w.GetDesktopNoticesBox()->SetMark(true);
            w.Hit(CMyOptionsWin::kHitSave);
        });
    ASSERT_TRUE(app.DoOptions());
    EXPECT_TRUE(app.DesktopNotices().IsOn());
}
} // namespace
