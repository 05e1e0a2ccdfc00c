// The application's dispatch tables: key commands, menu items, window hits and its own messages reach
// the operation they name, and errors are shown the way their type asks.
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyMainWindow.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "client/core/UMyBookmarkFile.h"
#include "client/core/UMyDesktopSettings.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CFrameWindow.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UModalLoop.h"
#include "framework/ui/UWindowServices.h"
#include "framework/ui/UiText.h"
#include "platform/AudioOutput.h"
#include "tests/support/TestDataFile.h"

namespace
{
// The desktop settings of a test's own: what a start-up writes there stays out of the settings of whoever
// runs the tests, and theirs out of the test.
class StConfigHere
{
public:
    StConfigHere()
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        if (old) mOld = old;
        mHadOld = old != nullptr;
        setenv("XDG_CONFIG_HOME", mDir.path().toLocal8Bit().constData(), 1);
    }
    ~StConfigHere()
    {
        if (mHadOld)
            setenv("XDG_CONFIG_HOME", mOld.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

private:
    QTemporaryDir mDir;
    std::string mOld;
    bool mHadOld = false;
};

std::vector<std::string> gCalls;
std::vector<int16_t> gBoxes;
std::vector<std::string> gBoxTexts;
std::string gAlert;

class CTestApp : public CMyApplication
{
public:
    void DoShowConnect() override { gCalls.push_back("ShowConnect"); }
    void DoShowNewsWin() override { gCalls.push_back("ShowNews"); }
    void DoShowChatWin() override { gCalls.push_back("ShowChat"); }
    void DoShowPublicFiles() override { gCalls.push_back("ShowFiles"); }
    void DoShowConnectedUsersWin() override { gCalls.push_back("ShowUsers"); }
    void DoShowTasksWin() override { gCalls.push_back("ShowTasks"); }
    void DoBringFrontPrivMsg() override { gCalls.push_back("BringFrontPrivMsg"); }
    void DoSecret() override { gCalls.push_back("Secret"); }
    void DoFileOpenParent(CWindow*, uint16_t) override { gCalls.push_back("OpenParent"); }
    void UserQuit() override { gCalls.push_back("Quit"); }
    void DoCloseWindow(CWindow* w) override { gCalls.push_back(w ? "CloseWindow" : "CloseWindow(null)"); }
    void DoCloseAllFileWindows() override { gCalls.push_back("CloseAllFileWindows"); }
    void DoShowTracker() override { gCalls.push_back("ShowTracker"); }
    void DoPostNewsWin() override { gCalls.push_back("PostNews"); }
    void DoNewUser() override { gCalls.push_back("NewUser"); }
    void DoOpenUser() override { gCalls.push_back("OpenUser"); }
    bool DoOptions() override
    {
        gCalls.push_back("Options");
        return false;
    }
    void DoAbout() override { gCalls.push_back("About"); }
    void DoDisconnect() override
    {
        gCalls.push_back("Disconnect");
        CMyApplication::DoDisconnect();
    }
    void KillTasksAndDisconnect() override { gCalls.push_back("KillTasksAndDisconnect"); }
    void DoChatSend(bool action) override { gCalls.push_back(action ? "ChatSend(action)" : "ChatSend"); }
    void DoFileDoubleClick(CWindow*, uint16_t) override { gCalls.push_back("FileDoubleClick"); }
    void DoFileUploadFromDrop(CWindow*, const SHitMsgData&) override { gCalls.push_back("UploadFromDrop"); }
    void DoFileMove(CWindow*, uint16_t mods, const uint8_t* name, const void*, uint32_t pathSize) override
    {
        gCalls.push_back("Move " + std::string(reinterpret_cast<const char*>(name + 1), name[0]) + " " +
                         std::to_string(mods) + " " + std::to_string(pathSize));
    }
    void DoSendPrivMsg(uint16_t userID, const uint8_t*) override
    {
        gCalls.push_back("SendPrivMsg " + std::to_string(userID));
    }
    void DoGoURL(const void* text, uint32_t size) override
    {
        gCalls.push_back("GoURL " + std::string(static_cast<const char*>(text), size));
    }
    void ProcessAll() override { gCalls.push_back("ProcessAll"); }
    void DoConnect(const uint8_t* address, const uint8_t* name) override
    {
        gCalls.push_back("Connect " + std::string(reinterpret_cast<const char*>(address + 1), address[0]) +
                         " " + std::string(reinterpret_cast<const char*>(name + 1), name[0]));
    }
};

class AppDispatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UseBuiltDataFile();
        gCalls.clear();
        gBoxes.clear();
        gBoxTexts.clear();
        gAlert.clear();
        SetMsgBoxHook(
            [](int16_t id, const SMsgBox& box) -> uint16_t
            {
                gBoxes.push_back(id);
                gBoxTexts.push_back(
                    box.message ? std::string(reinterpret_cast<const char*>(box.message + 1), box.message[0])
                                : std::string());
                return 1;
            });
        // The application's construction starts the toolkit services (key filter, alert); the test's
        // alert recorder replaces the real alert afterwards.
        UWindowServices::Register();
        app = new CTestApp;
        UError::SetAlertProc([](const char* text, uint32_t) { gAlert = text; });
        window = new CWindow(SRect{0, 0, 200, 100}, kWindowDocument);
    }
    void TearDown() override
    {
        delete window;
        delete app;
        SetMsgBoxHook(nullptr);
        UError::SetAlertProc(nullptr);
        UApplication::Process();
    }
    std::vector<std::string> Taken()
    {
        UApplication::Process();
        std::vector<std::string> c = gCalls;
        gCalls.clear();
        return c;
    }
    void PressKey(uint16_t code, uint32_t keyChar, uint16_t mods)
    {
        SKeyMsgData key{code, mods, keyChar};
        UKeyCommands::Dispatch(key);
    }
    void Menu(uint16_t item)
    {
        SMenuHitData hit{0, item};
        UApplication::PostMessage(kMsgMenuItem, &hit, sizeof(hit));
    }
    void HitWith(uint32_t id, uint16_t part = 0, uint16_t mods = 0, uint32_t param = 0,
                 const std::string& data = std::string())
    {
        SHitMsgData hit{};
        hit.id = id;
        hit.part = part;
        hit.mods = mods;
        hit.param = param;
        std::memcpy(hit.data, data.data(), data.size());
        hit.dataSize = uint32_t(data.size());
        window->Hit(hit);
    }
    CTestApp* app;
    CWindow* window;
};

