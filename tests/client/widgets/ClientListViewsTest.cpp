// The client's list views: rows filled from server replies, their icons, order, search and colours,
// what a drop onto a folder's list does, and which task rows are repainted.
#include <QApplication>
#include <QMimeData>
#include <QPalette>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "client/chat/CMySubjectView.h"
#include "client/files/CMyFileListView.h"
#include "client/files/QuenvolFileTypeToIcon.h"
#include "client/prefs/CMyIconPickView.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/CApplication.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/SHitMsgData.h"
#include "framework/ui/UDragAndDrop.h"
#include "tests/support/RunLoopWait.h"

namespace
{
std::vector<SHitMsgData> gHits;

// Hits travel through the queue to the application object; this one only keeps them.
class CHitRecorder : public CApplication
{
public:
    void WindowHit(CWindow*, const SHitMsgData& hit) override { gHits.push_back(hit); }
};

std::string Name(const uint8_t* pstring)
{
    return std::string(reinterpret_cast<const char*>(pstring + 1), pstring[0]);
}

std::vector<uint8_t> PString(const std::string& s)
{
    std::vector<uint8_t> p(1, uint8_t(s.size()));
    p.insert(p.end(), s.begin(), s.end());
    return p;
}

uint32_t Code(const char* c)
{
    return (uint32_t(uint8_t(c[0])) << 24) | (uint32_t(uint8_t(c[1])) << 16) |
           (uint32_t(uint8_t(c[2])) << 8) | uint8_t(c[3]);
}

void AddFileEntry(TFieldDataObj* fields, const char* type, const char* creator, uint32_t size,
                  const std::string& name)
{
    SFileEntry e{};
    e.type = Code(type);
    e.creator = Code(creator);
    e.size = size;
    e.name[0] = uint8_t(name.size());
    std::memcpy(e.name + 1, name.data(), name.size());
    uint8_t record[300];
    UFieldData::AddField(fields, kFieldFileEntry, record, UFieldRecords::WriteFileEntry(e, record));
}

void AddUserEntry(TFieldDataObj* fields, uint16_t id, int16_t icon, uint16_t flags, const std::string& name)
{
    // Written by hand so that names longer than a user entry may hold can be sent, as a server might.
    std::vector<uint8_t> r = {
        uint8_t(id >> 8),    uint8_t(id),    uint8_t(uint16_t(icon) >> 8), uint8_t(icon),
        uint8_t(flags >> 8), uint8_t(flags), uint8_t(name.size() >> 8),    uint8_t(name.size())};
    r.insert(r.end(), name.begin(), name.end());
    UFieldData::AddField(fields, kFieldUserEntry, r.data(), uint32_t(r.size()));
}

class ListViewsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        gHits.clear();
        recorder = new CHitRecorder;
        window = new CWindow(SRect{0, 0, 300, 300}, kWindowDocument2, 7);
    }
    void TearDown() override
    {
        delete window;
        delete recorder;
        UApplication::Process();
    }
    std::vector<SHitMsgData> Hits()
    {
        UApplication::Process();
        return gHits;
    }
    std::vector<std::string> FileNames(const CMyFileListView& list)
    {
        std::vector<std::string> names;
        for (uint32_t r = 1; r <= list.GetItemCount(); ++r)
            names.push_back(Name(list.GetItem(r)->name));
        return names;
    }

    CHitRecorder* recorder = nullptr;
    CWindow* window = nullptr;
};
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

