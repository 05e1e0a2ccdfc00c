// A listing is what a server says it is: names with slashes, dots, NULs and line breaks, lengths that
// lie, records cut short and the same name over and over. The folder window shows what can be shown,
// reads nothing past a field, and hands the names back to the server as they came.
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>

#include "client/app/AppNumbers.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/widgets/UMyServerNames.h"
#include "framework/runtime/FourCC.h"
#include "tests/client/files/FilesTestSupport.h"

using namespace filestest;
using testwire::CFields;

namespace
{
std::string Entry(const char* type, uint32_t size, const std::string& name, uint16_t claimedLength)
{
    std::string record = std::string(type, 4) + std::string(4, '\0') + testwire::BE32(size) +
                         std::string(4, '\0') + std::string(2, '\0') + testwire::BE16(claimedLength);
    return record + name;
}

std::string Entry(const char* type, uint32_t size, const std::string& name)
{
    return Entry(type, size, name, uint16_t(name.size()));
}
} // namespace

TEST(HostileListing, NamesAreShownSafelyAndKeptForTheServerAsTheyCame)
{
    CAppHarness h;
    h.model.guestAccess = CServerModel::AllAccess();
    h.Start();
    ASSERT_TRUE(h.Login());
    CFields listing;
    listing.Add(200, Entry("fldr", 1, ".."))
        .Add(200, Entry("fldr", 1, "a/../../etc"))
        .Add(200, Entry("TEXT", 5, std::string("nul\0name", 8)))
        .Add(200, Entry("TEXT", 5, "two\rlines"))
        // A length that says 300 where 10 bytes follow; a record too short for its fixed part.
        .Add(200, Entry("TEXT", 5, "0123456789", 300))
        .Add(200, std::string("TEXT\0\0\0\0\0", 10));
    for (int i = 0; i < 200; ++i)
        listing.Add(200, Entry("TEXT", uint32_t(i), "same.txt"));
    STestReply reply;
    reply.body = listing.Bytes();
    h.server.SetReply(200, reply);
    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);

    const std::vector<std::string> rows = Rows(root);
    ASSERT_EQ(rows.size(), 205u);
    EXPECT_EQ(RowOf(root, "0123456789"), 2u); // the length is held to the bytes there are
    EXPECT_TRUE(HasRow(root, std::string("nul\0name", 8)));
    EXPECT_TRUE(HasRow(root, "a/../../etc"));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "same.txt"), 200);
    // Shown: control characters are stand-ins, the rest as it is.
    uint8_t shown[256];
    UMyServerNames::MakeShowable(root->View()->GetItem(RowOf(root, std::string("nul\0name", 8)))->name, shown,
                                 sizeof(shown));
    EXPECT_EQ(CAppHarness::Str(shown), "nul?name");
    root->Widget()->repaint(); // every row drawn once, none read past its name

    // The folder ".." opens as a folder of that name; the server, not the client, refuses to leave its
    // folder, and the window's title shows the name without its control bytes.
    h.server.ClearReply(200);
    Open(h, root, "..");
    const auto listings = h.Requests(200);
    EXPECT_EQ(CAppHarness::Field(listings.back(), 202), PathRecord({".."}));
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBoxTitled("Server Message", "Cannot find the folder."); },
                            "the server's refusal"));
    CMyFolderWin* dots = FolderWin(h, "..");
    ASSERT_NE(dots, nullptr);
    EXPECT_TRUE(Rows(dots).empty());

    CFields folderNamed;
    folderNamed.Add(200, Entry("fldr", 0, std::string("bad\0\ndir", 8)));
    reply.body = folderNamed.Bytes();
    h.server.SetReply(200, reply);
    h.Hit(root, kHitFileRefresh);
    WaitIdle(h);
    Open(h, root, std::string("bad\0\ndir", 8));
    CMyFolderWin* bad = FolderWin(h, "bad??dir");
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(WinPath(bad), PathRecord({std::string("bad\0\ndir", 8)}));
}
