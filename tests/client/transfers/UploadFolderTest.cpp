// Uploads as people make them: several files from one drop or one dialog (which opens where the user
// chose from last), a dropped folder with everything in it as one task that resumes file by file, and a
// name the server folder has already: keep both, replace, or cancel.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "client/app/AppNumbers.h"
#include "client/transfers/CMyTransferQueue.h"
#include "client/transfers/CMyUploadFldrTask.h"
#include "client/transfers/UMyUploadChooser.h"
#include "client/transfers/UMyUploadNames.h"
#include "tests/client/transfers/TransferTestSupport.h"

using namespace filestest;
using namespace transfertest;

namespace
{
class UploadFolderTest : public ::testing::Test
{
protected:
    void SetUp() override { h.model.guestAccess = CServerModel::AllAccess(); }
    void TearDown() override { UMyUploadChooser::SetChooser(nullptr); }

    void Begin()
    {
        h.WriteSharedFile("Docs/placeholder", "");
        docs = LoginAndOpenDocs(h);
        ASSERT_NE(docs, nullptr);
        mLocal = h.UserFolder() + "/local";
        mkdir(mLocal.c_str(), 0755);
    }

    std::string Local(const std::string& name) const { return mLocal + "/" + name; }
    std::string Shared(const std::string& path) const { return ReadFile(h.SharedFolder() + "/Docs/" + path); }

    // A file below the local folder, with the folders above it.
    void WriteLocal(const std::string& path, const std::string& bytes)
    {
        for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
            mkdir(Local(path.substr(0, slash)).c_str(), 0755);
        WriteFile(Local(path), bytes);
    }

    bool WaitNoTasks(const char* what = "the uploads to end", uint32_t watchdogMs = 10000)
    {
        return h.WaitUntil(
            [&]
            {
                for (CMyTask* task : h.App().Features().Tasks())
                    if (!task->IsParked()) return false;
                return true;
            },
            what, watchdogMs);
    }

    void Refresh()
    {
        h.App().DoFileRefresh(docs);
        ASSERT_TRUE(WaitIdle(h));
    }

    size_t UploadsNamed(const std::string& name) const
    {
        size_t n = 0;
        for (const STestTransaction& t : h.Requests(203))
            if (CAppHarness::Field(t, 201) == name) ++n;
        return n;
    }

    CAppHarness h;
    CMyFolderWin* docs = nullptr;
    std::string mLocal;
};
} // namespace

TEST_F(UploadFolderTest, AThreeLevelFolderUploadsWholeAsOneTaskLeavingOutLinksToFoldersAndPipes)
{
    Begin();
    const std::string a = Data(70000, 1), b = Data(300000, 2), c = Data(5, 3);
    WriteLocal("Tree/a.txt", a);
    WriteLocal("Tree/Sub/b.bin", b);
    WriteLocal("Tree/Sub/Deeper/c.bin", c);
    WriteLocal("Tree/Sub/Deeper/empty.txt", "");
    mkdir(Local("Tree/Empty").c_str(), 0755);
    // A link back up the tree would never end if followed, and a pipe would wait for a writer.
    ASSERT_EQ(symlink(Local("Tree").c_str(), Local("Tree/Sub/loop").c_str()), 0);
    ASSERT_EQ(mkfifo(Local("Tree/Sub/pipe").c_str(), 0644), 0);

    ASSERT_TRUE(DropFiles(h, docs, {Local("Tree")}));
    EXPECT_TRUE(HasRowWith(h, "Uploading Folder \xD2Tree\xD3")) << h.TaskRows().size();
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(Shared("Tree/a.txt"), a);
    EXPECT_EQ(Shared("Tree/Sub/b.bin"), b);
    EXPECT_EQ(Shared("Tree/Sub/Deeper/c.bin"), c);
    EXPECT_TRUE(h.SharedExists("Docs/Tree/Sub/Deeper/empty.txt"));
    EXPECT_EQ(Shared("Tree/Sub/Deeper/empty.txt"), "");
    EXPECT_TRUE(h.SharedExists("Docs/Tree/Empty"));
    EXPECT_FALSE(h.SharedExists("Docs/Tree/Sub/loop"));
    EXPECT_FALSE(h.SharedExists("Docs/Tree/Sub/pipe"));
    // Each folder made once, parents before what they hold; each file sent once.
    const std::vector<STestTransaction> folders = h.Requests(205);
    ASSERT_EQ(folders.size(), 4u);
    EXPECT_EQ(CAppHarness::Field(folders[0], 201), "Tree");
    EXPECT_EQ(CAppHarness::Field(folders[0], 202), PathRecord({"Docs"}));
    EXPECT_EQ(h.Requests(203).size(), 4u);
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.alert.empty());
    // The queue forgets a finished folder upload.
    EXPECT_TRUE(h.App().Features().Transfers().Records().empty());
}

