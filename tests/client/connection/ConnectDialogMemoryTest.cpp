// The connect dialog remembers: Ctrl+K opens on the server used last (its password only from a bookmark
// that still holds it), a refused login brings the dialog back with what was typed, and connecting
// elsewhere asks first while something would be lost.
#include <gtest/gtest.h>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/boxes/CMyMsgBoxWin.h"
#include "client/chat/CMyChatWin.h"
#include "client/connection/CMyLoginWin.h"
#include "client/core/UMyBookmarkFile.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/core/UMyRecentServers.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/ui/CTextView.h"
#include "tests/support/CAppHarness.h"

namespace
{
constexpr uint16_t kRobinUserID = 900;

struct SShown
{
    std::string server, login, password, bookmark;
    bool keep = false;
};

class ConnectDialogMemoryTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.accounts["abc"] = {"pw", "Alice", CServerModel::AllAccess()};
        h.model.accounts["kim"] = {"zqxjkv", "Kim", CServerModel::AllAccess()};
        h.model.extraUsers.push_back({kRobinUserID, 410, 0, "Robin"});
        h.Start();
        app = &h.App();
    }
    // The dialog, when it opens, gets these entries and Connect (an empty bookmark: typed in).
    void TypeAndConnect(const std::string& login, const std::string& password,
                        const std::string& bookmark = "", bool keep = false)
    {
        h.OnModal<CMyLoginWin>(
            [=, this](CMyLoginWin& w)
            {
                const auto s = CAppHarness::P(h.Address()), l = CAppHarness::P(login),
                           p = CAppHarness::P(password), b = CAppHarness::P(bookmark);
                w.SetInfo(s.data(), l.data(), p.data());
                w.SetBookmarkName(b.data());
                w.SetKeepPassword(keep);
                w.Hit(CMyLoginWin::kHitConnect);
            });
    }
    // The dialog, when it opens, is read and cancelled.
    void ReadAndCancel(SShown& out)
    {
        h.OnModal<CMyLoginWin>(
            [&out](CMyLoginWin& w)
            {
                out.server = w.GetServerField()->GetText();
                out.login = w.GetLoginField()->GetText();
                out.password = w.GetPasswordField()->GetText();
                out.bookmark = CAppHarness::Str(w.GetBookmarkName());
                out.keep = w.KeepsPassword();
                w.Hit(CMyLoginWin::kHitCancel);
            });
    }
    bool WaitLoggedIn()
    {
        return h.WaitUntil([&] { return app->Features().Session().IsLoggedIn(); }, "the login");
    }
    void SaveBookmark(const std::string& name, const std::string& login, const std::string& password)
    {
        StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
        bool isFolder = false;
        if (!UFileSys::Exists(folder.Get(), &isFolder)) UFileSys::CreateFolder(folder.Get());
        const auto n = CAppHarness::P(name), a = CAppHarness::P(h.Address()), l = CAppHarness::P(login),
                   p = CAppHarness::P(password);
        StFileSysRef file(UFileSys::New(folder.Get(), nullptr, n.data()));
        app->SaveServerFile(file.Get(), a.data(), l.data(), p.data());
    }

    CAppHarness h;
    CMyApplication* app = nullptr;
};
} // namespace

TEST_F(ConnectDialogMemoryTest, CtrlKOpensOnTheLastServerWithAPasswordOnlyFromItsBookmark)
{
    SShown shown;
    ReadAndCancel(shown);
    app->DoShowConnect();
    EXPECT_EQ(shown.server, "");

    // Typed in: the address and login come back, the password does not.
    TypeAndConnect("abc", "pw");
    app->DoShowConnect();
    ASSERT_TRUE(WaitLoggedIn());
    app->DoDisconnect();
    ReadAndCancel(shown);
    h.Key('K', 'k', kModCtrl);
    EXPECT_EQ(shown.server, h.Address());
    EXPECT_EQ(shown.login, "abc");
    EXPECT_EQ(shown.password, "");

    // From a bookmark of the Servers folder: its password too, and the bookmark's name for the titles.
    SaveBookmark("Harbour.qbm", "abc", "pw");
    TypeAndConnect("abc", "pw", "Harbour.qbm");
    app->DoShowConnect();
    ASSERT_TRUE(WaitLoggedIn());
    app->DoDisconnect();
    ReadAndCancel(shown);
    app->DoShowConnect();
    EXPECT_EQ(shown.password, "pw");
    EXPECT_EQ(shown.bookmark, "Harbour.qbm");

    // A bookmark that now names another login is not this server's any more.
    SaveBookmark("Harbour.qbm", "bob", "secret");
    ReadAndCancel(shown);
    app->DoShowConnect();
    EXPECT_EQ(shown.login, "abc");
    EXPECT_EQ(shown.password, "");
    EXPECT_EQ(shown.bookmark, "");
    EXPECT_EQ(UMyRecentServers::Read().size(), 1u);
}

