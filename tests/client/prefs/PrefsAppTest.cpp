// The real application with its preferences and bookmarks: settings and window places across a quit
// and a start, the options dialog while connected, bookmarks saved and chosen in the connect dialog,
// and bookmarks opened as documents.
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>

#include "client/app/AppNumbers.h"
#include "client/app/CMyAboutWin.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/connection/CMyLoginWin.h"
#include "client/core/CMyKeptPasswords.h"
#include "client/core/UMyBookmarkFile.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/core/UMyRecentServers.h"
#include "client/prefs/CMyOptionsWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/tracker/CMyTracker.h"
#include "client/tracker/CTrackersList.h"
#include "client/tracker/CTrackersListWin.h"
#include "client/tracker/TrackerCommands.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CButtonPopupView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/SHitMsgData.h"
#include "platform/Keyring.h"
#include "platform/Timers.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/CPrivateBus.h"
#include "tests/support/CTestKeyring.h"

namespace
{
using P = std::vector<uint8_t>;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Bookmark(const std::string& address, const std::string& login, const std::string& password)
{
    std::string bytes(UMyBookmarkFile::kSize, '\0');
    const P a = CAppHarness::P(address), l = CAppHarness::P(login), p = CAppHarness::P(password);
    UMyBookmarkFile::Encode(a.data(), l.data(), p.data(), reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
}

// The save dialog answers with this path.
std::string gSavePath;
bool AnswerSave(const uint8_t*, const uint8_t*, const std::string&, std::string& outPath)
{
    outPath = gSavePath;
    return !gSavePath.empty();
}

// The login the server saw last, un-complemented.
std::string LastLogin(const CAppHarness& h)
{
    const auto logins = h.Requests(107);
    if (logins.empty()) return "<none>";
    std::string login = CAppHarness::Field(logins.back(), 105);
    for (char& c : login)
        c = char(~c);
    return login;
}

class PrefsAppTest : public testing::Test
{
protected:
    // What the program's entry installs: the save dialog (answered here) and documents by path.
    void SetUp() override
    {
        UFileSys::SetDialogProcs(nullptr, AnswerSave);
        UApplication::SetDocumentRefProcs(UFileSys::NewFromNativePath, UFileSys::Dispose);
    }
    void TearDown() override
    {
        UApplication::SetDocumentRefProcs(nullptr, nullptr);
        UFileSys::SetDialogProcs(nullptr, nullptr);
        gSavePath.clear();
    }
};
} // namespace

TEST_F(PrefsAppTest, SettingsAndWindowPlacesSurviveAQuitAndAStart)
{
    std::string saved;
    SRect newsPlace{}, usersPlace{};
    {
        CAppHarness h;
        h.Start();
        CMyApplication& app = h.App();
        EXPECT_EQ(CAppHarness::Str(app.Features().Settings().userName), "unnamed"); // a first run
        EXPECT_EQ(app.Features().Settings().iconID, 414);
        h.OnModal<CMyOptionsWin>(
            [](CMyOptionsWin& w)
            {
                w.GetNameField()->SetText("Traveller", 9);
                w.SetIconID(uint16_t(int16_t(-2003)));
                w.GetFirewallField()->SetText("socks.example.org", 17);
                w.GetOptionBox(0)->SetMark(true);  // private messages at the back
                w.GetOptionBox(1)->SetMark(false); // transfers not queued
                w.GetOptionBox(5)->SetMark(true);  // automatic response, its text left empty
                w.GetSoundBox(4)->SetMark(false);  // no private message sound
                w.SetColor(CMyOptionsWin::kColorSetNews,
                           SMyColorInfo{{0, 0, 0x9999}, {0xFFFF, 0xFFFF, 0xDDDD}, 2});
                w.Hit(CMyOptionsWin::kHitSave);
            });
        ASSERT_TRUE(app.DoOptions());
        EXPECT_EQ(app.Features().Settings().colorNews.textSize, 4); // held to what the windows can show
        EXPECT_EQ(app.Features().Session().FirewallAddress().port, 1080);
        EXPECT_EQ(CAppHarness::Str(app.Features().Settings().automaticResponseText),
                  "I'm not able to respond right now. Please try later!");

        newsPlace = SRect{100, 100, 740, 500};
        usersPlace = SRect{20, 90, 220, 400};
        app.Features().Windows().News()->SetBounds(newsPlace);
        app.Features().Windows().Users()->SetBounds(usersPlace);
        app.Features().Windows().News()->GetBounds(newsPlace); // as the window system took it
        app.Features().Windows().Users()->GetBounds(usersPlace);
        h.Hit(app.Features().Windows().Chat(), kHitCloseBox); // closing hides it
        app.Features().Statistics().totalBytesDownloaded = 123456;
        app.Features().Statistics().totalSecsOnline = 3600;
        // What quitting does before the run loop ends.
        app.DoDisconnect();
        app.WritePrefs();
        saved = ReadAll(h.UserFolder() + "/Quenvol Prefs");
        EXPECT_TRUE(h.boxes.empty());
    }
    ASSERT_GE(saved.size(), 788u);

    CAppHarness h;
    WriteAll(h.UserFolder() + "/Quenvol Prefs", saved);
    h.Start();
    CMyApplication& app = h.App();
    EXPECT_EQ(CAppHarness::Str(app.Features().Settings().userName), "Traveller");
    EXPECT_EQ(app.Features().Settings().iconID, uint16_t(int16_t(-2003)));
    EXPECT_EQ(CAppHarness::Str(app.Features().Session().FirewallAddress().name), "socks.example.org");
    EXPECT_EQ(app.Features().Session().FirewallAddress().port, 1080);
    EXPECT_TRUE(app.Features().Settings().showPrivMsgAtBack);
    EXPECT_FALSE(app.Features().Settings().queueTransfers);
    EXPECT_TRUE(app.Features().Settings().automaticResponse);
    EXPECT_FALSE(app.Features().Settings().sound.privMsg);
    EXPECT_TRUE(app.Features().Settings().sound.chat);
    EXPECT_EQ(app.Features().Settings().colorNews.textColor.blue, 0x9999);
    EXPECT_EQ(app.Features().Settings().colorNews.textSize, 4);
    EXPECT_EQ(app.Features().Statistics().totalBytesDownloaded, 123456u);
    EXPECT_EQ(app.Features().Statistics().totalSecsOnline, 3600u);

    SRect b;
    app.Features().Windows().News()->GetBounds(b);
    EXPECT_EQ(b.left, newsPlace.left);
    EXPECT_EQ(b.top, newsPlace.top);
    EXPECT_EQ(b.Width(), newsPlace.Width());
    EXPECT_EQ(b.Height(), newsPlace.Height());
    // The news text follows the window to its saved size, although the window was not shown yet.
    const QWidget* text = app.Features().Windows().News()->GetTextView()->Widget();
    EXPECT_GT(text->mapTo(app.Features().Windows().News()->ContentWidget(), QPoint(text->width(), 0)).x(),
              newsPlace.Width() - 30);
    app.Features().Windows().Users()->GetBounds(b);
    EXPECT_EQ(b.left, usersPlace.left);
    EXPECT_EQ(b.bottom, usersPlace.bottom);
    EXPECT_FALSE(app.Features().Windows().Chat()->IsVisible());
    EXPECT_TRUE(app.Features().Windows().News()->IsVisible());
    EXPECT_TRUE(app.Features().Windows().Toolbar()->IsVisible());
}

TEST_F(PrefsAppTest, UnusableFilesAndPlacesOffTheScreenFallBackQuietly)
{
    std::string bytes;
    {
        CAppHarness h;
        h.Start();
        h.App().Features().Windows().Tasks()->SetBounds(SRect{40, 60, 300, 200});
        h.App().WritePrefs();
        bytes = ReadAll(h.UserFolder() + "/Quenvol Prefs");
    }
    ASSERT_GE(bytes.size(), 788u);
    // The tasks window's saved place (offset 20) moved far off every screen.
    const int32_t far = 50000;
    for (int i = 0; i < 4; ++i)
    {
        bytes[20 + i] = char(uint32_t(far) >> (8 * i));
        bytes[28 + i] = char(uint32_t(far + 260) >> (8 * i));
    }
    {
        CAppHarness h;
        WriteAll(h.UserFolder() + "/Quenvol Prefs", bytes);
        h.Start();
        SRect b;
        h.App().Features().Windows().Tasks()->GetBounds(b);
        EXPECT_LT(b.left, far); // placed by its placement code instead
        EXPECT_TRUE(CWindow::IsOnScreen(b));
    }
    {
        CAppHarness h;
        std::string shortFile(787, '\0');
        shortFile[0] = 7;
        WriteAll(h.UserFolder() + "/Quenvol Prefs", shortFile);
        h.Start();
        EXPECT_EQ(CAppHarness::Str(h.App().Features().Settings().userName), "unnamed");
        EXPECT_EQ(h.App().Features().Settings().iconID, 414);
        EXPECT_TRUE(h.alert.empty());
        EXPECT_TRUE(h.App().Features().Windows().News()->IsVisible());
    }
}

TEST_F(PrefsAppTest, ChangingTheNameWhileConnectedSends304AndColoursApplyAtOnce)
{
    CAppHarness h;
    h.model.guestAccess = CServerModel::AllAccess();
    h.Start();
    ASSERT_TRUE(h.Login());
    CMyApplication& app = h.App();

    // Saved without a change: nothing to tell the server.
    h.OnModal<CMyOptionsWin>([](CMyOptionsWin& w) { w.Hit(CMyOptionsWin::kHitSave); });
    h.Hit(app.Features().Windows().Toolbar(), kHitOptions);
    h.Pump();
    EXPECT_EQ(h.modalCount, 1u);

    auto* privateChat = new CMyChatWin(7, app.Features().Settings().colorChat);
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            w.GetNameField()->SetText("Renamed\tOne", 11);
            w.GetTextSizeField()->SetText("80", 2);
            w.Hit(CMyOptionsWin::kHitSave);
        });
    h.MenuItem(kItemOptions);
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.Requests(304).size() == 1; }, "the name change to reach the server"));
    const auto change = h.Requests(304)[0];
    EXPECT_EQ(CAppHarness::Field(change, 102), "Renamed*One");
    EXPECT_EQ(CAppHarness::Field(change, 104), std::string("\x01\x9E", 2)); // 414
    EXPECT_EQ(app.Features().Settings().colorChat.textSize, 50);
    EXPECT_EQ(app.Features().Windows().Chat()->GetChatView()->Widget()->font().pointSize(), 50);
    EXPECT_EQ(privateChat->GetChatView()->Widget()->font().pointSize(), 50);
    // The server tells everyone, the one who changed too, so that the own row follows the new name.
    EXPECT_TRUE(h.WaitUntil(
        [&]
        {
            const std::vector<std::string> names = h.OnlineUserNames();
            return std::find(names.begin(), names.end(), "Renamed*One") != names.end();
        },
        "the own row to show the new name"));

    // A one-blank name is refused with box 129 and the dialog stays (its loop turns again) until it is
    // cancelled.
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            w.GetNameField()->SetText(" ", 1);
            w.Hit(CMyOptionsWin::kHitSave);
        });
    h.OnModal<CMyOptionsWin>([](CMyOptionsWin& w) { w.Hit(CMyOptionsWin::kHitCancel); });
    EXPECT_FALSE(app.DoOptions());
    EXPECT_TRUE(h.HasBox(129));
    EXPECT_EQ(CAppHarness::Str(app.Features().Settings().userName), "Renamed*One");
    h.Pump();
    EXPECT_EQ(h.Requests(304).size(), 1u);
}

