// The main window's arrangement file: what it keeps, and that a damaged, foreign or oversized file is
// refused whole instead of handing the toolkit half a block.
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "client/core/UMyLayoutFile.h"

namespace
{
bool ParsedLayout(const std::string& bytes, SMyWindowLayout& out)
{
    return UMyLayoutFile::Parse(bytes.data(), uint32_t(bytes.size()), out);
}

TEST(LayoutFile, BlocksComeBackAsWrittenAndDamagedFilesAreRefusedWhole)
{
    SMyWindowLayout layout{std::string("geo\0metry", 9), std::string(1000, '\xFF')};
    const std::string bytes = UMyLayoutFile::Format(layout);
    SMyWindowLayout back;
    ASSERT_TRUE(ParsedLayout(bytes, back));
    EXPECT_EQ(back.geometry, layout.geometry);
    EXPECT_EQ(back.state, layout.state);

    // Every cut of the file, and a byte too many, is refused and leaves nothing behind.
    for (size_t n = 0; n < bytes.size(); n += 7)
    {
        EXPECT_FALSE(ParsedLayout(bytes.substr(0, n), back)) << n;
        EXPECT_TRUE(back.geometry.empty() && back.state.empty()) << n;
    }
    EXPECT_FALSE(ParsedLayout(bytes + "x", back));
    std::string other = bytes;
    other[5] = 2; // a later version
    EXPECT_FALSE(ParsedLayout(other, back));
    other = bytes;
    other[0] = 'X';
    EXPECT_FALSE(ParsedLayout(other, back));
    // A length past the limit, or past the end, is not believed.
    std::string huge = bytes.substr(0, 6) + std::string("\x7F\xFF\xFF\xFF", 4) + "abc";
    EXPECT_FALSE(ParsedLayout(huge, back));
    EXPECT_FALSE(UMyLayoutFile::Parse(nullptr, 0, back));
}

TEST(LayoutFile, TheFileLivesInTheConfigFolderAndAMissingOneIsNoLayout)
{
    QTemporaryDir home;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);

    SMyWindowLayout layout;
    EXPECT_FALSE(UMyLayoutFile::Read(layout));
    UMyLayoutFile::Write(SMyWindowLayout{"g", "s"});
    EXPECT_TRUE(QFile::exists(home.path() + "/Quenvol/layout.state"));
    ASSERT_TRUE(UMyLayoutFile::Read(layout));
    EXPECT_EQ(layout.geometry, "g");
    EXPECT_EQ(layout.state, "s");

    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
} // namespace