TEST_F(ListViewsTest, FileListSortsIgnoringCaseShorterFirstAndShowsDropBoxFolders)
{
    auto* list = new CMyFileListView(window, SRect{0, 0, 300, 300});
    StFieldData fields;
    AddFileEntry(fields, "TEXT", "ttxt", 10, "ReadMe.txt");
    AddFileEntry(fields, "fldr", "\0\0\0\0", 3, "Uploads");
    AddFileEntry(fields, "TEXT", "ttxt", 5, "readme");
    AddFileEntry(fields, "fldr", "\0\0\0\0", 0, "the DROP BOX");
    AddFileEntry(fields, "fldr", "\0\0\0\0", 7, "Pictures");
    UFieldData::AddInteger(fields, kFieldErrorText, 1); // other fields of the reply are passed over
    list->AddListFromFields(fields);

    EXPECT_EQ(FileNames(*list),
              (std::vector<std::string>{"Pictures", "readme", "ReadMe.txt", "the DROP BOX", "Uploads"}));
    EXPECT_EQ(list->GetItem(1)->icon, 401);
    EXPECT_EQ(list->GetItem(2)->icon, 404);
    EXPECT_EQ(list->GetItem(4)->icon, 421);
    EXPECT_EQ(list->GetItem(5)->icon, 421);
    EXPECT_EQ(list->GetItemCount(), 5u);

    // Equal names keep the order they arrived in.
    const uint8_t a[] = "\x03"
                        "abc",
                  b[] = "\x03"
                        "ABC";
    EXPECT_LT(CMyFileListView::CompareNames(a, b), 0);
    EXPECT_LT(CMyFileListView::CompareNames(b, a), 0);

    // A refill replaces the rows.
    list->DeleteAll();
    StFieldData next;
    AddFileEntry(next, "TEXT", "ttxt", 1, "alpha");
    AddFileEntry(next, "TEXT", "ttxt", 1, "Readme");
    list->AddListFromFields(next);
    EXPECT_EQ(FileNames(*list), (std::vector<std::string>{"alpha", "Readme"}));
    const auto me = PString("ME");
    EXPECT_EQ(list->SearchNames(me.data()), 2u);
    const auto none = PString("zz");
    EXPECT_EQ(list->SearchNames(none.data()), 0u);
}

TEST_F(ListViewsTest, FileListSelectionPartialFilesAndSizeColumn)
{
    auto* list = new CMyFileListView(window, SRect{0, 0, 300, 300});
    StFieldData fields;
    AddFileEntry(fields, "fldr", "\0\0\0\0", 12, "Folder");
    AddFileEntry(fields, "QVft", "QVLC", 4096, "movie.mov");
    AddFileEntry(fields, "alis", "MACS", 0, "shortcut");
    list->AddListFromFields(fields);

    uint8_t name[256];
    uint32_t type = 1;
    EXPECT_FALSE(list->GetSelectedFileName(name, &type));
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(type, 0u);
    list->SelectOnly(1);
    EXPECT_TRUE(list->GetSelectedFileName(name, &type));
    EXPECT_EQ(Name(name), "Folder");
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

TEST_F(ListViewsTest, DroppingLocalItemsQueuesOnlyFilesWithOneHit)
{
    char folder[] = "/tmp/quenvol-drop-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string file = std::string(folder) + "/song.mp3", sub = std::string(folder) + "/sub",
                      file2 = std::string(folder) + "/notes.txt";
    fclose(fopen(file.c_str(), "w"));
    fclose(fopen(file2.c_str(), "w"));
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);

    auto* list = new CMyFileListView(window, SRect{0, 0, 300, 300});
    list->SetID(1104);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(sub)),
                  QUrl::fromLocalFile(QString::fromStdString(file)),
                  QUrl::fromLocalFile(QString::fromStdString(std::string(folder) + "/gone")),
                  QUrl::fromLocalFile(QString::fromStdString(file2))});
    ASSERT_TRUE(CMyFileListView::CanAcceptDrop(mime));
    EXPECT_TRUE(list->Drop(mime, 0));
    const auto hits = Hits();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].id, 1104u);
    EXPECT_EQ(hits[0].part, 4);
    EXPECT_EQ(hits[0].param, FourCC("hfs "));
    EXPECT_EQ(list->GetUploadCount(), 2u);

    TFileSysRefObj* ref = list->GetItemToUpload();
    ASSERT_NE(ref, nullptr);
    uint8_t name[256];
    UFileSys::GetName(ref, name);
    EXPECT_EQ(Name(name), "song.mp3");
    UFileSys::Dispose(ref);
    // The second one stays queued and goes with the view.

    QMimeData onlyFolder;
    onlyFolder.setUrls({QUrl::fromLocalFile(QString::fromStdString(sub))});
    EXPECT_FALSE(list->Drop(onlyFolder, 0));
    EXPECT_EQ(Hits().size(), 1u);

    unlink(file.c_str());
    unlink(file2.c_str());
    rmdir(sub.c_str());
    rmdir(folder);
}