// "Keep my password" is off by default, and then no byte of the password reaches the file, plain or
// in the file's form; ticked it is kept until a login without it.
TEST_F(ConnectDialogMemoryTest, APasswordIsKeptOnlyWhenTheSwitchIsTicked)
{
    static const uint8_t kFile[] = "\x0e"
                                   "recent-servers";
    const std::string kept = "858e87959489"; // "zqxjkv", inverted, in hexadecimal
    auto file = [] { return UMyDesktopSettings::ReadConfigFile(kFile, UMyRecentServers::kMaxSize); };
    SShown shown;
    ReadAndCancel(shown);
    app->DoShowConnect();
    EXPECT_FALSE(shown.keep) << "off by default";

    TypeAndConnect("kim", "zqxjkv");
    app->DoShowConnect();
    ASSERT_TRUE(WaitLoggedIn());
    app->DoDisconnect();
    EXPECT_EQ(file().find("zqxjkv"), std::string::npos);
    EXPECT_EQ(file().find(kept), std::string::npos);
    ReadAndCancel(shown);
    app->DoShowConnect();
    EXPECT_EQ(shown.login, "kim");
    EXPECT_EQ(shown.password, "");
    EXPECT_FALSE(shown.keep);

    TypeAndConnect("kim", "zqxjkv", "", true);
    app->DoShowConnect();
    ASSERT_TRUE(WaitLoggedIn());
    app->DoDisconnect();
    EXPECT_EQ(file().find("zqxjkv"), std::string::npos) << "never in plain sight";
    EXPECT_NE(file().find(kept), std::string::npos);
    ReadAndCancel(shown);
    app->DoShowConnect();
    EXPECT_EQ(shown.password, "zqxjkv");
    EXPECT_TRUE(shown.keep);

    // Unticked at the next login, it is forgotten.
    TypeAndConnect("kim", "zqxjkv");
    app->DoShowConnect();
    ASSERT_TRUE(WaitLoggedIn());
    app->DoDisconnect();
    EXPECT_EQ(file().find(kept), std::string::npos);
}

TEST_F(ConnectDialogMemoryTest, ARefusedLoginBringsTheDialogBackWithWhatWasTyped)
{
    TypeAndConnect("abc", "wrong");
    SShown shown;
    ReadAndCancel(shown);
    app->DoShowConnect();
    ASSERT_TRUE(h.WaitUntil([&] { return h.modalCount >= 2; }, "the dialog again"));
    EXPECT_FALSE(app->Features().Session().IsOpen());
    ASSERT_FALSE(h.boxes.empty());
    EXPECT_EQ(h.boxes[0].title, "Server Message");
    EXPECT_EQ(shown.server, h.Address());
    EXPECT_EQ(shown.login, "abc");
    EXPECT_EQ(shown.password, "wrong");
    // Not remembered: it never logged in.
    EXPECT_TRUE(UMyRecentServers::Read().empty());

    // With boxes as the user sees them, the dialog comes once the box saying why is closed, not on it.
    h.UseRealBoxes();
    uint32_t depthUnderDialog = 0;
    h.OnModal<CMyMsgBoxWin>([&](CMyMsgBoxWin& box) { h.Later([&box] { box.Hit(1); }); });
    TypeAndConnect("abc", "wrong again");
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& w)
        {
            depthUnderDialog = CAppHarness::ModalDepth();
            w.Hit(CMyLoginWin::kHitCancel);
        });
    const uint32_t modals = h.modalCount;
    app->DoShowConnect();
    ASSERT_TRUE(h.WaitUntil([&] { return h.modalCount == modals + 3; }, "the box and the dialog again"));
    EXPECT_EQ(depthUnderDialog, 1u) << "the dialog opened inside the box's loop";
}

TEST_F(ConnectDialogMemoryTest, ConnectingElsewhereAsksFirstWhileAPrivateChatIsOpen)
{
    ASSERT_TRUE(h.Login());
    const std::string elsewhere = "quenvol://127.0.0.1:1";
    // Nothing to lose: no question.
    app->DoGoURL(elsewhere.data(), uint32_t(elsewhere.size()));
    EXPECT_TRUE(h.boxes.empty());
    ASSERT_TRUE(h.Login());

    h.model.nextChatID = 7;
    CMyUserListView* users = app->Features().Windows().Users()->View();
    users->SelectOnly(users->FindUser(kRobinUserID));
    h.Hit(app->Features().Windows().Users(), kHitOpenPrivateChat);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyChatWin>().size() == 1; }, "the private chat"));
    h.boxes.clear(); // the refused connection to port 1
    const uint32_t serial = app->Features().Session().Serial();
    h.boxAnswers = {2};
    app->DoGoURL(elsewhere.data(), uint32_t(elsewhere.size()));
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].text, "Disconnect from " + h.Address() + " and connect to 127.0.0.1:1?");
    EXPECT_EQ(app->Features().Session().Serial(), serial);
    EXPECT_TRUE(app->Features().Session().IsLoggedIn());
    EXPECT_EQ(h.Windows<CMyChatWin>().size(), 1u);

    h.boxAnswers = {1};
    app->DoGoURL(elsewhere.data(), uint32_t(elsewhere.size()));
    EXPECT_EQ(h.boxes.size(), 2u);
    EXPECT_EQ(h.boxes[1].text, h.boxes[0].text);
    EXPECT_NE(app->Features().Session().Serial(), serial);
    EXPECT_TRUE(h.Windows<CMyChatWin>().empty());
    app->DoDisconnect();
}
