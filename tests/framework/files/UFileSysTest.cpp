// References, the resolving step, server path mapping, names, contents and listings.
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "tests/framework/files/FilesTestSupport.h"

namespace
{
// A server path record: count, then per level two zero bytes, a length byte and the name.
std::string PathRecord(const std::vector<std::string>& levels)
{
    std::string record;
    record.push_back(char(levels.size() >> 8));
    record.push_back(char(levels.size()));
    for (const std::string& level : levels)
    {
        record.append(2, '\0');
        record.push_back(char(level.size()));
        record += level;
    }
    return record;
}

TFileSysRefObj* NewFromRecord(TFileSysRefObj* base, const std::vector<std::string>& levels,
                              uint32_t options = 0, uint32_t* kind = nullptr)
{
    std::string record = PathRecord(levels);
    return UFileSys::New(base, record.data(), uint32_t(record.size()), nullptr, options, kind);
}

std::pair<std::string, std::string> CodesOf(const std::string& name)
{
    uint32_t type = 0, creator = 0;
    UFileSys::GetTypeAndCreatorFromName(name.data(), uint32_t(name.size()), type, creator);
    auto text = [](uint32_t code) {
        return std::string{char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    };
    return {text(type), text(creator)};
}
} // namespace

TEST(FileNames, ValidateFileNameReplacesWhatLocalNamesCannotHold)
{
    char name[] = ".profile:a?b";
    EXPECT_EQ(UFileSys::ValidateFileName(name, 12), 12u);
    EXPECT_EQ(std::string(name, 12), "-profile-a-b");

    std::string all = "a\"*/:<>?\\|b";
    all.push_back('\0');
    EXPECT_EQ(UFileSys::ValidateFileName(all.data(), uint32_t(all.size())), all.size());
    EXPECT_EQ(all, "a---------b-");

    std::string longName(300, 'x');
    EXPECT_EQ(UFileSys::ValidateFileName(longName.data(), 300), 255u);

    // Control characters from a server would reach the terminal that lists the folder.
    std::string control = "a\x1b[2J\r\n\x01\x7F\x1f"
                          "b";
    EXPECT_EQ(UFileSys::ValidateFileName(control.data(), uint32_t(control.size())), control.size());
    EXPECT_EQ(control, "a-[2J-----b");

    // 0x8E (e with an acute accent) takes two bytes on the disk, whose names hold 255.
    std::string accented(200, '\x8E');
    EXPECT_EQ(UFileSys::ValidateFileName(accented.data(), 200), 127u);
}

TEST(FileNames, FitFileNameLeavesRoomOnTheDisk)
{
    auto name = PStr(std::string(255, 'n'));
    EXPECT_TRUE(UFileSys::FitFileName(name.data(), 4));
    EXPECT_EQ(name[0], 251);
    EXPECT_FALSE(UFileSys::FitFileName(name.data(), 4));
    // Cut between characters, never inside one: 125 accented letters and room for ".qpf".
    auto accented = PStr(std::string(130, '\x8E'));
    EXPECT_TRUE(UFileSys::FitFileName(accented.data(), 4));
    EXPECT_EQ(accented[0], 125);
    auto shortName = PStr("a.txt");
    EXPECT_FALSE(UFileSys::FitFileName(shortName.data(), 4));
    EXPECT_EQ(FromPStr(shortName.data()), "a.txt");
}

TEST(FileNames, CodesFollowTheExtensionTable)
{
    using Codes = std::pair<std::string, std::string>;
    EXPECT_EQ(CodesOf("PHOTO.JPG"), Codes("JPEG", "GKON"));
    EXPECT_EQ(CodesOf("photo.jpg"), Codes("JPEG", "GKON"));
    EXPECT_EQ(CodesOf("archive.tar.gz"), Codes("BINA", "dosa"));
    EXPECT_EQ(CodesOf("page.html"), Codes("BINA", "dosa"));
    EXPECT_EQ(CodesOf("README"), Codes("BINA", "dosa"));
    EXPECT_EQ(CodesOf("trailing."), Codes("BINA", "dosa"));
    EXPECT_EQ(CodesOf("a.txt"), Codes("TEXT", "ttxt"));
    EXPECT_EQ(CodesOf("main.c"), Codes("TEXT", "CWIE"));
    EXPECT_EQ(CodesOf("song.Mp3"), Codes("MP3 ", "MAmp"));
    EXPECT_EQ(CodesOf("x.qpf"), Codes("QVft", "QVLC"));
    // Only the last component counts: a dot in a folder name is no extension.
    EXPECT_EQ(CodesOf("dir.txt/file"), Codes("BINA", "dosa"));
}

TEST(FileNames, PathRecordNameAndSize)
{
    std::string record = PathRecord({"Docs", "Sub", "a.txt"});
    uint8_t name[256];
    ASSERT_TRUE(UFileSys::GetPathTargetName(record.data(), uint32_t(record.size()), name, sizeof(name)));
    EXPECT_EQ(FromPStr(name), "a.txt");
    ASSERT_TRUE(UFileSys::GetPathTargetName(record.data(), uint32_t(record.size()), name, 3));
    EXPECT_EQ(FromPStr(name), "a.");
    // A count that runs past the end, a record of 5 bytes or less, and a count of 0 name nothing.
    EXPECT_FALSE(UFileSys::GetPathTargetName(record.data(), uint32_t(record.size()) - 1, name, sizeof(name)));
    EXPECT_FALSE(UFileSys::GetPathTargetName(record.data(), 5, name, sizeof(name)));
    std::string empty = PathRecord({});
    EXPECT_FALSE(UFileSys::GetPathTargetName(empty.data(), uint32_t(empty.size()), name, sizeof(name)));

    EXPECT_EQ(UFileSys::GetPathSize(record.data(), uint32_t(record.size()), 1), 2u + 3 + 4);
    EXPECT_EQ(UFileSys::GetPathSize(record.data(), uint32_t(record.size()), 9), uint32_t(record.size()));
    EXPECT_EQ(UFileSys::GetPathSize(record.data(), 10, 9), 9u);
}

using UFileSysRefTest = FilesTest;

TEST_F(UFileSysRefTest, ServerNamesMapControlCharactersAndLeadingDotsAlike)
{
    MakeFolder("base/-hidden");
    MakeFolder("base/d-");
    StFileSysRef base(UFileSys::NewFromNativePath(PathOf("base").data(), uint32_t(PathOf("base").size())));
    // The folders were made from items whose names were mapped so; the levels below them lead there.
    StFileSysRef a(NewFromRecord(base.Get(), {".hidden", "x\ry"}));
    EXPECT_EQ(UFileSys::GetNativePath(a.Get()), PathOf("base/-hidden/x-y"));
    StFileSysRef b(NewFromRecord(base.Get(), {"d\x1b", "\x7F"}));
    EXPECT_EQ(UFileSys::GetNativePath(b.Get()), PathOf("base/d-/-"));
}

TEST_F(UFileSysRefTest, APartialMarkNamesWhatTheFileBecomes)
{
    WriteFile("x.qpf", "part");
    StFileSysRef ref(UFileSys::NewFromNativePath(PathOf("x.qpf").data(), uint32_t(PathOf("x.qpf").size())));
    uint8_t name[256];
    const UFileSys::EPartialMark none = UFileSys::GetPartialMark(ref.Get(), name);
    if (none == UFileSys::kPartialUnknown) GTEST_SKIP() << "the temporary folder keeps no marks";
    EXPECT_EQ(none, UFileSys::kPartialNone);
    UFileSys::SetPartialMark(ref.Get(), PStr("x\x8E").data());
    EXPECT_EQ(UFileSys::GetPartialMark(ref.Get(), name), UFileSys::kPartialMarked);
    EXPECT_EQ(FromPStr(name), "x\x8E");
    // Kept through a rename, and gone once cleared.
    UFileSys::SetName(ref.Get(), PStr("y.qpf").data());
    EXPECT_EQ(UFileSys::GetPartialMark(ref.Get(), nullptr), UFileSys::kPartialMarked);
    UFileSys::ClearPartialMark(ref.Get());
    UFileSys::ClearPartialMark(ref.Get());
    EXPECT_EQ(UFileSys::GetPartialMark(ref.Get(), name), UFileSys::kPartialNone);
    EXPECT_EQ(name[0], 0);
}

TEST_F(UFileSysRefTest, ProgramFolderDownloadsMissingThenAFile)
{
    const auto downloads = PStr("Downloads");
    uint32_t kind = 99;
    StFileSysRef ref(UFileSys::New(kFSProgramFolder, nullptr, downloads.data(),
                                   kFSFailIfNotFolder | kFSResolveAlias, &kind));
    ASSERT_NE(ref.Get(), nullptr);
    EXPECT_EQ(kind, kFSKindMissing);
    EXPECT_EQ(UFileSys::GetNativePath(ref.Get()), PathOf("xdg/Quenvol/Downloads"));

    UFileSys::CreateFile(ref.Get(), 0, 0);
    EXPECT_SERROR(UFileSys::New(kFSProgramFolder, nullptr, downloads.data(), kFSFailIfNotFolder, nullptr),
                  kErrTypeFileSys, 125);
}

TEST_F(UFileSysRefTest, ResolvingStepOptions)
{
    StFileSysRef root(RootRef());
    WriteFile("file", "x");
    MakeFolder("folder");
    const auto file = PStr("file"), folder = PStr("folder"), missing = PStr("missing");
    const auto deep = PStr("\rnope\r");
    uint32_t kind = 99;

    // Missing: the parent decides between kinds 0 and 1.
    EXPECT_EQ(UFileSys::New(root.Get(), deep.data(), missing.data(), kFSNullIfNoParent, &kind), nullptr);
    EXPECT_EQ(kind, kFSKindNoParent);
    StFileSysRef missingRef(UFileSys::New(root.Get(), nullptr, missing.data(), kFSNullIfNoParent, &kind));
    EXPECT_NE(missingRef.Get(), nullptr);
    EXPECT_EQ(kind, kFSKindMissing);
    EXPECT_EQ(UFileSys::New(root.Get(), nullptr, missing.data(), kFSNullIfMissing, nullptr), nullptr);
    EXPECT_SERROR(
        UFileSys::New(root.Get(), nullptr, missing.data(), kFSFailIfMissing | kFSNullIfNotFile, nullptr),
        kErrTypeFileSys, 103);
    EXPECT_SERROR(
        UFileSys::New(root.Get(), nullptr, missing.data(), kFSFailIfMissing | kFSFailIfNotFolder, nullptr),
        kErrTypeFileSys, 104);
    EXPECT_SERROR(UFileSys::New(root.Get(), nullptr, missing.data(), kFSFailIfMissing, nullptr),
                  kErrTypeFileSys, 102);

    // Existing: the first of the "not" options decides alone.
    EXPECT_EQ(UFileSys::New(root.Get(), nullptr, file.data(), kFSNullIfExists, nullptr), nullptr);
    EXPECT_SERROR(UFileSys::New(root.Get(), nullptr, file.data(), kFSFailIfExists, nullptr), kErrTypeFileSys,
                  115);
    EXPECT_EQ(
        UFileSys::New(root.Get(), nullptr, folder.data(), kFSNullIfNotFile | kFSFailIfNotFolder, nullptr),
        nullptr);
    EXPECT_SERROR(UFileSys::New(root.Get(), nullptr, folder.data(), kFSFailIfNotFile, nullptr),
                  kErrTypeFileSys, 124);
    StFileSysRef fileRef(UFileSys::New(root.Get(), nullptr, file.data(), kFSNullIfNotFile, &kind));
    EXPECT_NE(fileRef.Get(), nullptr);
    EXPECT_EQ(kind, kFSKindFile);
    StFileSysRef folderRef(UFileSys::New(root.Get(), nullptr, folder.data(), kFSFailIfNotFolder, &kind));
    EXPECT_EQ(kind, kFSKindFolder);
}

TEST_F(UFileSysRefTest, LinksAreShortcuts)
{
    StFileSysRef root(RootRef());
    WriteFile("target.txt", "abc");
    MakeFolder("dir");
    std::filesystem::create_symlink(PathOf("target.txt"), PathOf("toFile"));
    std::filesystem::create_symlink(PathOf("dir"), PathOf("toDir"));
    std::filesystem::create_symlink(PathOf("gone"), PathOf("broken"));
    const auto toFile = PStr("toFile"), toDir = PStr("toDir"), broken = PStr("broken");
    uint32_t kind = 99;

    StFileSysRef a(UFileSys::New(root.Get(), nullptr, toFile.data(), 0, &kind));
    EXPECT_EQ(kind, kFSKindAliasToFile);
    StFileSysRef b(UFileSys::New(root.Get(), nullptr, toDir.data(), 0, &kind));
    EXPECT_EQ(kind, kFSKindAliasToFolder);
    StFileSysRef c(UFileSys::New(root.Get(), nullptr, broken.data(), 0, &kind));
    EXPECT_EQ(kind, kFSKindBrokenAlias);

    StFileSysRef followed(UFileSys::New(root.Get(), nullptr, toFile.data(), kFSResolveAlias, &kind));
    EXPECT_EQ(kind, kFSKindFile);
    uint8_t name[256];
    UFileSys::GetName(followed.Get(), name);
    EXPECT_EQ(FromPStr(name), "target.txt");

    EXPECT_EQ(UFileSys::New(root.Get(), nullptr, broken.data(), kFSResolveAlias | kFSNullIfMissing, &kind),
              nullptr);
    EXPECT_EQ(kind, kFSKindBrokenAlias);
    EXPECT_SERROR(UFileSys::New(root.Get(), nullptr, broken.data(), kFSResolveAlias, nullptr),
                  kErrTypeFileSys, 128);
}

TEST_F(UFileSysRefTest, RelativePathAndNameMapping)
{
    StFileSysRef root(RootRef());
    const auto relative = PStr("\rA\rB\\C\r");
    const auto name = PStr(".hid\\x/y");
    StFileSysRef ref(UFileSys::New(root.Get(), relative.data(), name.data()));
    EXPECT_EQ(UFileSys::GetNativePath(ref.Get()), PathOf("A/B-C/-hid-x-y"));

    const auto climb = PStr("A\r..");
    EXPECT_SERROR(UFileSys::New(root.Get(), climb.data(), name.data()), kErrTypeFileSys, 119);
}

TEST_F(UFileSysRefTest, ServerPathMapsBelowTheBaseFolder)
{
    StFileSysRef base(RootRef());
    uint32_t kind = 99;
    // Docs is missing locally: the mapping fails.
    EXPECT_SERROR(NewFromRecord(base.Get(), {"Docs", "a.txt"}), kErrTypeFileSys, 104);
    EXPECT_EQ(NewFromRecord(base.Get(), {"Docs", "a.txt"}, kFSNullIfMissing), nullptr);

    MakeFolder("Docs");
    StFileSysRef ref(NewFromRecord(base.Get(), {"Docs", "a.txt"}, 0, &kind));
    ASSERT_NE(ref.Get(), nullptr);
    EXPECT_EQ(kind, kFSKindMissing);
    EXPECT_EQ(UFileSys::GetNativePath(ref.Get()), PathOf("Docs/a.txt"));

    // A name given separately makes every level a folder; leading dots and backslashes are tamed.
    std::string record = PathRecord({"Docs"});
    const auto dotted = PStr(".hidden");
    StFileSysRef named(
        UFileSys::New(base.Get(), record.data(), uint32_t(record.size()), dotted.data(), 0, nullptr));
    EXPECT_EQ(UFileSys::GetNativePath(named.Get()), PathOf("Docs/-hidden"));
    MakeFolder("Back-slash");
    StFileSysRef slashed(NewFromRecord(base.Get(), {"Back\\slash", "f"}));
    EXPECT_EQ(UFileSys::GetNativePath(slashed.Get()), PathOf("Back-slash/f"));

    // Mac OS Roman names become UTF-8 on disk and come back as they went in.
    StFileSysRef accented(NewFromRecord(base.Get(), {"caf\x8E"}));
    EXPECT_EQ(UFileSys::GetNativePath(accented.Get()), PathOf("caf\xC3\xA9"));
    uint8_t name[256];
    UFileSys::GetName(accented.Get(), name);
    EXPECT_EQ(FromPStr(name), "caf\x8E");
}

TEST_F(UFileSysRefTest, ServerNamesThatCouldEscapeAreRefused)
{
    MakeFolder("base/sub");
    MakeFolder("outside");
    const std::string basePath = PathOf("base");
    StFileSysRef base(UFileSys::NewFromNativePath(basePath.data(), uint32_t(basePath.size())));

    for (const char* name : {"data/", "..", "x.", ".", "a:b", "a\\b", ""})
    {
        SCOPED_TRACE(name);
        EXPECT_SERROR(NewFromRecord(base.Get(), {name}), kErrTypeFileSys, 119);
    }
    EXPECT_SERROR(NewFromRecord(base.Get(), {std::string("a\0b", 3)}), kErrTypeFileSys, 119);
    // Folder levels: "..", ".", a separator, a NUL, a trailing dot, and two dots anywhere in the name.
    for (const char* level : {"..", ".", "sub/..", "sub.", "a..b", ""})
    {
        SCOPED_TRACE(level);
        EXPECT_SERROR(NewFromRecord(base.Get(), {level, "f"}), kErrTypeFileSys, 119);
    }
    EXPECT_SERROR(NewFromRecord(base.Get(), {"sub", "..", "..", "f"}), kErrTypeFileSys, 119);
    // Bad names are refused even where a missing folder could have given null.
    EXPECT_SERROR(NewFromRecord(base.Get(), {"..", "f"}, kFSNullIfMissing), kErrTypeFileSys, 119);
    // A record whose count runs past its end.
    std::string cut = PathRecord({"sub", "f"});
    cut[1] = 3;
    EXPECT_SERROR(UFileSys::New(base.Get(), cut.data(), uint32_t(cut.size()), nullptr, 0, nullptr),
                  kErrTypeFileSys, 119);
    EXPECT_SERROR(NewFromRecord(base.Get(), {}), kErrTypeFileSys, 119);
}

TEST_F(UFileSysRefTest, LinksInsideADownloadedTreeStayInside)
{
    MakeFolder("base/real");
    MakeFolder("outside");
    WriteFile("outside/secret", "keep");
    std::filesystem::create_symlink(PathOf("outside"), PathOf("base/out"));
    std::filesystem::create_symlink(PathOf("base/real"), PathOf("base/in"));
    std::filesystem::create_symlink(PathOf("outside/secret"), PathOf("base/real/f.qpf"));
    const std::string basePath = PathOf("base");
    StFileSysRef base(UFileSys::NewFromNativePath(basePath.data(), uint32_t(basePath.size())));

    // A folder level that is a link out of the tree is not followed.
    EXPECT_SERROR(NewFromRecord(base.Get(), {"out", "secret"}), kErrTypeFileSys, 104);
    EXPECT_EQ(NewFromRecord(base.Get(), {"out", "secret"}, kFSNullIfMissing), nullptr);
    // One that stays inside stands for its target.
    StFileSysRef inside(NewFromRecord(base.Get(), {"in", "new"}));
    EXPECT_EQ(UFileSys::GetNativePath(inside.Get()), PathOf("base/real/new"));
    UFileSys::CreateFile(inside.Get(), 0, 0);

    // The item itself a link out of the tree: it counts as broken and nothing writes through it, also
    // after the reference was renamed the way a resumed download renames it.
    uint32_t kind = 99;
    StFileSysRef item(NewFromRecord(base.Get(), {"real", "f"}, 0, &kind));
    const auto partial = PStr("f.qpf");
    UFileSys::SetRefName(item.Get(), partial.data());
    StFileSysRef again(NewFromRecord(base.Get(), {"real", "f.qpf"}, 0, &kind));
    EXPECT_EQ(kind, kFSKindBrokenAlias);
    EXPECT_SERROR(NewFromRecord(base.Get(), {"real", "f.qpf"}, kFSResolveAlias, nullptr), kErrTypeFileSys,
                  128);
    EXPECT_SERROR(UFileSys::ResumeUnflatten(item.Get()), kErrTypeFileSys, 119);
    EXPECT_SERROR(UFileSys::Open(item.Get(), kFSPermReadWrite), kErrTypeFileSys, 119);
    EXPECT_FALSE(UFileSys::IsOpen(item.Get()));
    EXPECT_EQ(ReadFile(PathOf("outside/secret")), "keep");

    // Clones keep the confinement.
    StFileSysRef clone(UFileSys::Clone(item.Get()));
    EXPECT_SERROR(UFileSys::StartUnflatten(clone.Get()), kErrTypeFileSys, 119);
}

// A folder download resolves every item against one base and finds the base's real path only once:
// pointed at another folder, the base must not keep mapping items into the first one.
TEST_F(UFileSysRefTest, ABaseFolderPointedElsewhereMapsIntoTheNewFolder)
{
    MakeFolder("first/Docs");
    MakeFolder("second/Docs");
    std::filesystem::create_symlink(PathOf("first"), PathOf("link"));
    const std::string linkPath = PathOf("link"), secondPath = PathOf("second");
    StFileSysRef base(UFileSys::NewFromNativePath(linkPath.data(), uint32_t(linkPath.size())));
    StFileSysRef item(NewFromRecord(base.Get(), {"Docs", "a"}));
    EXPECT_EQ(UFileSys::GetNativePath(item.Get()), PathOf("first/Docs/a"));
    StFileSysRef again(NewFromRecord(base.Get(), {"Docs", "b"}));
    EXPECT_EQ(UFileSys::GetNativePath(again.Get()), PathOf("first/Docs/b"));

    StFileSysRef second(UFileSys::NewFromNativePath(secondPath.data(), uint32_t(secondPath.size())));
    UFileSys::SetRef(base.Get(), second.Get());
    StFileSysRef moved(NewFromRecord(base.Get(), {"Docs", "a"}));
    EXPECT_EQ(UFileSys::GetNativePath(moved.Get()), PathOf("second/Docs/a"));
    // And a name outside the new folder is still refused.
    EXPECT_SERROR(NewFromRecord(base.Get(), {"..", "first", "a"}), kErrTypeFileSys, 119);
}

TEST_F(UFileSysRefTest, CreateRenameMoveDelete)
{
    StFileSysRef root(RootRef());
    MakeFolder("dest");
    const auto name = PStr("a.txt");
    StFileSysRef ref(UFileSys::New(root.Get(), nullptr, name.data()));
    UFileSys::CreateFile(ref.Get(), FourCC("TEXT"), FourCC("ttxt"));
    EXPECT_SERROR(UFileSys::CreateFile(ref.Get(), 0, 0), kErrTypeFileSys, 115);
    bool isFolder = true;
    EXPECT_TRUE(UFileSys::Exists(ref.Get(), &isFolder));
    EXPECT_FALSE(isFolder);
    EXPECT_FALSE(UFileSys::Exists(nullptr));

    // Renaming on disk never replaces another item.
    WriteFile("b.txt", "other");
    EXPECT_SERROR(UFileSys::SetName(ref.Get(), PStr("b.txt").data()), kErrTypeFileSys, 115);
    EXPECT_SERROR(UFileSys::SetName(ref.Get(), PStr("x/y").data()), kErrTypeFileSys, 119);
    EXPECT_SERROR(UFileSys::SetRefName(ref.Get(), nullptr), kErrTypeGeneral, 2);
    EXPECT_SERROR(UFileSys::SetRefName(ref.Get(), PStr("").data()), kErrTypeGeneral, 2);
    UFileSys::SetName(ref.Get(), PStr("c.txt").data());
    EXPECT_TRUE(std::filesystem::exists(PathOf("c.txt")));
    EXPECT_EQ(ReadFile(PathOf("b.txt")), "other");

    StFileSysRef dest(UFileSys::New(root.Get(), nullptr, PStr("dest").data()));
    UFileSys::MoveAndRename(ref.Get(), dest.Get(), nullptr);
    EXPECT_EQ(UFileSys::GetNativePath(ref.Get()), PathOf("dest/c.txt"));
    UFileSys::MoveAndRename(ref.Get(), dest.Get(), PStr("d.txt").data());
    EXPECT_TRUE(std::filesystem::exists(PathOf("dest/d.txt")));

    UFileSys::Open(ref.Get(), kFSPermRead);
    EXPECT_SERROR(UFileSys::DeleteFile(ref.Get()), kErrTypeFileSys, 116);
    UFileSys::Close(ref.Get());
    UFileSys::DeleteFile(ref.Get());
    EXPECT_FALSE(UFileSys::Exists(ref.Get()));
    UFileSys::DeleteFile(ref.Get()); // missing: not an error

    StFileSysRef sub(UFileSys::New(root.Get(), nullptr, PStr("sub").data()));
    UFileSys::CreateFolder(sub.Get());
    EXPECT_TRUE(UFileSys::Exists(sub.Get(), &isFolder));
    EXPECT_TRUE(isFolder);
    UFileSys::DeleteFolder(sub.Get());
    UFileSys::DeleteFolder(sub.Get());
    EXPECT_FALSE(UFileSys::Exists(sub.Get()));
}

TEST_F(UFileSysRefTest, ContentsAtOffsets)
{
    StFileSysRef root(RootRef());
    StFileSysRef ref(UFileSys::New(root.Get(), nullptr, PStr("data.bin").data()));
    char buffer[8] = {};
    EXPECT_SERROR(UFileSys::Read(ref.Get(), 0, buffer, 4), kErrTypeGeneral, 3);
    EXPECT_SERROR(UFileSys::Open(ref.Get(), kFSPermRead), kErrTypeFileSys, 103);
    UFileSys::CreateFile(ref.Get(), 0, 0);
    {
        StFileOpener open(ref.Get(), kFSPermReadWrite | kFSShareExclusive);
        EXPECT_SERROR(UFileSys::Open(ref.Get(), kFSPermRead), kErrTypeGeneral, 3);
        EXPECT_EQ(UFileSys::Write(ref.Get(), 4, "abcd", 4), 4u);
        EXPECT_EQ(UFileSys::GetSize(ref.Get()), 8u);
        EXPECT_EQ(UFileSys::Read(ref.Get(), 2, buffer, 8), 6u);
        EXPECT_EQ(std::string(buffer, 6), std::string("\0\0abcd", 6));
        UFileSys::SetSize(ref.Get(), 5);
        UFileSys::SetComment(ref.Get(), "ignored", 7);
    }
    EXPECT_FALSE(UFileSys::IsOpen(ref.Get()));
    EXPECT_EQ(UFileSys::GetSize(ref.Get()), 5u);
    uint32_t type = 0, creator = 0;
    UFileSys::GetTypeAndCreatorCode(ref.Get(), type, creator);
    EXPECT_EQ(type, FourCC("BINA"));
    EXPECT_EQ(creator, FourCC("dosa"));
}

TEST_F(UFileSysRefTest, NullReferencesAndUnavailableServices)
{
    EXPECT_SERROR(UFileSys::Clone(nullptr), kErrTypeGeneral, 2);
    EXPECT_SERROR(UFileSys::GetSize(nullptr), kErrTypeGeneral, 2);
    EXPECT_SERROR(UFileSys::StartFlatten(nullptr), kErrTypeGeneral, 2);
    EXPECT_SERROR(UFileSys::New(nullptr, nullptr, PStr("x").data()), kErrTypeGeneral, 2);
    EXPECT_SERROR(UFileSys::NewTemp(), kErrTypeGeneral, 4);
    UFileSys::Dispose(nullptr);

    UFileSys::SetDialogProcs(nullptr, nullptr);
    EXPECT_SERROR(UFileSys::UserSelectFile(nullptr, 0), kErrTypeFileSys, 110);
    EXPECT_SERROR(UFileSys::UserSaveFile(PStr("x").data(), nullptr), kErrTypeFileSys, 110);
    UFileSys::SetDialogProcs(
        [](const uint32_t*, uint32_t, std::string& path)
        {
            path = "/some/where.txt";
            return true;
        },
        [](const uint8_t*, const uint8_t*, const std::string&, std::string&) { return false; });
    StFileSysRef chosen(UFileSys::UserSelectFile(nullptr, 0));
    ASSERT_NE(chosen.Get(), nullptr);
    EXPECT_EQ(UFileSys::GetNativePath(chosen.Get()), "/some/where.txt");
    EXPECT_EQ(UFileSys::UserSaveFile(PStr("x").data(), nullptr), nullptr);
    UFileSys::SetDialogProcs(nullptr, nullptr);

    // Command-line paths: relative ones start at the working folder. The program entry installs these two.
    static_assert(std::is_same_v<decltype(&UFileSys::NewFromNativePath), UApplication::DocumentRefProc>);
    static_assert(std::is_same_v<decltype(&UFileSys::Dispose), UApplication::DocumentDisposeProc>);
    StFileSysRef relative(UFileSys::NewFromNativePath("doc.txt", 7));
    EXPECT_EQ(UFileSys::GetNativePath(relative.Get()), std::filesystem::current_path().string() + "/doc.txt");
}

TEST_F(UFileSysRefTest, ListingOfFilesFoldersAndLinks)
{
    MakeFolder("list/sub");
    WriteFile("list/sub/one", "1");
    WriteFile("list/sub/two", "2");
    WriteFile("list/a.txt", "abc");
    WriteFile("list/pic.gif", std::string(1000, 'g'));
    std::filesystem::create_symlink(PathOf("list/pic.gif"), PathOf("list/link.lnk"));
    std::filesystem::create_symlink(PathOf("list/gone"), PathOf("list/broken"));
    const std::string folderPath = PathOf("list");
    StFileSysRef folder(UFileSys::NewFromNativePath(folderPath.data(), uint32_t(folderPath.size())));

    StHandle listing(UFileSys::GetListing(folder.Get()));
    struct SEntry
    {
        uint32_t type, creator, size, flags;
        SDateTimeStamp modified;
    };
    std::map<std::string, SEntry> entries;
    uint32_t pos = 0;
    uint8_t name[256];
    SEntry e{};
    while (UFileSys::GetListNext(listing.Get(), pos, name, &e.type, &e.creator, &e.size, nullptr, &e.modified,
                                 &e.flags))
        entries[FromPStr(name)] = e;
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries["sub"].type, FourCC("fldr"));
    EXPECT_EQ(entries["sub"].creator, 0u);
    EXPECT_EQ(entries["sub"].size, 2u);
    EXPECT_EQ(entries["a.txt"].type, FourCC("TEXT"));
    EXPECT_EQ(entries["a.txt"].size, 3u);
    EXPECT_GE(entries["a.txt"].modified.year, 2024);
    EXPECT_LT(entries["a.txt"].modified.seconds, 366u * 86400);
    EXPECT_EQ(entries["link.lnk"].type, FourCC("GIFf"));
    EXPECT_EQ(entries["link.lnk"].size, 1000u);
    EXPECT_EQ(entries["broken"].type, FourCC("alis"));
    EXPECT_EQ(entries["broken"].size, 0u);
    for (auto& [n, entry] : entries)
        EXPECT_EQ(entry.flags, 0u) << n;