TEST_F(PrefsAppTest, ABookmarkSavedFromTheConnectDialogConnectsAgainFromItsMenu)
{
    CAppHarness h;
    h.model.accounts["alice"] = {"wonderland", "Alice", CServerModel::AllAccess()};
    h.Start();
    CMyApplication& app = h.App();
    gSavePath = h.UserFolder() + "/Servers/home"; // the user typed no extension

    const std::string address = h.Address();
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& w)
        {
            EXPECT_TRUE(w.FindView(CMyLoginWin::kHitBookmarkMenu)->IsEnabled() == false);
            w.GetServerField()->SetText(address.data(), uint32_t(address.size()));
            w.GetLoginField()->SetText("alice", 5);
            w.GetPasswordField()->SetText("wonderland", 10);
            w.UpdateButtons();
            w.Hit(CMyLoginWin::kHitSave);
        });
    // The saved bookmark is in the menu of the dialog it was saved from.
    h.OnModal<CMyLoginWin>(
        [](CMyLoginWin& w)
        {
            auto* menu = static_cast<CButtonPopupView*>(w.FindView(CMyLoginWin::kHitBookmarkMenu));
            EXPECT_TRUE(menu->IsEnabled());
            EXPECT_EQ(menu->GetItemCount(), 1u);
            w.Hit(CMyLoginWin::kHitCancel);
        });
    app.DoShowConnect();
    ASSERT_EQ(ReadAll(h.UserFolder() + "/Servers/home.qbm"), Bookmark(address, "alice", "wonderland"));
    EXPECT_FALSE(app.Features().Session().IsConnected());

    // A second bookmark with its extension in capitals sorts first and must open by its real name.
    WriteAll(h.UserFolder() + "/Servers/Away.QBM", Bookmark("192.0.2.1:1", "", ""));
    h.OnModal<CMyLoginWin>(
        [](CMyLoginWin& w)
        {
            auto* menu = static_cast<CButtonPopupView*>(w.FindView(CMyLoginWin::kHitBookmarkMenu));
            ASSERT_EQ(menu->GetItemCount(), 2u);
            menu->SetSelectedItem(1);
            w.Hit(CMyLoginWin::kHitBookmarkMenu);
        });
    h.OnModal<CMyLoginWin>(
        [](CMyLoginWin& w)
        {
            EXPECT_EQ(w.GetServerField()->GetText(), "192.0.2.1:1");
            EXPECT_EQ(CAppHarness::Str(w.GetBookmarkName()), "Away.QBM");
            w.Hit(CMyLoginWin::kHitCancel);
        });
    app.DoShowConnect();
    EXPECT_TRUE(h.alert.empty()) << h.alert;

    h.OnModal<CMyLoginWin>(
        [](CMyLoginWin& w)
        {
            auto* menu = static_cast<CButtonPopupView*>(w.FindView(CMyLoginWin::kHitBookmarkMenu));
            menu->SetSelectedItem(2);
            w.Hit(CMyLoginWin::kHitBookmarkMenu);
        });
    h.OnModal<CMyLoginWin>([](CMyLoginWin& w) { w.Hit(CMyLoginWin::kHitConnect); });
    app.DoShowConnect();
    ASSERT_TRUE(h.WaitUntil(
        [&] { return app.Features().Session().IsConnected() && !h.Requests(107).empty(); }, "the login"));
    EXPECT_EQ(LastLogin(h), "alice");
    EXPECT_EQ(CAppHarness::Field(h.Requests(107).back(), 106).size(), 10u);
    EXPECT_EQ(CAppHarness::Str(app.Features().Session().UserLogin()), "alice");
    EXPECT_EQ(CAppHarness::Str(app.Features().Session().UserPassword()), "wonderland");
    EXPECT_EQ(CAppHarness::Str(app.Features().Session().Address().name), address);
    EXPECT_EQ(CAppHarness::Title(app.Features().Windows().Chat()), "Chat (home.qbm)");
}

