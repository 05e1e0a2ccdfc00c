// Changes to the server's files through the whole client: new folders, deleting after the question, and
// moving and aliasing by dropping rows between folder windows, with the drop's bytes read strictly.
#include <QMimeData>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

#include "client/app/AppNumbers.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/files/CMyNewFolderWin.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/SHitMsgData.h"
#include "framework/ui/UDragAndDrop.h"
#include "tests/client/files/FilesTestSupport.h"

using namespace filestest;

namespace
{
class FileChangesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.WriteSharedFile("Report.txt", "figures");
        h.WriteSharedFile("Docs/Guide.txt", "guide");
        h.WriteSharedFile("Docs/Old/Notes.txt", "notes");
        h.model.guestAccess = CServerModel::AllAccess();
        h.Start();
        ASSERT_TRUE(h.Login());
        root = OpenRoot(h);
        ASSERT_NE(root, nullptr);
        Open(h, root, "Docs");
        docs = FolderWin(h, "Docs");
        ASSERT_NE(docs, nullptr);
    }

    // A drop hit as a folder window's list sends it: part 4, the flavour, the modifiers and the bytes.
    void DropHit(CMyFolderWin* on, const std::string& bytes, uint16_t mods = 0)
    {
        SHitMsgData hit{};
        hit.view = on->View();
        hit.id = kHitFileList;
        hit.type = 4;
        hit.part = kPartDrop;
        hit.mods = mods;
        hit.param = FourCC("QVFN");
        hit.dataSize = uint32_t(bytes.size());
        std::memcpy(hit.data, bytes.data(), bytes.size());
        on->Hit(hit);
        h.Pump();
        WaitIdle(h);
    }

    static std::string DropBytes(const std::string& name, const std::string& path)
    {
        const uint16_t size = uint16_t(path.size());
        std::string bytes(1, char(name.size()));
        bytes += name;
        bytes.append(reinterpret_cast<const char*>(&size), 2);
        return bytes + path;
    }

    CAppHarness h;
    CMyFolderWin* root = nullptr;
    CMyFolderWin* docs = nullptr;
};
} // namespace

TEST_F(FileChangesTest, NewFolderAsksForANameAndTheFolderShowsUp)
{
    h.OnModal<CMyNewFolderWin>(
        [&](CMyNewFolderWin& w)
        {
            EXPECT_EQ(CAppHarness::Title(&w), "Create Folder");
            EXPECT_FALSE(w.GetCreateButton()->IsEnabled());
            w.GetNameField()->SetText(CAppHarness::P("Letters").data());
            EXPECT_TRUE(w.GetCreateButton()->IsEnabled());
            w.Hit(CMyNewFolderWin::kHitCreate);
        });
    h.Hit(docs, kHitFileNewFolder);
    WaitIdle(h);
    ASSERT_EQ(h.Requests(205).size(), 1u);
    EXPECT_EQ(CAppHarness::Field(h.Requests(205)[0], 201), "Letters");
    EXPECT_EQ(CAppHarness::Field(h.Requests(205)[0], 202), PathRecord({"Docs"}));
    EXPECT_TRUE(h.SharedExists("Docs/Letters"));
    EXPECT_TRUE(HasRow(docs, "Letters"));

    h.OnModal<CMyNewFolderWin>([&](CMyNewFolderWin& w) { w.Hit(CMyNewFolderWin::kHitCancel); });
    h.Hit(docs, kHitFileNewFolder);
    // Return on the dimmed Create button means nothing; the dialog waits for a name.
    h.OnModal<CMyNewFolderWin>([&](CMyNewFolderWin& w) { w.Hit(CMyNewFolderWin::kHitCreate); });
    h.OnModal<CMyNewFolderWin>([&](CMyNewFolderWin& w) { w.Hit(CMyNewFolderWin::kHitCancel); });
    h.Hit(docs, kHitFileNewFolder);
    WaitIdle(h);
    EXPECT_EQ(h.Requests(205).size(), 1u);
}