TEST_F(UploadFolderTest, AFolderUploadCutOffResumesFileByFileWithoutSendingAWholeFileAgain)
{
    Begin();
    const std::string small = Data(1000, 4), large = Data(4 * 1024 * 1024, 5), last = Data(2000, 6);
    WriteLocal("Album/1-small.bin", small);
    WriteLocal("Album/2-large.bin", large);
    WriteLocal("Album/Inner/3-last.bin", last);
    // Files under the cut arrive whole; the large one is cut off in its middle.
    h.transfers.SetCutAfter(100000);
    ASSERT_TRUE(DropFiles(h, docs, {Local("Album")}));
    ASSERT_TRUE(WaitNoTasks("the cut upload to stop"));
    ASSERT_TRUE(h.SharedExists("Docs/Album/1-small.bin"));
    ASSERT_TRUE(h.SharedExists("Docs/Album/2-large.bin.qpf"));
    ASSERT_EQ(h.App().Features().Transfers().Records().size(), 1u);
    EXPECT_EQ(h.App().Features().Transfers().Records()[0].kind, SMyTransferRecord::kUploadFolder);
    // The cut is told a second after it, on the real clock here: waited for, so that it cannot land in
    // the second part, which must show no box at all.
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(128); }, "the cut upload's box"));

    h.transfers.SetCutAfter(0);
    h.boxes.clear();
    ASSERT_TRUE(SelectTaskRow(h, "Album"));
    h.Hit(h.App().Features().Windows().Tasks(), kHitStartTask);
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.SharedExists("Docs/Album/Inner/3-last.bin"); }, "the rest", 20000));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(Shared("Album/1-small.bin"), small);
    EXPECT_EQ(Shared("Album/2-large.bin"), large);
    EXPECT_EQ(Shared("Album/Inner/3-last.bin"), last);
    EXPECT_EQ(UploadsNamed("1-small.bin"), 1u);
    // The partial copy was resumed, not sent again from its start.
    const std::vector<STestTransaction> uploads = h.Requests(203);
    size_t resumed = 0;
    for (const STestTransaction& t : uploads)
        if (CAppHarness::Field(t, 201) == "2-large.bin" &&
            CAppHarness::Field(t, 204) == std::string("\0\1", 2))
            ++resumed;
    EXPECT_EQ(resumed, 1u);
    // The folders there already were refused silently.
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.alert.empty());
    EXPECT_TRUE(h.App().Features().Transfers().Records().empty());
}

TEST_F(UploadFolderTest, SeveralFilesFromOneDropAndFromOneDialogThatOpensWhereTheUserChoseLast)
{
    Begin();
    WriteLocal("one.txt", Data(100, 7));
    WriteLocal("two.txt", Data(200, 8));
    WriteLocal("Pick/three.txt", Data(300, 9));
    WriteLocal("Pick/four.txt", Data(400, 10));
    ASSERT_TRUE(DropFiles(h, docs, {Local("one.txt"), Local("two.txt")}));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(Shared("one.txt"), Data(100, 7));
    EXPECT_EQ(Shared("two.txt"), Data(200, 8));

    std::vector<std::string> starts;
    UMyUploadChooser::SetChooser(
        [&](bool folder, const std::string& start, std::vector<std::string>& out)
        {
            EXPECT_FALSE(folder);
            starts.push_back(start);
            out = {Local("Pick/three.txt"), Local("Pick/four.txt")};
            return true;
        });
    h.Hit(docs, kHitFileUpload);
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(Shared("three.txt"), Data(300, 9));
    EXPECT_EQ(Shared("four.txt"), Data(400, 10));
    // Cancelled the second time: the dialog opened in the folder chosen from before, kept in the settings.
    UMyUploadChooser::SetChooser(
        [&](bool, const std::string& start, std::vector<std::string>&)
        {
            starts.push_back(start);
            return false;
        });
    h.Hit(docs, kHitFileUpload);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], "");
    EXPECT_EQ(starts[1], mLocal + "/Pick");
    EXPECT_EQ(h.App().Features().Settings().uploadFolder, mLocal + "/Pick");
}