TEST_F(PrefsAppTest, BookmarksOpenAsDocumentsAndDamagedOnesSaySo)
{
    CAppHarness h;
    h.model.accounts["bob"] = {"builder", "Bob", CServerModel::AllAccess()};
    h.Start();
    CMyApplication& app = h.App();

    // Dropped on the toolbar, a bookmark opens as a document given on the command line would.
    auto drop = [&](const std::string& path)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        EXPECT_TRUE(app.Features().Windows().Toolbar()->DropDocuments(mime));
        h.Pump();
    };
    const std::string damaged = h.UserFolder() + "/broken.qbm";
    WriteAll(damaged, "QVsx" + std::string(456, '\0'));
    drop(damaged);
    EXPECT_FALSE(h.alert.empty()); // 1/8 reaches the error display; no connection starts
    EXPECT_EQ(app.Features().Session().Transactor(), nullptr);

    const std::string good = h.UserFolder() + "/Work.QBM";
    WriteAll(good, Bookmark("quenvol://" + h.Address(), "bob", "builder"));
    drop(good);
    ASSERT_TRUE(h.WaitUntil(
        [&] { return app.Features().Session().IsConnected() && !h.Requests(107).empty(); }, "the login"));
    EXPECT_EQ(LastLogin(h), "bob");
    EXPECT_EQ(CAppHarness::Title(app.Features().Windows().Chat()), "Chat (Work.QBM)");
}