TEST_F(FileChangesTest, RenameAsksForTheNewNameAndTellsTheServerWhereTheItemIs)
{
    Select(docs, "Guide.txt");
    h.OnModal<CMyNewFolderWin>(
        [&](CMyNewFolderWin& w)
        {
            w.GetNameField()->SetText(CAppHarness::P("Manual.txt").data());
            w.Hit(CMyNewFolderWin::kHitCreate);
        });
    h.Hit(docs, kHitFileRename);
    WaitIdle(h);
    ASSERT_EQ(h.Requests(207).size(), 1u);
    EXPECT_EQ(CAppHarness::Field(h.Requests(207)[0], 201), "Guide.txt");
    EXPECT_EQ(CAppHarness::Field(h.Requests(207)[0], 211), "Manual.txt");
    EXPECT_EQ(CAppHarness::Field(h.Requests(207)[0], 202), PathRecord({"Docs"}));
    EXPECT_TRUE(h.SharedExists("Docs/Manual.txt"));

    // Cancelled, nothing goes.
    Select(docs, "Old");
    h.OnModal<CMyNewFolderWin>([&](CMyNewFolderWin& w) { w.Hit(CMyNewFolderWin::kHitCancel); });
    h.Hit(docs, kHitFileRename);
    WaitIdle(h);
    EXPECT_EQ(h.Requests(207).size(), 1u);
}

TEST_F(FileChangesTest, ANewFolderDialogWhoseSessionEndsCreatesNothingInTheNextSession)
{
    h.OnModal<CMyNewFolderWin>(
        [&](CMyNewFolderWin& w)
        {
            w.GetNameField()->SetText(CAppHarness::P("Late").data());
            h.server.CloseConnection();
        });
    h.Hit(docs, kHitFileNewFolder);
    EXPECT_FALSE(h.App().Features().Session().IsConnected());
    EXPECT_TRUE(h.Windows<CMyNewFolderWin>().empty());
    ASSERT_TRUE(h.Login());
    WaitIdle(h);
    EXPECT_TRUE(h.Requests(205).empty());
    EXPECT_FALSE(h.SharedExists("Docs/Late"));
}

TEST_F(FileChangesTest, DeleteAsksFirstWithTheBoxOfAFileOrAFolder)
{
    Select(root, "Report.txt");
    h.boxAnswers = {2};
    h.Hit(root, kHitFileDelete);
    EXPECT_TRUE(h.HasBox(140, "Report.txt"));
    EXPECT_TRUE(h.Requests(204).empty());

    h.Hit(root, kHitFileDelete);
    WaitIdle(h);
    ASSERT_EQ(h.Requests(204).size(), 1u);
    EXPECT_EQ(CAppHarness::Field(h.Requests(204)[0], 201), "Report.txt");
    EXPECT_FALSE(h.SharedExists("Report.txt"));
    EXPECT_FALSE(HasRow(root, "Report.txt"));

    Select(docs, "Old");
    h.Hit(docs, kHitFileDelete);
    WaitIdle(h);
    EXPECT_TRUE(h.HasBox(147, "Old"));
    EXPECT_FALSE(h.SharedExists("Docs/Old"));
    EXPECT_EQ(Rows(docs), (std::vector<std::string>{"Guide.txt"}));
}

TEST_F(FileChangesTest, DeleteAndNewFolderFollowTheAccessOfFilesAndFolders)
{
    // Folders may be deleted, files may not, and no folder may be made.
    {
        const uint8_t access[8] = {0x02};
        StFieldData fields;
        UFieldData::AddField(fields, kFieldUserAccess, access, sizeof(access));
        h.App().ProcessTran_UserAccess(fields);
    }
    Select(root, "Report.txt");
    EXPECT_FALSE(root->GetButton(kHitFileDelete)->IsEnabled());
    h.Hit(root, kHitFileDelete);
    h.Hit(root, kHitFileNewFolder);
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_EQ(h.modalCount, 0u);
    Select(root, "Docs");
    EXPECT_TRUE(root->GetButton(kHitFileDelete)->IsEnabled());
    h.boxAnswers = {2};
    h.Hit(root, kHitFileDelete);
    EXPECT_TRUE(h.HasBox(147));
}