    // A listing block that was cut short ends the walk instead of being read past.
    UMemory::SetSize(listing.Get(), 10);
    pos = 0;
    while (
        UFileSys::GetListNext(listing.Get(), pos, name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
    {
    }
    EXPECT_LE(pos, 10u);
}

TEST_F(UFileSysRefTest, SaveSafelyReplacesTheFileWholeOrLeavesItAsItWas)
{
    StFileSysRef folder(RootRef());
    const auto name = PStr("settings");
    WriteFile("settings", "old");
    WriteFile("settings.new", "left by a crash");
    UFileSys::SaveSafely(folder.Get(), name.data(), FourCC("TEXT"), FourCC("QVLC"),
                         [](TFileSysRefObj* file) { UFileSys::Write(file, 0, "new", 3); });
    EXPECT_EQ(ReadFile(PathOf("settings")), "new");
    EXPECT_FALSE(std::filesystem::exists(PathOf("settings.new")));

    EXPECT_SERROR(UFileSys::SaveSafely(folder.Get(), name.data(), FourCC("TEXT"), FourCC("QVLC"),
                                       [](TFileSysRefObj* file)
                                       {
                                           UFileSys::Write(file, 0, "half", 4);
                                           Fail(kErrTypeFileSys, 106); // the disk is full
                                       }),
                  kErrTypeFileSys, 106);
    EXPECT_EQ(ReadFile(PathOf("settings")), "new");
    EXPECT_FALSE(std::filesystem::exists(PathOf("settings.new")));

    // A name with no room for the temporary name's ending is refused rather than cut.
    const auto longName = PStr(std::string(252, 'n'));
    EXPECT_SERROR(UFileSys::SaveSafely(folder.Get(), longName.data(), FourCC("TEXT"), FourCC("QVLC"),
                                       [](TFileSysRefObj*) {}),
                  kErrTypeFileSys, 119);
}