TEST_F(PrefsAppTest, TheAboutWindowShowsThePictureAndTheTotals)
{
    CAppHarness h;
    h.Start();
    h.App().Features().Statistics().totalBytesDownloaded = 2048;
    h.OnModal<CMyAboutWin>(
        [](CMyAboutWin& w)
        {
            SRect b;
            w.GetBounds(b);
            EXPECT_EQ(b.Width(), 570);
            EXPECT_EQ(b.Height(), 272);
            EXPECT_EQ(w.GetStatusLine()->Label()->text().toStdString(),
                      "2K downloaded, 0K uploaded, 0K chat, 0:00 online");
            w.Hit(CMyAboutWin::kHitOK);
        });
    h.Hit(h.App().Features().Windows().Toolbar(), kHitAbout);
    h.Pump();
    EXPECT_EQ(h.modalCount, 1u);
}

TEST_F(PrefsAppTest, QuittingWritesThePreferencesAndQuitsEvenWhenTheyCannotBeWritten)
{
    CAppHarness h;
    h.Start();
    const P name = CAppHarness::P("Leaving");
    std::memcpy(h.App().Features().Settings().userName, name.data(), name.size());
    h.MenuItem(kItemQuit);
    EXPECT_TRUE(UApplication::IsQuitting());
    UApplication::_CancelQuit();
    const std::string saved = ReadAll(h.UserFolder() + "/Quenvol Prefs");
    ASSERT_GE(saved.size(), 788u);
    EXPECT_EQ(saved.substr(344, 8), "\x07Leaving");

    // A folder in the file's place cannot be replaced: the error is shown and the program still quits.
    std::filesystem::remove(h.UserFolder() + "/Quenvol Prefs");
    std::filesystem::create_directories(h.UserFolder() + "/Quenvol Prefs/inside");
    h.MenuItem(kItemQuit);
    const bool quitting = UApplication::IsQuitting();
    UApplication::_CancelQuit();
    EXPECT_TRUE(quitting);
    EXPECT_FALSE(h.alert.empty());
    EXPECT_FALSE(std::filesystem::exists(h.UserFolder() + "/Quenvol Prefs.new"));
}