TEST_F(ListViewsTest, AServerFileDroppedFromAnotherFolderBecomesAMoveMessage)
{
    auto* list = new CMyFileListView(window, SRect{0, 0, 300, 300});
    list->SetID(1104);
    const std::string path = std::string("\0\1\0\0\4Docs", 9);
    QMimeData* mime = UDragAndDrop::MakeMimeData(
        {{FourCC("QVFN"), "report.doc"}, {FourCC("ISDR"), std::string(1, '\0')}, {FourCC("QVFP"), path}});
    EXPECT_TRUE(list->Drop(*mime, kModAlt));
    delete mime;
    const auto hits = Hits();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].param, FourCC("QVFN"));
    EXPECT_EQ(hits[0].mods, kModAlt);
    ASSERT_EQ(hits[0].dataSize, 10u + 9u + 3u);
    EXPECT_EQ(Name(hits[0].data), "report.doc");
    uint16_t pathSize;
    std::memcpy(&pathSize, hits[0].data + 11, 2);
    EXPECT_EQ(pathSize, 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(hits[0].data + 13), 9), path);

    // A message that does not fit one hit is not sent cut short: the move would name another folder.
    QMimeData* deep =
        UDragAndDrop::MakeMimeData({{FourCC("QVFN"), "report.doc"}, {FourCC("QVFP"), std::string(250, 'x')}});
    EXPECT_FALSE(list->Drop(*deep, 0));
    delete deep;
    EXPECT_EQ(Hits().size(), 1u);
}

TEST_F(ListViewsTest, UserListKeepsServerOrderCutsNamesAndColoursByFlags)
{
    auto* list = new CMyUserListView(window, SRect{0, 0, 300, 300});
    StFieldData fields;
    AddUserEntry(fields, 7, 0, 0, "zed");
    AddUserEntry(fields, 3, 2001, 2, std::string(80, 'n'));
    AddUserEntry(fields, 9, 128, 1, "Amy");
    list->SetUsersFromFields(fields);
    ASSERT_EQ(list->GetItemCount(), 3u);
    EXPECT_EQ(list->GetItem(1)->id, 7);
    EXPECT_EQ(list->GetItem(1)->icon, 414); // icon 0 from a listing is the default icon
    EXPECT_EQ(list->GetItem(2)->name[0], 63);
    EXPECT_EQ(list->GetItem(3)->id, 9);

    list->SelectOnly(2);
    uint8_t name[32];
    EXPECT_EQ(list->GetSelectedUserID(name), 3);
    EXPECT_EQ(Name(name), std::string(31, 'n'));
    const auto amy = PString("AM");
    EXPECT_EQ(list->SearchNames(amy.data()), 3u);

    // Added and updated users keep the icon id they are given, even 0.
    list->AddUser(12, 0, 0, "Bo", 2);
    EXPECT_EQ(list->GetItem(4)->icon, 0);
    uint8_t old[32];
    EXPECT_TRUE(list->UpdateUser(9, 0, 3, "Amy Lee", 7, old));
    EXPECT_EQ(Name(old), "Amy");
    EXPECT_EQ(list->GetItem(3)->icon, 0);
    EXPECT_EQ(Name(list->GetItem(3)->name), "Amy Lee");
    EXPECT_FALSE(list->UpdateUser(99, 0, 0, "x", 1, old));

    uint8_t gone[64];
    EXPECT_TRUE(list->DeleteUserByID(7, gone));
    EXPECT_EQ(Name(gone), "zed");
    EXPECT_FALSE(list->DeleteUserByID(7, gone));
    EXPECT_EQ(list->GetItemCount(), 3u);
    EXPECT_EQ(list->GetSelectedUserID(nullptr), 3); // the selection moved with its row

    const QPalette pal = QApplication::palette();
    EXPECT_EQ(CMyUserListView::NameColor(3, false, pal), QColor(0xEE, 0x77, 0x77));
    EXPECT_EQ(CMyUserListView::NameColor(1, true, pal), QColor(0x77, 0x77, 0x77));
    EXPECT_EQ(CMyUserListView::NameColor(2, false, pal), QColor(0xDD, 0, 0));
    EXPECT_EQ(CMyUserListView::NameColor(0x10, false, pal), pal.color(QPalette::ButtonText));
    EXPECT_EQ(CMyUserListView::NameColor(0, true, pal), pal.color(QPalette::HighlightedText));
}

