// Bookmark files: what a saved bookmark holds byte for byte, the errors of damaged files, and the
// "Servers" folder as the connect dialog's menu lists it.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/core/UMyBookmarkFile.h"
#include "framework/files/StFileSysRef.h"
#include "framework/runtime/SError.h"
#include "tests/client/prefs/PrefsTestSupport.h"

namespace
{
std::string P(const std::string& text)
{
    return std::string(1, char(text.size())) + text;
}
const uint8_t* U(const std::string& pstring)
{
    return reinterpret_cast<const uint8_t*>(pstring.data());
}

std::string Encoded(const std::string& address, const std::string& login, const std::string& password)
{
    std::string bytes(UMyBookmarkFile::kSize, '\0');
    UMyBookmarkFile::Encode(U(P(address)), U(P(login)), U(P(password)),
                            reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
}

// The error a damaged file gives, as "type/id".
std::string DecodeError(const std::string& bytes)
{
    SMyBookmark b;
    try
    {
        UMyBookmarkFile::Decode(bytes.data(), uint32_t(bytes.size()), b);
    }
    catch (const SError& e)
    {
        return std::to_string(e.type) + "/" + std::to_string(e.id);
    }
    return "none";
}

class BookmarkFileTest : public PrefsFolderTest
{
protected:
    TFileSysRefObj* Ref(const std::string& relative)
    {
        const std::string path = UserPath(relative);
        return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
    }
};
} // namespace

TEST(BookmarkFormat, LayoutAndALoginCutTo32)
{
    const std::string login(40, 'L');
    const std::string b = Encoded("quenvol://example.org:5600", login, "pw");
    EXPECT_EQ(b.substr(0, 6), std::string("QVsc\x00\x01", 6));
    EXPECT_EQ(b.substr(6, 128), std::string(128, '\0'));
    EXPECT_EQ(b.substr(134, 2), std::string("\x00\x20", 2));
    EXPECT_EQ(b.substr(136, 32), std::string(32, 'L'));
    EXPECT_EQ(b.substr(168, 4), std::string("\x00\x02pw", 4));
    EXPECT_EQ(b.substr(202, 2), std::string("\x00\x1A", 2));
    EXPECT_EQ(b.substr(204, 26), "quenvol://example.org:5600");

    SMyBookmark read;
    UMyBookmarkFile::Decode(b.data(), uint32_t(b.size()), read);
    EXPECT_EQ(Text(read.login), std::string(32, 'L'));
    EXPECT_EQ(Text(read.password), "pw");
    EXPECT_EQ(Text(read.address), "quenvol://example.org:5600");
}

TEST(BookmarkFormat, DamagedFilesRaiseTheirErrors)
{
    const std::string good = Encoded("host", "me", "pw");
    EXPECT_EQ(DecodeError(good), "none");
    EXPECT_EQ(DecodeError(good.substr(0, 5)), "1/9");
    EXPECT_EQ(DecodeError("QVsx" + good.substr(4)), "1/8");
    EXPECT_EQ(DecodeError(good.substr(0, 5) + "\x02" + good.substr(6)), "1/7");
    EXPECT_EQ(DecodeError(good.substr(0, 459)), "1/9");
    // Magic and version are checked before the length, so a short file of another kind says so.
    EXPECT_EQ(DecodeError("ABCDEFGH"), "1/8");
}

TEST(BookmarkFormat, LengthsWrittenByHandStayInsideTheirFields)
{
    std::string b = Encoded("host", "me", "pw");
    b[134] = '\xFF';
    b[135] = '\xFF'; // the login claims 65535 characters
    b[202] = '\x01';
    b[203] = '\x00'; // the address 256
    std::fill(b.begin() + 204, b.end(), 'a');
    SMyBookmark read;
    UMyBookmarkFile::Decode(b.data(), uint32_t(b.size()), read);
    EXPECT_EQ(read.login[0], 32);
    EXPECT_EQ(Text(read.login).substr(0, 2), "me");
    EXPECT_EQ(Text(read.password), "pw");
    EXPECT_EQ(Text(read.address), std::string(255, 'a'));
}

TEST_F(BookmarkFileTest, SaveReplacesAFileAndReadGivesItBack)
{
    WriteUserFile("Servers/home.qbm", std::string(1000, 'x'));
    StFileSysRef file(Ref("Servers/home.qbm"));
    UMyBookmarkFile::Save(file.Get(), U(P("10.0.0.1:5600")), U(P("alice")), U(P("wonderland")));
    EXPECT_EQ(ReadUserFile("Servers/home.qbm").size(), 460u);
    SMyBookmark read;
    UMyBookmarkFile::Read(file.Get(), read);
    EXPECT_EQ(Text(read.address), "10.0.0.1:5600");
    EXPECT_EQ(Text(read.login), "alice");
    EXPECT_EQ(Text(read.password), "wonderland");
}

TEST_F(BookmarkFileTest, TheMenuListsBookmarksByTitleAndKeepsTheirRealNames)
{
    std::vector<SMyBookmarkItem> items;
    StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
    EXPECT_FALSE(UMyBookmarkFile::List(folder.Get(), items)); // no folder yet

    const std::string bookmark = Encoded("host", "", "");
    WriteUserFile("Servers/zeta.qbm", bookmark);
    WriteUserFile("Servers/X.QBM", bookmark);
    WriteUserFile("Servers/Alpha.Qbm", bookmark);
    WriteUserFile("Servers/notes.txt", "not a bookmark");
    WriteUserFile("Servers/.hidden.qbm", bookmark);
    std::filesystem::create_directories(UserPath("Servers/Folder.qbm"));
    ASSERT_TRUE(UMyBookmarkFile::List(folder.Get(), items));
    std::vector<std::string> titles, names;
    for (const SMyBookmarkItem& item : items)
    {
        titles.push_back(Text(item.title));
        names.push_back(Text(item.fileName));
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Alpha", "X", "zeta"}));
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha.Qbm", "X.QBM", "zeta.qbm"}));

    // The bookmark opens by the name it has on the disk, whatever the case of its extension.
    StFileSysRef x(UFileSys::New(folder.Get(), nullptr, items[1].fileName));
    SMyBookmark read;
    UMyBookmarkFile::Read(x.Get(), read);
    EXPECT_EQ(Text(read.address), "host");

    std::filesystem::remove_all(UserPath("Servers"));
    WriteUserFile("Servers", "a file where the folder should be");
    EXPECT_FALSE(UMyBookmarkFile::List(folder.Get(), items));
}