// With a keyring on the desktop: a saved bookmark keeps no password bytes, connects with the keyring's
// password, and a bookmark from elsewhere that carries one still works and loses it when saved again.
TEST_F(PrefsAppTest, WithAKeyringBookmarksKeepNoPasswordAndConnectWithTheKeyringsOne)
{
    if (!CPrivateBus::IsAvailable()) GTEST_SKIP() << "dbus-daemon is not installed";
    CTestKeyring testKeyring;
    ASSERT_TRUE(testKeyring.Start());
    CFakeSecretService& keyring = testKeyring.Service();
    CAppHarness h;
    h.model.accounts["alice"] = {"wonderland", "Alice", CServerModel::AllAccess()};
    h.model.accounts["bob"] = {"builder", "Bob", CServerModel::AllAccess()};
    h.Start();
    CMyApplication& app = h.App();
    ASSERT_TRUE(
        h.WaitUntil([&] { return app.Features().Passwords().KeyringThere(); }, "the keyring's first answer"));
    const std::string address = h.Address();
    const std::string file = h.UserFolder() + "/Servers/home.qbm";

    gSavePath = h.UserFolder() + "/Servers/home";
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& w)
        {
            w.GetServerField()->SetText(address.data(), uint32_t(address.size()));
            w.GetLoginField()->SetText("alice", 5);
            w.GetPasswordField()->SetText("wonderland", 10);
            w.UpdateButtons();
            w.Hit(CMyLoginWin::kHitSave);
        });
    h.OnModal<CMyLoginWin>([](CMyLoginWin& w) { w.Hit(CMyLoginWin::kHitCancel); });
    app.DoShowConnect();
    ASSERT_TRUE(h.WaitUntil([&] { return ReadAll(file) == Bookmark(address, "alice", ""); },
                            "the bookmark written again without its password"));
    ASSERT_EQ(keyring.items.size(), 1u);
    EXPECT_EQ(keyring.items[0].secret, "wonderland");
    EXPECT_EQ(keyring.items[0].attributes.value("kind"), "bookmark");
    EXPECT_EQ(keyring.items[0].attributes.value("login"), "alice");

    // Opened as a document, the bookmark connects once the keyring has answered.
    auto open = [&](const std::string& path)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        EXPECT_TRUE(app.Features().Windows().Toolbar()->DropDocuments(mime));
    };
    open(file);
    ASSERT_TRUE(h.WaitUntil(
        [&] { return app.Features().Session().IsConnected() && !h.Requests(107).empty(); }, "the login"));
    EXPECT_EQ(LastLogin(h), "alice");
    EXPECT_EQ(CAppHarness::Field(h.Requests(107).back(), 106).size(), 10u);
    EXPECT_EQ(CAppHarness::Str(app.Features().Session().UserPassword()), "wonderland");

    // The connect dialog's menu fills the password in when the keyring's answer comes.
    h.OnModal<CMyLoginWin>(
        [](CMyLoginWin& w)
        {
            auto* menu = static_cast<CButtonPopupView*>(w.FindView(CMyLoginWin::kHitBookmarkMenu));
            menu->SetSelectedItem(1);
            w.Hit(CMyLoginWin::kHitBookmarkMenu);
        });
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& w)
        {
            // The dialog waits for the user meanwhile; the watchdog keeps a lost answer from hanging it.
            const uint64_t deadline = platform::MonotonicMilliseconds() + 5000;
            h.When(
                [&w, deadline] {
                    return w.GetPasswordField()->GetText() == "wonderland" ||
                           platform::MonotonicMilliseconds() > deadline;
                },
                [&w]
                {
                    EXPECT_EQ(w.GetPasswordField()->GetText(), "wonderland") << "watchdog: no password came";
                    w.Hit(CMyLoginWin::kHitCancel);
                });
        });
    app.DoShowConnect();

    // A bookmark from elsewhere carries its password: it connects with it, and saving it again moves
    // the password to the keyring.
    const std::string other = h.UserFolder() + "/Servers/bob.qbm";
    WriteAll(other, Bookmark(address, "bob", "builder"));
    const size_t logins = h.Requests(107).size();
    open(other);
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.Requests(107).size() > logins && app.Features().Session().IsConnected(); },
                    "bob's login"));
    EXPECT_EQ(LastLogin(h), "bob");
    gSavePath = other;
    h.OnModal<CMyLoginWin>(
        [](CMyLoginWin& w)
        {
            auto* menu = static_cast<CButtonPopupView*>(w.FindView(CMyLoginWin::kHitBookmarkMenu));
            menu->SetSelectedItem(1); // "bob" sorts before "home"
            w.Hit(CMyLoginWin::kHitBookmarkMenu);
        });
    h.OnModal<CMyLoginWin>([](CMyLoginWin& w) { w.Hit(CMyLoginWin::kHitSave); });
    h.OnModal<CMyLoginWin>([](CMyLoginWin& w) { w.Hit(CMyLoginWin::kHitCancel); });
    app.DoShowConnect();
    ASSERT_TRUE(h.WaitUntil([&] { return ReadAll(other) == Bookmark(address, "bob", ""); },
                            "bob's bookmark without its password"));
    EXPECT_EQ(keyring.items.size(), 2u);

    // The options say where the passwords are.
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            EXPECT_NE(w.GetKeyringNote()->Label()->text().indexOf("kept in the desktop's keyring"), -1);
            w.Hit(CMyOptionsWin::kHitCancel);
        });
    app.DoOptions();
}

