// The list of a server folder: rows filled from listing replies, their icons and order, the selection
// while rows arrive, search and colours, and what a drop onto the list does.
#include <QApplication>
#include <QMimeData>
#include <QPalette>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "client/files/CMyFileListView.h"
#include "client/files/QuenvolFileTypeToIcon.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UDragAndDrop.h"
#include "tests/framework/ui/UiTestSupport.h"

namespace
{
constexpr uint32_t kText = FourCC("TEXT"), kFolder = FourCC("fldr");

struct SEntry
{
    uint32_t type;
    uint32_t size;
    std::string name;
    uint32_t creator = 0;
};

void AddFileEntries(TFieldDataObj* fields, const std::vector<SEntry>& entries)
{
    for (const SEntry& entry : entries)
    {
        SFileEntry e{};
        e.type = entry.type;
        e.creator = entry.creator;
        e.size = entry.size;
        UPString::SetBytes(e.name, entry.name.data(), uint32_t(entry.name.size()));
        uint8_t record[300];
        UFieldData::AddField(fields, kFieldFileEntry, record, UFieldRecords::WriteFileEntry(e, record));
    }
}

std::vector<uint8_t> PString(const std::string& text)
{
    std::vector<uint8_t> p(text.size() + 1);
    UPString::SetBytes(p.data(), uint32_t(p.size()), text.data(), uint32_t(text.size()));
    return p;
}

class FileListTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window = new CWindow(SRect{0, 0, 300, 300}, kWindowDocument2, 7);
        list = new CMyFileListView(window, SRect{0, 0, 300, 300});
    }
    void TearDown() override
    {
        delete window;
        UApplication::Process();
    }
    void Fill(const std::vector<SEntry>& entries)
    {
        StFieldData fields;
        AddFileEntries(fields, entries);
        list->AddListFromFields(fields);
    }
    void Add(const std::string& name, uint32_t size = 0)
    {
        list->AddItem(FourCC("TEXT"), FourCC("ttxt"), size, PString(name).data());
    }
    // Each row as "name/size", which tells rows with equal names apart.
    std::vector<std::string> RowTexts() const
    {
        std::vector<std::string> rows;
        for (uint32_t r = 1; r <= list->GetItemCount(); ++r)
            rows.push_back(std::string(UPString::Text(list->GetItem(r)->name)) + "/" +
                           std::to_string(list->GetItem(r)->fileSize));
        return rows;
    }
    std::vector<uint32_t> SelectedRows() const
    {
        std::vector<uint32_t> rows;
        for (uint32_t r = 1; r <= list->GetItemCount(); ++r)
            if (list->IsSelected(r)) rows.push_back(r);
        return rows;
    }
    std::string SelectedName() const
    {
        uint8_t name[256];
        list->GetSelectedFileName(name);
        return std::string(UPString::Text(name));
    }

    CHitRecorder app;
    CWindow* window = nullptr;
    CMyFileListView* list = nullptr;
};

using RowList = std::vector<std::string>;
} // namespace

TEST(FileTypeIcons, CodesAreComparedAsTheirFourBytes)
{
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("fldr")), 401);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("MP3 ")), 424);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("Mp3 ")), 424);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("mP3 ")), 400);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("MP3!")), 400);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("ZIP ")), 426);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("zip ")), 400);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("alis")), 422);
    EXPECT_EQ(QuenvolFileTypeToIcon(FourCC("QVft")), 402);
}

TEST_F(FileListTest, RowsSortIgnoringCaseShorterFirstAndShowDropBoxFolders)
{
    Fill({{kText, 10, "ReadMe.txt"},
          {kFolder, 3, "Uploads"},
          {kText, 5, "readme"},
          {kFolder, 0, "the DROP BOX"},
          {kFolder, 7, "Pictures"}});
    EXPECT_EQ(RowTexts(),
              (RowList{"Pictures/7", "readme/5", "ReadMe.txt/10", "the DROP BOX/0", "Uploads/3"}));
    EXPECT_EQ(list->GetItem(1)->icon, 401);
    EXPECT_EQ(list->GetItem(2)->icon, 404);
    EXPECT_EQ(list->GetItem(4)->icon, 421);
    EXPECT_EQ(list->GetItem(5)->icon, 421);

    // Other fields of the reply are passed over; a refill replaces the rows.
    list->DeleteAll();
    StFieldData next;
    AddFileEntries(next, {{kText, 1, "alpha"}, {kText, 1, "Readme"}});
    UFieldData::AddInteger(next, kFieldErrorText, 1);
    list->AddListFromFields(next);
    EXPECT_EQ(RowTexts(), (RowList{"alpha/1", "Readme/1"}));
    EXPECT_EQ(list->SearchNames(PString("ME").data()), 2u);
    EXPECT_EQ(list->SearchNames(PString("zz").data()), 0u);
}