using Calls = std::vector<std::string>;
} // namespace

TEST_F(AppDispatchTest, FunctionKeysAndCtrlLettersReachTheirCommands)
{
    PressKey(kKeyF1, 0, 0);
    PressKey(kKeyF1 + 1, 0, 0);
    PressKey(kKeyF1 + 2, 0, 0);
    PressKey(kKeyF1 + 3, 0, 0);
    PressKey(kKeyF1 + 4, 0, 0);
    PressKey(kKeyF1 + 5, 0, 0);
    PressKey(kKeyF1 + 8, 0, 0);
    PressKey(kKeyF1 + 11, 0, kModCtrl);
    EXPECT_EQ(Taken(), (Calls{"ShowConnect", "ShowNews", "ShowChat", "ShowFiles", "ShowUsers", "ShowTasks",
                              "BringFrontPrivMsg", "Secret"}));
    for (char c : std::string("qknuhtrpmo"))
        PressKey(uint16_t(c - 32), uint32_t(c - 96), kModCtrl);
    EXPECT_EQ(Taken(), (Calls{"Quit", "ShowConnect", "ShowNews", "ShowUsers", "ShowChat", "ShowTasks",
                              "ShowTracker", "PostNews", "NewUser", "OpenUser"}));
}

TEST_F(AppDispatchTest, KeysWhoseCodesShareALettersNumberAreNoLetterCommands)
{
    // Return is 0x71 and Space 0x72, the codes of 'q' and 'r': Ctrl+Return sends a chat action line.
    PressKey(kKeyReturn, '\r', kModCtrl);
    PressKey(kKeySpace, 0, kModCtrl);
    PressKey(kKeyEnter, '\r', kModCtrl);
    EXPECT_EQ(Taken(), Calls{});
    PressKey('Q', 0x11, kModCtrl);
    EXPECT_EQ(Taken(), Calls{"Quit"});
}