// Pins: a password the user asked to keep for a recent server sat in the recent-servers file even with a
// keyring on the desktop.
TEST_F(PrefsAppTest, WithAKeyringAKeptPasswordOfARecentServerLivesThereAndConnectsAgain)
{
    if (!CPrivateBus::IsAvailable()) GTEST_SKIP() << "dbus-daemon is not installed";
    CTestKeyring testKeyring;
    ASSERT_TRUE(testKeyring.Start());
    CFakeSecretService& keyring = testKeyring.Service();
    CAppHarness h;
    h.model.accounts["alice"] = {"wonderland", "Alice", CServerModel::AllAccess()};
    h.Start();
    CMyApplication& app = h.App();
    ASSERT_TRUE(
        h.WaitUntil([&] { return app.Features().Passwords().KeyringThere(); }, "the keyring's first answer"));
    const std::string address = h.Address();
    h.OnModal<CMyLoginWin>(
        [&](CMyLoginWin& w)
        {
            w.GetServerField()->SetText(address.data(), uint32_t(address.size()));
            w.GetLoginField()->SetText("alice", 5);
            w.GetPasswordField()->SetText("wonderland", 10);
            w.SetKeepPassword(true);
            w.UpdateButtons();
            w.Hit(CMyLoginWin::kHitConnect);
        });
    app.DoShowConnect();
    static const uint8_t kFile[] = "\x0e"
                                   "recent-servers";
    auto file = [] { return UMyDesktopSettings::ReadConfigFile(kFile, UMyRecentServers::kMaxSize); };
    const std::string kept = "8890919b9a8d939e919b"; // "wonderland" as the file keeps it
    ASSERT_TRUE(h.WaitUntil(
        [&]
        {
            return keyring.items.size() == 1 && file().find("alice") != std::string::npos &&
                   file().find(kept) == std::string::npos;
        },
        "the kept password moved from the file to the keyring"));
    EXPECT_EQ(keyring.items[0].secret, "wonderland");

    // The recent server connects again with the keyring's password.
    app.DoDisconnect();
    const size_t logins = h.Requests(107).size();
    app.Features().Connection().ConnectToRecent(0);
    ASSERT_TRUE(
        h.WaitUntil([&] { return app.Features().Session().IsConnected() && h.Requests(107).size() > logins; },
                    "the login again"));
    EXPECT_EQ(CAppHarness::Str(app.Features().Session().UserPassword()), "wonderland");
}