TEST_F(FileChangesTest, DroppingARowMovesItAndWithAltAndCtrlMakesAnAlias)
{
    // The row of the root window dropped on the Docs window, as the list's drop sends it.
    std::unique_ptr<QMimeData> mime(
        UDragAndDrop::MakeMimeData({{FourCC("QVFN"), "Report.txt"}, {FourCC("ISDR"), std::string(1, '\0')}}));
    ASSERT_TRUE(docs->View()->Drop(*mime, 0));
    h.Pump();
    WaitIdle(h);
    ASSERT_EQ(h.Requests(208).size(), 1u);
    const STestTransaction move = h.Requests(208)[0];
    EXPECT_EQ(CAppHarness::Field(move, 201), "Report.txt");
    EXPECT_TRUE(CAppHarness::Field(move, 202).empty()); // from the root
    EXPECT_EQ(CAppHarness::Field(move, 212), PathRecord({"Docs"}));
    EXPECT_TRUE(h.SharedExists("Docs/Report.txt"));
    // Both windows show the move.
    EXPECT_FALSE(HasRow(root, "Report.txt"));
    EXPECT_TRUE(HasRow(docs, "Report.txt"));

    // Guide.txt from Docs dropped on the root window with Alt and Ctrl: an alias there.
    DropHit(root, DropBytes("Guide.txt", PathRecord({"Docs"})), kModAlt | kModCtrl);
    ASSERT_EQ(h.Requests(209).size(), 1u);
    const STestTransaction alias = h.Requests(209)[0];
    EXPECT_EQ(CAppHarness::Field(alias, 201), "Guide.txt");
    EXPECT_EQ(CAppHarness::Field(alias, 202), PathRecord({"Docs"}));
    EXPECT_TRUE(CAppHarness::Field(alias, 212).empty());
    EXPECT_TRUE(h.SharedExists("Guide.txt"));
    EXPECT_TRUE(h.SharedExists("Docs/Guide.txt"));
    ASSERT_TRUE(HasRow(root, "Guide.txt"));
    EXPECT_EQ(root->View()->GetItem(RowOf(root, "Guide.txt"))->type, FourCC("alis"));

    // Alt alone, or Ctrl alone, moves.
    DropHit(root, DropBytes("Notes.txt", PathRecord({"Docs", "Old"})), kModAlt);
    EXPECT_EQ(h.Requests(208).size(), 2u);
    EXPECT_TRUE(h.SharedExists("Notes.txt"));
}

TEST_F(FileChangesTest, ADropWhoseLengthsDoNotFitTheHitIsRefused)
{
    const std::string good = DropBytes("Report.txt", "");
    // The path length says 8 bytes follow; only 3 do.
    std::string cut = DropBytes("Report.txt", PathRecord({"Docs"}).substr(0, 3));
    const uint16_t claims = 8;
    std::memcpy(&cut[1 + 10], &claims, 2);
    DropHit(docs, cut);
    // The name length says more than the hit holds.
    DropHit(docs, std::string(1, char(40)) + "Report.txt");
    // Bytes left over after the path.
    DropHit(docs, good + "xx");
    // A path whose level runs past its end, and one with a level count of 0.
    std::string damaged = PathRecord({"Docs"});
    damaged[4] = 9;
    DropHit(docs, DropBytes("Guide.txt", damaged));
    DropHit(docs, DropBytes("Guide.txt", std::string("\0\0", 2)));
    // An empty name.
    DropHit(docs, DropBytes("", ""));
    EXPECT_TRUE(h.Requests(208).empty());
    EXPECT_TRUE(h.Requests(209).empty());

    // A name and path that do not fit one hit are not sent at all: cut, they would name another item.
    const std::string deep = PathRecord({std::string(120, 'a'), std::string(120, 'b')});
    std::unique_ptr<QMimeData> mime(
        UDragAndDrop::MakeMimeData({{FourCC("QVFN"), "Report.txt"}, {FourCC("QVFP"), deep}}));
    EXPECT_FALSE(docs->View()->Drop(*mime, 0));

    DropHit(docs, good);
    EXPECT_EQ(h.Requests(208).size(), 1u);
}