TEST_F(AppDispatchTest, ModifiersMustMatchExactly)
{
    PressKey('F', 6, kModCtrl);
    PressKey('F', 6, kModCtrl | kModAlt);
    PressKey('F', 6, kModCtrl | kModShift); // not in the table
    PressKey(kKeyF1 + 11, 0, 0);            // F12 without Ctrl: nothing
    PressKey('Q', 'q', 0);                  // a plain q is typing, not quitting
    EXPECT_EQ(Taken(), (Calls{"ShowFiles", "CloseAllFileWindows"}));
}

TEST_F(AppDispatchTest, CloseAndOpenParentTakeTheFrontWindow)
{
    window->Show();
    window->BringToFront();
    PressKey('W', 23, kModCtrl);
    PressKey(kKeyUp, 0, kModCtrl);
    EXPECT_EQ(Taken(), (Calls{"CloseWindow", "OpenParent"}));
    window->Hide();
    PressKey('W', 23, kModCtrl);
    PressKey(kKeyUp, 0, kModCtrl);
    EXPECT_EQ(Taken(), (Calls{"CloseWindow(null)"}));
}

TEST_F(AppDispatchTest, RealKeyPressesGoThroughTheFilterAndLeaveOtherKeysToTheView)
{
    QLineEdit* edit = new QLineEdit(window->Widget());
    window->Show();
    QApplication::setActiveWindow(window->Widget());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_F5);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(Taken(), (Calls{"ShowConnect", "ShowUsers"}));
    EXPECT_EQ(edit->text(), "a");
}

TEST_F(AppDispatchTest, MenuItemsReachTheirCommands)
{
    for (uint16_t item : {kItemQuit, kItemConnect, kItemShowNews, kItemShowUsers, kItemShowFiles,
                          kItemShowChat, kItemShowTasks, kItemShowTracker, kItemShowToolbar, kItemPostNews,
                          kItemNewUser, kItemOpenUser, kItemOptions, kItemAbout})
        Menu(item);
    EXPECT_EQ(Taken(),
              (Calls{"Quit", "ShowConnect", "ShowNews", "ShowUsers", "ShowFiles", "ShowChat", "ShowTasks",
                     "ShowTracker", "PostNews", "NewUser", "OpenUser", "Options", "About"}));
}

TEST_F(AppDispatchTest, DisconnectItemOnlyActsWhenConnected)
{
    Menu(kItemDisconnect);
    EXPECT_EQ(Taken(), Calls{"Disconnect"});
    app->MakeTransactor(); // connecting
    Menu(kItemDisconnect);
    EXPECT_EQ(Taken(), (Calls{"Disconnect", "KillTasksAndDisconnect"}));
}

// Keys, menu items and toolbar buttons all follow one rule while a window waits for the user: only
// quitting and the edit items go through.
TEST_F(AppDispatchTest, InsideAModalWindowOnlyQuittingAndEditingRun)
{
    bool given = false;
    UModalLoop::Run(
        [&]
        {
            if (given) return true;
            given = true;
            PressKey('N', 14, kModCtrl);
            PressKey(kKeyF1, 0, 0);
            Menu(kItemShowTasks);
            Menu(kItemCopy);
            HitWith(kHitShowChat);
            HitWith(kHitAbout);
            Menu(kItemQuit);
            PressKey('Q', 17, kModCtrl);
            HitWith(kHitQuit);
            return false;
        });
    EXPECT_EQ(Taken(), (Calls{"Quit", "Quit", "Quit"}));
    HitWith(kHitShowChat);
    EXPECT_EQ(Taken(), Calls{"ShowChat"});
}