// Without a keyring the bookmark keeps its password, as it always did, and the options say so.
TEST_F(PrefsAppTest, WithoutAKeyringPasswordsStayInTheFilesAndTheOptionsSaySo)
{
    CAppHarness h;
    h.Start();
    ASSERT_TRUE(h.WaitUntil([] { return platform::KeyringState() == platform::EKeyringState::Absent; },
                            "the keyring's absence"));
    StFileSysRef ref(UFileSys::NewFromNativePath((h.UserFolder() + "/kept.qbm").c_str(),
                                                 uint32_t((h.UserFolder() + "/kept.qbm").size())));
    const P address = CAppHarness::P("192.0.2.7"), login = CAppHarness::P("carol"),
            password = CAppHarness::P("pw");
    h.App().SaveServerFile(ref.Get(), address.data(), login.data(), password.data());
    h.Pump();
    EXPECT_EQ(ReadAll(h.UserFolder() + "/kept.qbm"), Bookmark("192.0.2.7", "carol", "pw"));
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            EXPECT_NE(w.GetKeyringNote()->Label()->text().indexOf("No keyring on this desktop"), -1);
            // Nor is there a tray here: its switch is off and says why.
            EXPECT_FALSE(w.GetKeepInTrayBox()->IsEnabled());
            w.Hit(CMyOptionsWin::kHitCancel);
        });
    h.App().DoOptions();
}

