// The resource builder: source parsing, text conversion and the container the client reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UIDVarArray.h"
#include "framework/runtime/URez.h"
#include "tools/rezbuild/MacRomanText.h"
#include "tools/rezbuild/RezContainer.h"
#include "tools/rezbuild/RezSource.h"

namespace
{
uint32_t StringRead(void* ref, uint32_t offset, void* buffer, uint32_t size)
{
    const std::string& s = *static_cast<const std::string*>(ref);
    if (offset >= s.size()) return 0;
    const uint32_t n = std::min<uint32_t>(size, uint32_t(s.size() - offset));
    std::memcpy(buffer, s.data() + offset, n);
    return n;
}

uint32_t StringSize(void* ref)
{
    return uint32_t(static_cast<const std::string*>(ref)->size());
}

std::string Item(TRezObj* rez, uint32_t type, uint32_t id)
{
    THdlObj* h = URez::LoadItem(rez, type, id);
    std::string out;
    {
        StHandleLocker lock(h);
        out.assign(reinterpret_cast<const char*>(lock.Data()), UMemory::GetSize(h));
    }
    URez::ReleaseItem(rez, type, id);
    return out;
}

std::string ParseError(const std::string& source)
{
    rezbuild::SSource out;
    std::string error;
    EXPECT_FALSE(rezbuild::ParseSource(source, "t.rez", ".", out, error)) << source;
    return error;
}

const char* const kSource = R"(# a comment
EMSG 8
    104 = Refused – “%#s”\x20
    101 = Not found.
end

msgb 140
    icon = 1001
    Sound = -1
    title = Delete
    message = Delete “%#s”?\rSure?
    button1 = Delete
    button2 = Cancel
end
)";
} // namespace

TEST(RezBuildTest, TextBecomesMacRoman)
{
    std::string bytes, error;
    ASSERT_TRUE(rezbuild::Utf8ToMacRoman("“Café” – naïve ™ €\t", bytes, error)) << error;
    EXPECT_EQ(bytes, "\xD2"
                     "Caf\x8E\xD3 \xD0 na\x95ve \xAA \xDB\t");
    EXPECT_FALSE(rezbuild::Utf8ToMacRoman("日本", bytes, error));
    EXPECT_NE(error.find("U+65E5"), std::string::npos) << error;
    EXPECT_FALSE(rezbuild::Utf8ToMacRoman("\xC3", bytes, error)) << "cut short";
    EXPECT_FALSE(rezbuild::Utf8ToMacRoman("\xC0\xA0", bytes, error)) << "overlong";
    EXPECT_FALSE(rezbuild::Utf8ToMacRoman("\xED\xA0\x80", bytes, error)) << "surrogate";
    EXPECT_FALSE(rezbuild::Utf8ToMacRoman("a\x01", bytes, error)) << "control character";
}

TEST(RezBuildTest, EveryTextByteReadsBackAsTheClientShowsIt)
{
    // Each byte a resource text may hold, as the client shows it, written by the builder: the same byte.
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b == '\t' || (b >= 0x20 && b != 0x7F)) all += char(b);
    const std::string shown = MacRomanToUtf8(all.data(), uint32_t(all.size()));
    std::string bytes, error;
    ASSERT_TRUE(rezbuild::Utf8ToMacRoman(shown, bytes, error)) << error;
    EXPECT_EQ(bytes, all);
    // A character the client would send as '?' is refused here, never written as some other byte.
    EXPECT_FALSE(rezbuild::Utf8ToMacRoman("\xC2\xA4", bytes, error));
    EXPECT_NE(error.find("U+00A4"), std::string::npos) << error;
}

TEST(RezBuildTest, SourcesBecomeAContainerTheClientReads)
{
    rezbuild::SSource source;
    std::string error;
    ASSERT_TRUE(rezbuild::ParseSource(kSource, "t.rez", ".", source, error)) << error;
    std::string file;
    ASSERT_TRUE(rezbuild::BuildContainer(source.items, file, error)) << error;

    TRezObj* rez = URez::New(StringRead, nullptr, StringSize, nullptr, nullptr, &file);
    const std::string list = Item(rez, FourCC("EMSG"), 8);
    char text[64];
    uint32_t n = UIDVarArray::GetItem(list.data(), uint32_t(list.size()), 104, text, sizeof(text));
    EXPECT_EQ(std::string(text, n), "Refused \xD0 \xD2%#s\xD3 ");
    n = UIDVarArray::GetItem(list.data(), uint32_t(list.size()), 101, text, sizeof(text));
    EXPECT_EQ(std::string(text, n), "Not found.");

    const std::string box = Item(rez, FourCC("MSGB"), 140);
    const std::string expected = std::string("\x03\xE9\x00\x00\xFF\xFF\x00\x00\x00\x00\x00\x00", 12) +
                                 "\x06"
                                 "Delete"
                                 "\x13"
                                 "Delete \xD2%#s\xD3?\rSure?"
                                 "\x06"
                                 "Delete"
                                 "\x06"
                                 "Cancel" +
                                 std::string(1, '\0');
    EXPECT_EQ(box, expected);
    URez::Dispose(rez);

    // The same items in another order give the same bytes.
    std::reverse(source.items.begin(), source.items.end());
    std::string again;
    ASSERT_TRUE(rezbuild::BuildContainer(source.items, again, error));
    EXPECT_EQ(again, file);

    // So does a container with nothing in it, which still opens.
    ASSERT_TRUE(rezbuild::BuildContainer({}, file, error));
    EXPECT_EQ(file.size(), 40u);
    rez = URez::New(StringRead, nullptr, StringSize, nullptr, nullptr, &file);
    EXPECT_EQ(URez::GetTypeCount(rez), 0u);
    URez::Dispose(rez);
}