TEST_F(AppDispatchTest, HitsWithConditionsOnPartsAndModifiers)
{
    HitWith(kHitDisconnect);
    HitWith(kHitDisconnect, 0, kModAlt);
    HitWith(kHitChatSend, 1);
    HitWith(kHitChatSend, 2);
    HitWith(kHitChatSend, 3); // sends nothing
    HitWith(kHitShowChat);
    HitWith(kHitShowChat, 0, kModAlt);
    HitWith(kHitQuit);
    HitWith(kHitCloseBox);
    HitWith(9999); // unknown: ignored
    EXPECT_EQ(Taken(), (Calls{"Disconnect", "ShowConnect", "ChatSend", "ChatSend(action)", "ShowChat", "Quit",
                              "CloseWindow"}));
}

TEST_F(AppDispatchTest, FileListHitsDependOnPartAndDragFlavour)
{
    HitWith(kHitFileList, 0, kModDoubleClick);
    HitWith(kHitFileList, kPartDrop, 0, FourCC("hfs "));
    // A server item dropped: its name, the path's length and the path (none: the root).
    HitWith(kHitFileList, kPartDrop, kModAlt, FourCC("QVFN"), std::string("\x04memo\0\0", 7));
    // A drop whose lengths do not add up moves nothing.
    HitWith(kHitFileList, kPartDrop, 0, FourCC("QVFN"), std::string("\x09memo\0\0", 7));
    HitWith(kHitFileList, kPartDrop, 0, FourCC("QVFN"));
    HitWith(kHitPrivChatUsers, kPartDrop); // not connected: no invitation
    HitWith(kHitPrivChatUsers, 1);         // not a private chat window: no user to write to
    EXPECT_EQ(Taken(), (Calls{"FileDoubleClick", "UploadFromDrop", "Move memo 2 0"}));
}

TEST_F(AppDispatchTest, DismissedMessageWindowIsDestroyed)
{
    CWindow* msg = new CWindow(SRect{0, 0, 100, 100}, kWindowDocument);
    const uint32_t before = CWindow::GetWindowCount();
    msg->Hit(kHitDismissMsg);
    UApplication::Process();
    EXPECT_EQ(CWindow::GetWindowCount(), before - 1);
}

TEST_F(AppDispatchTest, ConnectionMessagesRunProcessAllAndAddressesGoToDoGoURL)
{
    for (uint32_t msg = 100; msg <= 106; ++msg)
        UApplication::PostMessage(msg);
    UApplication::PostMessage(kMsgGoURL, "quenvol://h:1", 13);
    Calls expected(7, "ProcessAll");
    expected.push_back("GoURL quenvol://h:1");
    EXPECT_EQ(Taken(), expected);
}

TEST_F(AppDispatchTest, ServerNoticesOpenTheirBoxes)
{
    UApplication::PostMessage(kMsgConnectionLost);
    // Without a session a cut transfer waits for the next login: it opens no box (TransferQueueTest).
    UApplication::PostMessage(kMsgTransferClosed);
    UApplication::PostMessage(kMsgVersionRefused);
    const uint8_t bye[] = "\x07Go away";
    UApplication::PostMessage(kMsgServerDisconnect, bye, sizeof(bye) - 1);
    EXPECT_EQ(Taken(), Calls{"Disconnect"});
    EXPECT_EQ(gBoxes, (std::vector<int16_t>{131, 146, 143}));
    EXPECT_NE(gBoxTexts[2].find("Go away"), std::string::npos);
}

// A server message of only a line break opened an empty box.
TEST_F(AppDispatchTest, ServerTextOfNothingButLineBreaksAndBlanksShowsNoBox)
{
    UApplication::PostMessage(kMsgServerMessage, "\x01\r", 2);
    UApplication::PostMessage(kMsgAdminMessage, "\x04\r\n \t", 5);
    UApplication::PostMessage(kMsgServerMessage, "\x02\rx", 3);
    UApplication::Process();
    ASSERT_EQ(gBoxTexts.size(), 1u);
    EXPECT_EQ(gBoxTexts[0], "\rx");
}