// Pins: a keyring item outlived the tracker entry it was kept for, and the bookmark login it was kept
// for; an item still named by another entry or bookmark must stay.
TEST_F(PrefsAppTest, AKeyringPasswordGoesWithTheLastTrackerOrBookmarkThatNamesIt)
{
    if (!CPrivateBus::IsAvailable()) GTEST_SKIP() << "dbus-daemon is not installed";
    CTestKeyring testKeyring;
    ASSERT_TRUE(testKeyring.Start());
    CFakeSecretService& keyring = testKeyring.Service();
    CAppHarness h;
    h.Start();
    CMyApplication& app = h.App();
    ASSERT_TRUE(
        h.WaitUntil([&] { return app.Features().Passwords().KeyringThere(); }, "the keyring's first answer"));
    auto kept = [&](const char* kind)
    {
        std::multiset<std::string> logins;
        for (const CFakeSecretService::SItem& item : keyring.items)
            if (item.attributes.value("kind") == kind)
                logins.insert(item.attributes.value("login").toStdString());
        return logins;
    };
    auto settled = [&]
    { return h.WaitUntil([&] { return app.Features().Passwords().Pending() == 0; }, "the keyring"); };
    using Logins = std::multiset<std::string>;

    // Two entries name the same tracker and login; a third another login.
    CMyTracker* tracker = app.Features().Tracker();
    CTrackersList* list = tracker->GetTrackerList();
    list->RemoveAll();
    const std::tuple<const char*, const char*, const char*> entries[] = {
        {"One", "robin", "hood"}, {"Two", "robin", "hood"}, {"Three", "marian", "maid"}};
    for (const auto& [name, login, password] : entries)
        tracker->AddTracker(CAppHarness::P(name).data(), CAppHarness::P("").data(),
                            CAppHarness::P("t.example").data(), CAppHarness::P(login).data(),
                            CAppHarness::P(password).data(), 1, 0);
    app.WritePrefs();
    ASSERT_TRUE(h.WaitUntil(
        [&] {
            return kept("tracker") == Logins{"marian", "robin"};
        },
        "the keyring to keep"));
    auto remove = [&](const std::string& name)
    {
        for (uint32_t i = 0; const STrackServerInfo* entry = list->GetServerInfo(i); ++i)
            if (CAppHarness::Str(entry->Name) == name) list->SelectOnly(i + 1);
        SHitMsgData hit{};
        hit.cmd = kCmdTrackRemove;
        tracker->WindowHit(tracker->GetTrackersWin(), hit);
    };
    remove("One");
    ASSERT_TRUE(settled());
    EXPECT_EQ(kept("tracker"), (Logins{"marian", "robin"})) << "the other entry of robin still needs it";
    remove("Two");
    EXPECT_TRUE(h.WaitUntil([&] { return kept("tracker") == Logins{"marian"}; }, "robin's password to go"));

    // A bookmark saved over with another login: the first login's password goes, unless another
    // bookmark names it too.
    const std::string folder = h.UserFolder() + "/Servers";
    std::filesystem::create_directories(folder);
    auto save = [&](const std::string& file, const char* login, const char* password)
    {
        const std::string path = folder + "/" + file;
        StFileSysRef ref(UFileSys::NewFromNativePath(path.data(), uint32_t(path.size())));
        app.SaveServerFile(ref.Get(), CAppHarness::P("192.0.2.7").data(), CAppHarness::P(login).data(),
                           CAppHarness::P(password).data());
    };
    save("home.qbm", "alice", "wonderland");
    save("work.qbm", "carol", "pw");
    save("copy.qbm", "carol", "pw");
    ASSERT_TRUE(h.WaitUntil(
        [&] {
            return kept("bookmark") == Logins{"alice", "carol"};
        },
        "the keyring to keep"));
    ASSERT_TRUE(h.WaitUntil([&]
                            { return ReadAll(folder + "/home.qbm") == Bookmark("192.0.2.7", "alice", ""); },
                            "the bookmark without its password"));
    save("home.qbm", "bob", "builder");
    EXPECT_TRUE(h.WaitUntil(
        [&] {
            return kept("bookmark") == Logins{"bob", "carol"};
        },
        "alice's password to go"));
    save("work.qbm", "dave", "pw");
    ASSERT_TRUE(h.WaitUntil([&] { return kept("bookmark").count("dave") == 1; }, "dave's password"));
    ASSERT_TRUE(settled());
    EXPECT_EQ(kept("bookmark"), (Logins{"bob", "carol", "dave"})) << "copy.qbm still names carol";
}