// Equal names (ignoring case) once came out reversed: the comparison called neither of two equal names
// the lesser, which is no ordering a sort may be given.
TEST_F(FileListTest, EqualNamesCompareEqualAndKeepTheirArrivalOrder)
{
    const auto abc = PString("abc"), ABC = PString("ABC"), ab = PString("ab");
    EXPECT_EQ(CMyFileListView::CompareNames(abc.data(), ABC.data()), 0);
    EXPECT_EQ(CMyFileListView::CompareNames(ABC.data(), abc.data()), 0);
    EXPECT_LT(CMyFileListView::CompareNames(ab.data(), ABC.data()), 0);
    EXPECT_GT(CMyFileListView::CompareNames(ABC.data(), ab.data()), 0);

    Fill({{kText, 1, "same"},
          {kText, 2, "b"},
          {kText, 3, "SAME"},
          {kText, 4, "Same"},
          {kText, 5, "a"},
          {kText, 6, "same"}});
    EXPECT_EQ(RowTexts(), (RowList{"a/5", "b/2", "same/1", "SAME/3", "Same/4", "same/6"}));
    // A second reply to the same list puts its equal names after those already there.
    Fill({{kText, 7, "SAME"}, {kText, 8, "a"}});
    EXPECT_EQ(RowTexts(), (RowList{"a/5", "a/8", "b/2", "same/1", "SAME/3", "Same/4", "same/6", "SAME/7"}));

    // RowList added one by one keep their arrival order too.
    list->DeleteAll();
    Add("x", 1);
    Add("X", 2);
    Add("w", 3);
    Add("x", 4);
    EXPECT_EQ(RowTexts(), (RowList{"w/3", "x/1", "X/2", "x/4"}));
}

// RowList added to a sorted list used to leave the selection marks where they were, so that another row
// showed as selected and the folder window acted on the wrong file.
TEST_F(FileListTest, TheSelectionStaysWithItsRowWhileRowsArrive)
{
    Fill({{kText, 1, "delta"}, {kText, 2, "alpha"}});
    list->SelectOnly(2);
    ASSERT_EQ(SelectedName(), "delta");

    Add("beta");
    EXPECT_EQ(SelectedRows(), (std::vector<uint32_t>{3}));
    EXPECT_EQ(SelectedName(), "delta");

    Fill({{kText, 3, "zulu"}, {kText, 4, "aardvark"}, {kText, 5, "charlie"}, {kText, 6, "Delta"}});
    EXPECT_EQ(SelectedRows(), (std::vector<uint32_t>{5}));
    EXPECT_EQ(SelectedName(), "delta");

    // The keyboard goes on from the selected row, wherever it went.
    list->KeyPressed(Qt::Key_Down, 0);
    EXPECT_EQ(RowTexts()[list->GetFirstSelected() - 1], "Delta/6");
}

TEST_F(FileListTest, SelectionPartialFilesAndSizeColumn)
{
    Fill({{kFolder, 12, "Folder"},
          {FourCC("QVft"), 4096, "movie.mov", FourCC("QVLC")},
          {FourCC("alis"), 0, "shortcut", FourCC("MACS")}});

    uint8_t name[256];
    uint32_t type = 1;
    EXPECT_FALSE(list->GetSelectedFileName(name, &type));
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(type, 0u);
    list->SelectOnly(1);
    EXPECT_TRUE(list->GetSelectedFileName(name, &type));
    EXPECT_EQ(UPString::Text(name), "Folder");
    EXPECT_EQ(type, FourCC("fldr"));

    EXPECT_TRUE(list->HasPartialFile(PString("movie.mov").data()));
    EXPECT_FALSE(list->HasPartialFile(PString("movie.mo").data()));
    EXPECT_FALSE(list->HasPartialFile(PString("Movie.mov").data()));

    EXPECT_EQ(CMyFileListView::SizeColumnText(*list->GetItem(1)), "(12)");
    EXPECT_EQ(CMyFileListView::SizeColumnText(*list->GetItem(3)), "-");
    EXPECT_FALSE(CMyFileListView::SizeColumnText(*list->GetItem(2)).isEmpty());
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(CMyFileListView::NameColor(*list->GetItem(3), false, pal), QColor(0x77, 0x77, 0x77));
    EXPECT_EQ(CMyFileListView::NameColor(*list->GetItem(1), true, pal), pal.color(QPalette::HighlightedText));
}