TEST_F(AppDispatchTest, ServerTextWithALyingLengthIsCutToTheData)
{
    const uint8_t text[] = "\xFFhi";
    UApplication::PostMessage(kMsgServerMessage, text, 3);
    UApplication::Process();
    ASSERT_EQ(gBoxTexts.size(), 1u);
    EXPECT_EQ(gBoxTexts[0], "hi");
}

TEST_F(AppDispatchTest, TransportErrorsGetBox142OthersTheAlertSilentOnesNothing)
{
    app->Error(SError(8, 104));
    ASSERT_EQ(gBoxes, std::vector<int16_t>{142});
    EXPECT_FALSE(gBoxTexts[0].empty());
    EXPECT_EQ(gAlert, "");
    app->Error(SError(4, 103));
    EXPECT_NE(gAlert.find("ID 4/103"), std::string::npos);
    gAlert.clear();
    app->Error(SError(8, 102, "", 0, false, true));
    app->Error(SError(4, 103, "", 0, false, true));
    EXPECT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gAlert, "");
}

TEST_F(AppDispatchTest, ErrorEscapingAHandlerIsShownThroughTheQueue)
{
    StClockInHand clock;
    TTimerObj* t = UTimer::StartNew([](void*, void*, uint32_t, const void*, uint32_t) { Fail(8, 103); },
                                    nullptr, 1, false);
    UClock::Advance(1);
    UTimer::Dispose(t);
    EXPECT_EQ(gBoxes, std::vector<int16_t>{142});
}

TEST(AppStartUp, DefaultsAndTheFrameWindowWithItsMenus)
{
    UseBuiltDataFile();
    StConfigHere config;
    // A machine without sound gets box 138 at start-up; answer it instead of waiting for a user.
    static std::vector<int16_t> boxes;
    boxes.clear();
    SetMsgBoxHook(
        [](int16_t id, const SMsgBox&) -> uint16_t
        {
            boxes.push_back(id);
            return 1;
        });
    CMyApplication app;
    EXPECT_EQ(app.Features().Settings().iconID, 414);
    EXPECT_TRUE(app.Features().Settings().queueTransfers);
    EXPECT_TRUE(app.Features().Settings().showJoinLeaveInChat);
    EXPECT_TRUE(app.Features().Session().Access().Has(0) && app.Features().Session().Access().Has(63));
    EXPECT_EQ(app.Features().Settings().colorChat.backColor.red, 0xFFFF);
    EXPECT_EQ(app.Features().Session().FirewallAddress().type, 42);
    EXPECT_EQ(app.Features().Session().FirewallAddress().name[0], 0);
    app.StartUp();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(app.Features().Settings().userName + 1),
                          app.Features().Settings().userName[0]),
              "unnamed");
    // A new user gets the main window (the user running the test may have chosen otherwise), and the
    // separate layout's toolbar window waits for a switch; the rest of this test is about that window.
    if (app.Features().Settings().layout == EMyLayout::kMain)
    {
        ASSERT_NE(app.Features().Windows().Main(), nullptr);
        EXPECT_TRUE(app.Features().Windows().Main()->IsVisible());
        EXPECT_EQ(app.Features().Windows().Toolbar(), nullptr);
    }
    app.Features().Windows().UseLayout(EMyLayout::kSeparate);
    ASSERT_NE(app.Features().Windows().Toolbar(), nullptr);
    EXPECT_TRUE(app.Features().Windows().Toolbar()->IsVisible());
    QStringList menus;
    for (QAction* a : app.Features().Windows().Toolbar()->MainWindow()->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"File", "Edit", "View", "Quenvol"}));
    // Closing the toolbar folds its buttons away and keeps the window with the menu bar; the show command
    // unfolds it. Hidden some other way (by the desktop), the show command shows it again.
    CMyOldToolbarWin* toolbar = app.Features().Windows().Toolbar();
    app.DoCloseWindow(toolbar);
    EXPECT_TRUE(toolbar->IsVisible());
    EXPECT_TRUE(toolbar->IsFolded());
    // The menu has always shown "Show Toolbar  Ctrl+B"; the key did nothing.
    SKeyMsgData ctrlB{'B', kModCtrl, 2};
    UKeyCommands::Dispatch(ctrlB);
    UApplication::Process();
    EXPECT_FALSE(toolbar->IsFolded());
    toolbar->Hide();
    SMenuHitData showToolbar{0, kItemShowToolbar};
    UApplication::PostMessage(kMsgMenuItem, &showToolbar, sizeof(showToolbar));
    UApplication::Process();
    EXPECT_TRUE(app.Features().Windows().Toolbar()->IsVisible());
    EXPECT_EQ(boxes, !USound::IsAvailable() ? std::vector<int16_t>{138} : std::vector<int16_t>{});
    SetMsgBoxHook(nullptr);
}

