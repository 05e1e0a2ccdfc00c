// The desktop's download folder as the user's folder settings name it: the forms the desktop's own tools
// write, and lines that must not be taken (a relative path, a malformed quote, another folder's key).
#include <gtest/gtest.h>

#include "platform/Folders.h"

using platform::ParseUserDirs;

TEST(UserDirs, HomeRelativeAndAbsoluteFoldersAreTakenAndTheLastLineWins)
{
    const std::string text = "# written by the desktop\n"
                             "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                             "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n";
    EXPECT_EQ(ParseUserDirs(text, "XDG_DOWNLOAD_DIR", "/home/ann"), "/home/ann/Downloads");
    EXPECT_EQ(ParseUserDirs(text + "XDG_DOWNLOAD_DIR=\"/data/in/\"\n", "XDG_DOWNLOAD_DIR", "/home/ann"),
              "/data/in");
    // Set to the home folder itself, as the tools do for a folder the user switched off.
    EXPECT_EQ(ParseUserDirs("XDG_DOWNLOAD_DIR=\"$HOME\"", "XDG_DOWNLOAD_DIR", "/home/ann"), "/home/ann");
    // Escapes as the shell reads them, and blanks around the line.
    EXPECT_EQ(ParseUserDirs("  XDG_DOWNLOAD_DIR=\"$HOME/My \\\"Files\\\"\"  \r\n", "XDG_DOWNLOAD_DIR", "/h"),
              "/h/My \"Files\"");
}

TEST(UserDirs, LinesThatNameNoUsableFolderAreLeftAside)
{
    for (const char* line : {
             "XDG_DOWNLOAD_DIR=\"Downloads\"",         // relative
             "XDG_DOWNLOAD_DIR=$HOME/Downloads",       // not quoted
             "XDG_DOWNLOAD_DIR=\"$HOME/Downloads",     // no closing quote
             "XDG_DOWNLOAD_DIR=\"$HOMEWORK/x\"",       // another variable
             "XDG_DOWNLOAD_DIR=\"/a\" trailing words", // more than one word
             "XDG_DOWNLOAD_DIRS=\"/a\"",               // another key
             "# XDG_DOWNLOAD_DIR=\"/a\"",              // a comment
         })
        EXPECT_EQ(ParseUserDirs(line, "XDG_DOWNLOAD_DIR", "/home/ann"), "") << line;
    // Without a home folder a home-relative line means nothing; a NUL inside ends nothing early.
    EXPECT_EQ(ParseUserDirs("XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"", "XDG_DOWNLOAD_DIR", ""), "");
    EXPECT_EQ(ParseUserDirs(std::string("XDG_DOWNLOAD_DIR=\"/a\0b\"", 23), "XDG_DOWNLOAD_DIR", "/h"), "");
    // A usable line before a broken one stays.
    EXPECT_EQ(ParseUserDirs("XDG_DOWNLOAD_DIR=\"/a\"\nXDG_DOWNLOAD_DIR=\"b\"", "XDG_DOWNLOAD_DIR", "/h"),
              "/a");
}