TEST_F(UploadFolderTest, ANameThereAlreadyIsKeptBesideReplacedOrLeftAsTheUserChooses)
{
    h.WriteSharedFile("Docs/photo.jpg", "old");
    h.WriteSharedFile("Docs/Trip/old.txt", "old");
    Begin();
    WriteLocal("photo.jpg", "new");
    WriteLocal("Trip/new.txt", "new");

    // Keep Both: the new file and folder take the next free numbered name.
    h.boxAnswers = {1, 1};
    ASSERT_TRUE(DropFiles(h, docs, {Local("photo.jpg"), Local("Trip")}));
    ASSERT_TRUE(WaitNoTasks());
    ASSERT_EQ(h.boxes.size(), 2u);
    EXPECT_NE(h.boxes[0].text.find("photo (2).jpg"), std::string::npos) << h.boxes[0].text;
    EXPECT_EQ(Shared("photo.jpg"), "old");
    EXPECT_EQ(Shared("photo (2).jpg"), "new");
    EXPECT_EQ(Shared("Trip/old.txt"), "old");
    EXPECT_EQ(Shared("Trip (2)/new.txt"), "new");

    // Again: "(2)" is taken now, so the copy is "(3)".
    Refresh();
    h.boxes.clear();
    h.boxAnswers = {1};
    ASSERT_TRUE(DropFiles(h, docs, {Local("photo.jpg")}));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(Shared("photo (3).jpg"), "new");

    // Replace: the server's file goes first, then the upload under its name.
    h.boxes.clear();
    h.boxAnswers = {3, 3};
    ASSERT_TRUE(DropFiles(h, docs, {Local("photo.jpg"), Local("Trip")}));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(Shared("photo.jpg"), "new");
    EXPECT_EQ(Shared("Trip/new.txt"), "new");
    EXPECT_FALSE(h.SharedExists("Docs/Trip/old.txt"));

    // Cancel ends the drop: neither that item nor the ones after it go.
    Refresh();
    WriteLocal("other.txt", "other");
    h.boxes.clear();
    h.boxAnswers = {2};
    const size_t before = h.Requests(203).size();
    ASSERT_TRUE(DropFiles(h, docs, {Local("photo.jpg"), Local("other.txt")}));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_EQ(h.Requests(203).size(), before);
    EXPECT_FALSE(h.SharedExists("Docs/other.txt"));
}

TEST_F(UploadFolderTest, ReplaceIsOfferedOnlyToWhoeverMayDeleteThere)
{
    h.model.guestAccess[0] &= uint8_t(~0x80); // no deleting files
    h.WriteSharedFile("Docs/photo.jpg", "old");
    Begin();
    WriteLocal("photo.jpg", "new");
    h.boxAnswers = {3}; // a third button, were there one
    ASSERT_TRUE(DropFiles(h, docs, {Local("photo.jpg")}));
    ASSERT_TRUE(WaitNoTasks());
    EXPECT_TRUE(h.Requests(204).empty());
    EXPECT_TRUE(h.Requests(203).empty());
    EXPECT_EQ(Shared("photo.jpg"), "old");
}

TEST(UploadNamesTest, TheNumberGoesBeforeAFilesExtensionAndLongNamesGiveUpTheirStem)
{
    uint8_t out[256];
    auto none = [](const uint8_t*) { return false; };
    UMyUploadNames::MakeFreeName(CAppHarness::P("photo.jpg").data(), false, none, out);
    EXPECT_EQ(CAppHarness::Str(out), "photo (2).jpg");
    UMyUploadNames::MakeFreeName(CAppHarness::P("v1.2").data(), true, none, out);
    EXPECT_EQ(CAppHarness::Str(out), "v1.2 (2)");
    UMyUploadNames::MakeFreeName(CAppHarness::P(".profile").data(), false, none, out);
    EXPECT_EQ(CAppHarness::Str(out), ".profile (2)");
    auto upTo3 = [](const uint8_t* n)
    {
        const std::string s = CAppHarness::Str(n);
        return s == "a (2).txt" || s == "a (3).txt";
    };
    UMyUploadNames::MakeFreeName(CAppHarness::P("a.txt").data(), false, upTo3, out);
    EXPECT_EQ(CAppHarness::Str(out), "a (4).txt");
    const std::string longName = std::string(260, 'x').substr(0, 255 - 4) + ".jpg";
    UMyUploadNames::MakeFreeName(CAppHarness::P(longName).data(), false, none, out);
    const std::string made = CAppHarness::Str(out);
    EXPECT_EQ(made.size(), UMyUploadNames::kMaxName);
    EXPECT_EQ(made.substr(made.size() - 8), " (2).jpg");
}