// Pins: every start on a machine without sound put up box 138 again, and the user could not stop it (the
// options cannot switch sound off where there is none).
TEST(AppStartUp, AMachineWithoutSoundIsToldOnceAndOneWithSoundForgetsItWasTold)
{
    UseBuiltDataFile();
    StConfigHere config;
    static std::vector<int16_t> boxes;
    SetMsgBoxHook(
        [](int16_t id, const SMsgBox&) -> uint16_t
        {
            boxes.push_back(id);
            return 1;
        });
    auto start = [](bool& outTold)
    {
        boxes.clear();
        CMyApplication app;
        app.StartUp();
        outTold = app.Features().Settings().soundMissingTold;
        return boxes;
    };
    bool told = false;
    if (!platform::HasAudioOutput())
    {
        EXPECT_EQ(start(told), std::vector<int16_t>{138});
        EXPECT_TRUE(told);
        EXPECT_EQ(start(told), std::vector<int16_t>{}) << "told again at the second start";
        EXPECT_TRUE(told);
    }
    else
    {
        // Sound came back since the box was shown: the mark goes, so that its next loss is told.
        SMySettings settings;
        settings.soundMissingTold = true;
        UMyDesktopSettings::Write(settings);
        EXPECT_EQ(start(told), std::vector<int16_t>{});
        EXPECT_FALSE(told);
        SMySettings back;
        UMyDesktopSettings::Read(back);
        EXPECT_FALSE(back.soundMissingTold);
    }
    SetMsgBoxHook(nullptr);
}

TEST_F(AppDispatchTest, CommandLineDocumentsOpenBookmarksAndRefuseOtherFiles)
{
    char folder[] = "/tmp/quenvol-docs-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string bookmark = std::string(folder) + "/home.qbm", text = std::string(folder) + "/notes.txt";
    fclose(fopen(text.c_str(), "w"));
    {
        StFileSysRef ref(UFileSys::NewFromNativePath(bookmark.data(), uint32_t(bookmark.size())));
        UMyBookmarkFile::Save(ref.Get(),
                              reinterpret_cast<const uint8_t*>("\x0E"
                                                               "127.0.0.1:5501"),
                              reinterpret_cast<const uint8_t*>("\x03"
                                                               "abc"),
                              reinterpret_cast<const uint8_t*>("\x02"
                                                               "pw"));
    }
    UApplication::SetDocumentRefProcs(UFileSys::NewFromNativePath, UFileSys::Dispose);
    UApplication::SetCommandLineItems({bookmark, text, "quenvol://127.0.0.1:5500"});
    UApplication::PostMessage(kMsgOpenDocuments);
    EXPECT_EQ(Taken(), (Calls{"Connect 127.0.0.1:5501 home.qbm", "GoURL quenvol://127.0.0.1:5500"}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(app->Features().Session().UserLogin() + 1),
                          app->Features().Session().UserLogin()[0]),
              "abc");
    ASSERT_EQ(gBoxes, std::vector<int16_t>{137});
    EXPECT_NE(gBoxTexts[0].find("notes.txt"), std::string::npos);
    for (const std::string& path : {bookmark, text})
        remove(path.c_str());
    rmdir(folder);
}
