// Arguments as documents that a running client can open from wherever it was started.
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "platform/CommandLine.h"

namespace
{
TEST(DocumentArgument, FileURIsBecomePathsAndRelativePathsOfExistingFilesAbsolute)
{
    using platform::DocumentArgument;
    // What file managers hand a launcher whose command takes URLs.
    EXPECT_EQ(DocumentArgument("file:///home/u/My%20Servers/Home.qbm"), "/home/u/My Servers/Home.qbm");
    EXPECT_EQ(DocumentArgument("file://localhost/tmp/a.qbm"), "/tmp/a.qbm");
    // A file on another machine is none of ours to open; it stays as given.
    EXPECT_EQ(DocumentArgument("file://fileserver/share/a.qbm"), "file://fileserver/share/a.qbm");
    EXPECT_EQ(DocumentArgument("quenvol://example.org:5600/"), "quenvol://example.org:5600/");
    EXPECT_EQ(DocumentArgument("/already/absolute.qbm"), "/already/absolute.qbm");
    EXPECT_EQ(DocumentArgument(""), "");

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    std::FILE* f = std::fopen((folder + "/Home.qbm").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    EXPECT_EQ(DocumentArgument("Home.qbm"), folder + "/Home.qbm");
    EXPECT_EQ(DocumentArgument("./Home.qbm"), folder + "/Home.qbm");
    // Not a file here: perhaps a host name, certainly nothing to make absolute.
    EXPECT_EQ(DocumentArgument("Missing.qbm"), "Missing.qbm");
    ASSERT_EQ(chdir(old), 0);
}
} // namespace