namespace
{
class CCountingTaskList : public CMyTaskListView
{
public:
    using CMyTaskListView::CMyTaskListView;
    std::vector<uint32_t> painted;

protected:
    void DrawItem(QPainter& painter, const QRect& rect, uint32_t row, bool selected, bool active) override
    {
        painted.push_back(row);
        CMyTaskListView::DrawItem(painter, rect, row, selected, active);
    }
};

bool Painted(const CCountingTaskList& list, uint32_t row)
{
    return std::find(list.painted.begin(), list.painted.end(), row) != list.painted.end();
}
} // namespace

TEST_F(ListViewsTest, TaskRowsAreRepaintedOnlyWhenTheyChange)
{
    auto* list = new CCountingTaskList(window, SRect{0, 0, 300, 200});
    CMyTaskRows& rows = list->Model();
    auto* t1 = reinterpret_cast<CMyTask*>(0x10);
    auto* t2 = reinterpret_cast<CMyTask*>(0x20);
    auto* t3 = reinterpret_cast<CMyTask*>(0x30);
    rows.AddTask(t1, PString("Downloading \xD2"
                             "a\xD3")
                         .data());
    rows.AddTask(t2, nullptr);
    rows.AddTask(t3, PString("Done").data());
    rows.SetTaskProgress(t1, 100, 100, nullptr);
    window->Show();
    ASSERT_TRUE(PumpUntil([&] { return Painted(*list, 1) && Painted(*list, 3); }, "the first paint"));

    // Row 3 changes to mark the moment of the next paint; row 1 must not be in it.
    list->painted.clear();
    rows.SetTaskProgress(t1, 100, 100, nullptr);
    rows.ShowFinishedBar(t1);
    rows.SetTaskProgress(t3, 1, 3, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Painted(*list, 3); }, "row 3 repainted"));
    EXPECT_FALSE(Painted(*list, 1));

    list->painted.clear();
    rows.ShowFinishedBar(t2); // 0 of 0 becomes a full bar
    ASSERT_TRUE(PumpUntil([&] { return Painted(*list, 2); }, "row 2 repainted"));
    EXPECT_EQ(rows.GetRow(2)->progVal, 100u);
    EXPECT_EQ(rows.GetRow(2)->progMax, 100u);

    // The selection is the model's too, and a removed row leaves the view.
    list->SelectOnly(3);
    EXPECT_EQ(list->GetSelectedTask(), t3);
    EXPECT_EQ(rows.GetSelectedTask(), t3);
    rows.RemoveTask(t1);
    EXPECT_EQ(list->GetItemCount(), 2u);
    EXPECT_EQ(list->GetSelectedTask(), t3);
    rows.RemoveTask(t2);
    rows.RemoveTask(t3);
    EXPECT_EQ(list->GetItemCount(), 0u);
}

TEST_F(ListViewsTest, IconCellsOfOneRingHaveOneMarkAndTheSubjectBarReportsClicks)
{
    auto* a = new CMyIconPickView(window, SRect{0, 0, 32, 32}, 414);
    auto* b = new CMyIconPickView(window, SRect{40, 0, 72, 32}, -2001);
    auto* c = new CMyIconPickView(window, SRect{80, 0, 112, 32}, 128);
    b->JoinRing(a);
    c->JoinRing(a);
    a->SetMark(true);
    QTest::mouseClick(c->Widget(), Qt::LeftButton);
    EXPECT_FALSE(a->GetMark());
    EXPECT_FALSE(b->GetMark());
    EXPECT_TRUE(c->GetMark());
    delete b; // leaves the ring: the others still reach each other
    a->Choose();
    EXPECT_TRUE(a->GetMark());
    EXPECT_FALSE(c->GetMark());

    auto* subject = new CMySubjectView(window, SRect{0, 100, 300, 116});
    subject->SetID(1039);
    subject->SetText("Plans", 5);
    window->Show();
    QTest::mouseClick(subject->Widget(), Qt::LeftButton);
    auto hits = Hits();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].id, 1039u);
    EXPECT_EQ(hits[0].type, 1);
    EXPECT_FALSE(subject->IsHilited());
    subject->SetHitsEnabled(false);
    QTest::mouseClick(subject->Widget(), Qt::LeftButton);
    EXPECT_EQ(Hits().size(), 1u);
}