TEST_F(FileListTest, DroppingLocalItemsQueuesFilesAndFoldersButNotVanishedOnesWithOneHit)
{
    char folder[] = "/tmp/quenvol-drop-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string file = std::string(folder) + "/song.mp3", sub = std::string(folder) + "/sub",
                      file2 = std::string(folder) + "/notes.txt";
    fclose(fopen(file.c_str(), "w"));
    fclose(fopen(file2.c_str(), "w"));
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);

    list->SetID(1104);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(sub)),
                  QUrl::fromLocalFile(QString::fromStdString(file)),
                  QUrl::fromLocalFile(QString::fromStdString(std::string(folder) + "/gone")),
                  QUrl::fromLocalFile(QString::fromStdString(file2))});
    ASSERT_TRUE(CMyFileListView::CanAcceptDrop(mime));
    EXPECT_TRUE(list->Drop(mime, 0));
    ASSERT_TRUE(app.WaitForHits(1));
    ASSERT_EQ(app.hits.size(), 1u);
    EXPECT_EQ(app.hits[0].hit.id, 1104u);
    EXPECT_EQ(app.hits[0].hit.part, 4);
    EXPECT_EQ(app.hits[0].hit.param, FourCC("hfs "));
    EXPECT_EQ(list->GetUploadCount(), 3u);

    // In the order dropped: a folder uploads with all it holds.
    uint8_t name[256];
    for (const char* expected : {"sub", "song.mp3"})
    {
        TFileSysRefObj* ref = list->GetItemToUpload();
        ASSERT_NE(ref, nullptr);
        UFileSys::GetName(ref, name);
        EXPECT_EQ(UPString::Text(name), expected);
        UFileSys::Dispose(ref);
    }
    // The third one stays queued and goes with the view.

    QMimeData onlyGone;
    onlyGone.setUrls({QUrl::fromLocalFile(QString::fromStdString(std::string(folder) + "/gone"))});
    EXPECT_FALSE(list->Drop(onlyGone, 0));
    UApplication::Process();
    EXPECT_EQ(app.hits.size(), 1u);

    unlink(file.c_str());
    unlink(file2.c_str());
    rmdir(sub.c_str());
    rmdir(folder);
}

TEST_F(FileListTest, AServerFileDroppedFromAnotherFolderBecomesAMoveMessage)
{
    list->SetID(1104);
    const std::string path = std::string("\0\1\0\0\4Docs", 9);
    QMimeData* mime = UDragAndDrop::MakeMimeData(
        {{FourCC("QVFN"), "report.doc"}, {FourCC("ISDR"), std::string(1, '\0')}, {FourCC("QVFP"), path}});
    EXPECT_TRUE(list->Drop(*mime, kModAlt));
    delete mime;
    ASSERT_TRUE(app.WaitForHits(1));
    const SHitMsgData& hit = app.hits[0].hit;
    EXPECT_EQ(hit.param, FourCC("QVFN"));
    EXPECT_EQ(hit.mods, kModAlt);
    ASSERT_EQ(hit.dataSize, 10u + 9u + 3u);
    EXPECT_EQ(UPString::Text(hit.data), "report.doc");
    uint16_t pathSize;
    std::memcpy(&pathSize, hit.data + 11, 2);
    EXPECT_EQ(pathSize, 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(hit.data + 13), 9), path);

    // A message that does not fit one hit is not sent cut short: the move would name another folder.
    QMimeData* deep =
        UDragAndDrop::MakeMimeData({{FourCC("QVFN"), "report.doc"}, {FourCC("QVFP"), std::string(250, 'x')}});
    EXPECT_FALSE(list->Drop(*deep, 0));
    delete deep;
    UApplication::Process();
    EXPECT_EQ(app.hits.size(), 1u);
}
