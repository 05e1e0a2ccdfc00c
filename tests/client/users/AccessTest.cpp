// The access bits the server grants decide which commands the windows offer: the toolbar, the online
// users window and the folder windows follow every access notice, and offer everything while not
// connected.
#include <algorithm>
#include <gtest/gtest.h>

#include "client/app/AppNumbers.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/users/CMyUserListWin.h"
#include "framework/runtime/FourCC.h"
#include "framework/ui/CIconButtonView.h"
#include "tests/client/users/UsersTestSupport.h"

using namespace userstest;

namespace
{
class AccessTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.Start();
        ASSERT_TRUE(h.Login());
        app = &h.App();
    }
    // The server's access notice, and a wait until the toolbar has taken it.
    void Grant(std::initializer_list<uint8_t> bytes)
    {
        SMyUserAccess expected{};
        size_t i = 0;
        for (uint8_t b : bytes)
            expected.bytes[i++] = b;
        h.server.PushTransaction(354, Access(bytes));
        ASSERT_TRUE(h.WaitUntil(
            [&] {
                return std::equal(expected.bytes, expected.bytes + 8,
                                  app->Features().Session().Access().bytes);
            },
            "the access notice"));
    }
    bool Shown(uint32_t id) const
    {
        const auto ids = h.ToolbarButtons();
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }
    bool UsersButton(uint32_t id) const
    {
        return app->Features().Windows().Users()->GetButton(id)->IsEnabled();
    }

    CAppHarness h;
    CMyApplication* app = nullptr;
};
} // namespace

TEST_F(AccessTest, DeleteFilesAloneEnablesOnlyTheDeletionOfFiles)
{
    // A folder window with a file and a folder in it.
    SMyUserAccess all;
    all.SetAll();
    CMyFolderWin* folder = app->Features().FolderWins().Open(nullptr, 0, CAppHarness::P("Files").data(), all);
    {
        StFieldData fields;
        const std::string file = testwire::FileEntry(FourCC("TEXT"), FourCC("ttxt"), 10, "notes.txt");
        const std::string dir = testwire::FileEntry(FourCC("fldr"), 0, 2, "Music");
        UFieldData::AddField(fields, 200, file.data(), uint32_t(file.size()));
        UFieldData::AddField(fields, 200, dir.data(), uint32_t(dir.size()));
        folder->View()->AddListFromFields(fields);
    }
    Grant({0x80, 0, 0, 0, 0, 0, 0, 0});
    CMyFileListView* files = folder->View();
    files->SelectOnly(2); // notes.txt (folders sort by name like files)
    ASSERT_FALSE(files->IsSelectedFolder());
    EXPECT_TRUE(folder->GetButton(kHitFileDelete)->IsEnabled());
    files->SelectOnly(1);
    ASSERT_TRUE(files->IsSelectedFolder());
    EXPECT_FALSE(folder->GetButton(kHitFileDelete)->IsEnabled());
    for (uint32_t id : {kHitFileDownload, kHitFileUpload, kHitFileNewFolder})
        EXPECT_FALSE(folder->GetButton(id)->IsEnabled()) << id;

    // And nothing else anywhere: the toolbar keeps only what everybody has.
    for (uint32_t id : {kHitBroadcast, kHitShowNews, kHitPostNews, kHitShowChat, kHitNewUser, kHitOpenUser})
        EXPECT_FALSE(Shown(id)) << id;
    for (uint32_t id : {kHitShowFiles, kHitShowUsers, kHitShowTasks, kHitQuit, kHitAbout})
        EXPECT_TRUE(Shown(id)) << id;
    EXPECT_FALSE(UsersButton(kHitOpenPrivateChat));
    EXPECT_FALSE(UsersButton(kHitGetClientInfo));
    EXPECT_FALSE(UsersButton(kHitDisconnectUser));
    EXPECT_TRUE(UsersButton(kHitSendPrivMsg));
}

TEST_F(AccessTest, SendingChatWithoutReadingItStillOffersChat)
{
    Grant({0, 0x20, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(Shown(kHitShowChat));
    EXPECT_TRUE(UsersButton(kHitOpenPrivateChat));
    Grant({0, 0x40, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(Shown(kHitShowChat));
    Grant({0, 0x9F, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(Shown(kHitShowChat));
    EXPECT_FALSE(UsersButton(kHitOpenPrivateChat));
}

TEST_F(AccessTest, EachBitOfTheTableEnablesItsCommand)
{
    Grant({0, 0x02, 0x80 | 0x08 | 0x04 | 0x02, 0x80, 0x80, 0, 0, 0});
    for (uint32_t id : {kHitNewUser, kHitOpenUser, kHitShowNews, kHitPostNews, kHitBroadcast})
        EXPECT_TRUE(Shown(id)) << id;
    EXPECT_TRUE(UsersButton(kHitDisconnectUser));
    EXPECT_TRUE(UsersButton(kHitGetClientInfo));
}

TEST_F(AccessTest, AShortAccessFieldClearsTheBitsItDoesNotCarry)
{
    Grant({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_TRUE(Shown(kHitBroadcast));
    // Two bytes: the news, user and broadcast bits of the bytes after them are clear.
    h.server.PushTransaction(354, Access({0xFF, 0xFF}));
    ASSERT_TRUE(h.WaitUntil([&] { return !Shown(kHitBroadcast); }, "the short access notice"));
    EXPECT_FALSE(Shown(kHitShowNews));
    EXPECT_FALSE(Shown(kHitOpenUser));
    EXPECT_TRUE(Shown(kHitShowChat));
    EXPECT_TRUE(Shown(kHitNewUser));
    EXPECT_FALSE(UsersButton(kHitGetClientInfo));
}

TEST_F(AccessTest, EverythingIsOfferedAgainWhenNotConnected)
{
    Grant({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(Shown(kHitNewUser));
    app->DoDisconnect();
    for (uint32_t id : {kHitBroadcast, kHitShowNews, kHitPostNews, kHitShowChat, kHitNewUser, kHitOpenUser})
        EXPECT_TRUE(Shown(id)) << id;
    for (uint32_t id : {kHitOpenPrivateChat, kHitGetClientInfo, kHitDisconnectUser, kHitSendPrivMsg})
        EXPECT_TRUE(UsersButton(id)) << id;
}