TEST(RezBuildTest, RawFilesAndDuplicates)
{
    char path[] = "/tmp/quenvol-rezbuild-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "NQSN\0\x01", 6), 6);
    close(fd);

    rezbuild::SSource source;
    std::string error;
    ASSERT_TRUE(
        rezbuild::ParseSource(std::string("file 'SOUN' 128 ") + path + "\nfile ICON 414 " + path + "\n",
                              "a.rez", "/nonexistent", source, error))
        << error;
    ASSERT_EQ(source.items.size(), 2u);
    EXPECT_EQ(source.items[0].type, FourCC("SOUN"));
    EXPECT_EQ(source.items[0].bytes, std::string("NQSN\0\x01", 6));
    EXPECT_EQ(source.dependencies.size(), 2u);

    // The same (type, id) from a second source is refused, naming both places.
    ASSERT_TRUE(
        rezbuild::ParseSource(std::string("\n\nfile SOUN 128 ") + path + "\n", "b.rez", ".", source, error));
    std::string file;
    EXPECT_FALSE(rezbuild::BuildContainer(source.items, file, error));
    EXPECT_NE(error.find("b.rez:3"), std::string::npos) << error;
    EXPECT_NE(error.find("a.rez:1"), std::string::npos) << error;
    std::remove(path);

    EXPECT_NE(ParseError("file SOUN 128 /no/such/file\n").find("cannot read"), std::string::npos);
}

TEST(RezBuildTest, MistakesAreReportedWithTheirLine)
{
    EXPECT_EQ(ParseError("\nstr 1\n"), "t.rez:2: expected 'emsg', 'msgb', 'wind' or 'file'");
    EXPECT_NE(ParseError("emsg 1\n 5 = a\n 5 = b\nend\n").find("t.rez:3: id 5 already given on line 2"),
              std::string::npos);
    EXPECT_NE(ParseError("emsg 1\nend\n").find("at least one entry"), std::string::npos);
    EXPECT_NE(ParseError("emsg 1\n 0 = zero\nend\n").find("t.rez:2"), std::string::npos);
    EXPECT_NE(ParseError("emsg 0\n").find("non-zero"), std::string::npos);
    EXPECT_NE(ParseError("emsg 1\n 5 = text\n").find("no 'end'"), std::string::npos);
    EXPECT_NE(ParseError("msgb 1\n sound = 40000\nend\n").find("16-bit"), std::string::npos);
    EXPECT_NE(ParseError("msgb 1\n colour = 3\nend\n").find("unknown message box field"), std::string::npos);
    EXPECT_NE(ParseError("msgb 1\n title = a\n TITLE = b\nend\n").find("already given"), std::string::npos);
    EXPECT_NE(ParseError("msgb 1\n title = 日本\nend\n").find("no Mac OS Roman form"), std::string::npos);
    EXPECT_NE(ParseError("msgb 1\n title = a\\q\nend\n").find("unknown escape"), std::string::npos);
    EXPECT_NE(ParseError("msgb 1\n title = a\\x4\nend\n").find("two hex digits"), std::string::npos);
    EXPECT_NE(ParseError("msgb 1\n message = " + std::string(256, 'a') + "\nend\n").find("255"),
              std::string::npos);
    EXPECT_NE(ParseError("file SOU 1 x\n").find("type code"), std::string::npos);
    EXPECT_NE(ParseError("file SOUN 1\n").find("file path"), std::string::npos);
}

TEST(RezBuildTest, TheWindowFormMatchesTheDescriptionsItStandsFor)
{
    // The account dialog from resources/windows.rez is byte for byte the description that the fuzz seed
    // holds, which was written by hand from the dialog's table.
    std::ifstream rez(std::string(QUENVOL_SOURCE_DIR) + "/resources/windows.rez");
    std::ifstream seed(std::string(QUENVOL_SOURCE_DIR) + "/tests/fuzz/corpus/windesc/tracker-account",
                       std::ios::binary);
    ASSERT_TRUE(rez && seed);
    const std::string source((std::istreambuf_iterator<char>(rez)), std::istreambuf_iterator<char>());
    const std::string expected((std::istreambuf_iterator<char>(seed)), std::istreambuf_iterator<char>());
    rezbuild::SSource out;
    std::string error;
    ASSERT_TRUE(rezbuild::ParseSource(source, "windows.rez", ".", out, error)) << error;
    ASSERT_EQ(out.items.size(), 1u);
    EXPECT_EQ(out.items[0].type, FourCC("WIND"));
    EXPECT_EQ(out.items[0].id, 128u);
    EXPECT_EQ(out.items[0].bytes.size(), 893u);
    EXPECT_EQ(out.items[0].bytes, expected);

    const std::string head = "wind 5\n  window 2 0 | 0 0 10 10 | T\n";
    EXPECT_EQ(ParseError(head + "  ctrv | 0 0 1 1 | 1\nend\n"),
              "t.rez:3: this view holds views: end its line with '{'");
    EXPECT_EQ(ParseError(head + "  zzzz | 0 0 1 1 | 1\nend\n"), "t.rez:3: unknown view kind 'zzzz'");
    EXPECT_EQ(ParseError(head + "  labl | 0 0 1 | 1 | x\nend\n"),
              "t.rez:3: expected the rectangle as four 16-bit numbers: left top right bottom");
    EXPECT_EQ(ParseError(head + "  ctrv | 0 0 1 1 | 1 {\n  labl | 0 0 1 1 | 2 | x\nend\n"),
              "t.rez:3: the block has no '}'");
    EXPECT_EQ(ParseError(head + "  labl | 0 0 1 1 | 2 | x\n  size 900\nend\n"),
              "t.rez:4: the description is only 77 bytes");
}
