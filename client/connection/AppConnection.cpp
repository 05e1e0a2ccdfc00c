// The one server connection: starting it from an address, its states as the windows show them, and
// ending the session.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/MsgBoxText.h"
#include "client/connection/CMyConnectTask.h"
#include "client/connection/CMyLoginTask.h"
#include "client/connection/CMyLoginWin.h"
#include "client/core/CMyKeptPasswords.h"
#include "client/core/CMyTask.h"
#include "client/core/UMyBookmarkFile.h"
#include "client/core/UMyRecentServers.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"

namespace
{
constexpr uint8_t kMaxDisplayName = 63;
const uint8_t kSavePrompt[] = "\x11Save Bookmark As:";
const uint8_t kUntitled[] = "\x08Untitled";

bool HasExtension(const uint8_t* name)
{
    const uint32_t n = name[0], ext = UMyBookmarkFile::kExtension[0];
    return n >= ext && UText::Equal(name + 1 + n - ext, ext, UMyBookmarkFile::kExtension + 1, ext);
}

// Save... of the connect dialog: asks where, then writes the entries as a bookmark.
void SaveBookmark(CMyApplication& app, const uint8_t* address, const uint8_t* login, const uint8_t* password)
{
    // The address names the file, as far as a file name can carry it.
    uint8_t suggested[256];
    const uint8_t* base = address && address[0] ? address : kUntitled;
    const uint32_t ext = UMyBookmarkFile::kExtension[0];
    UPString::Copy(suggested, 256 - ext, base);
    suggested[0] = uint8_t(UFileSys::ValidateFileName(suggested + 1, suggested[0]));
    std::memcpy(suggested + 1 + suggested[0], UMyBookmarkFile::kExtension + 1, ext);
    suggested[0] = uint8_t(suggested[0] + ext);

    // The dialog starts in the bookmark folder, made if need be, so that the menu lists what is saved.
    StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
    bool isFolder = false;
    try
    {
        if (!UFileSys::Exists(folder.Get(), &isFolder))
        {
            UFileSys::CreateFolder(folder.Get());
            isFolder = true;
        }
    }
    catch (const SError&)
    {
        // The dialog then starts where it likes; the user can still save anywhere.
    }
    StFileSysRef file(UFileSys::UserSaveFile(suggested, kSavePrompt, isFolder ? folder.Get() : nullptr));
    if (!file.Get()) return;
    // A file's kind is its extension here, so a bookmark saved without one would not be a bookmark.
    uint8_t name[256];
    UFileSys::GetName(file.Get(), name);
    if (!HasExtension(name) && name[0] <= 255 - ext)
    {
        std::memcpy(name + 1 + name[0], UMyBookmarkFile::kExtension + 1, ext);
        name[0] = uint8_t(name[0] + ext);
        UFileSys::SetRefName(file.Get(), name);
    }
    app.SaveServerFile(file.Get(), address, login, password);
}

// The menu's title of a recent server: its address, and the login after it when there is one.
void RecentTitle(const SMyRecentServer& server, uint8_t (&out)[256])
{
    if (server.login[0])
        out[0] = uint8_t(UText::Format(out + 1, 255, "%#s (%#s)", server.address, server.login));
    else
        UPString::Copy(out, server.address);
}

// The dialog's entries for a recent server. Its password is the one the user asked to keep (or, where
// the keyring holds it, comes from there later), or comes from its bookmark, and only while that bookmark
// still names the same server and login: a bookmark changed since is not this server's.
void FillFromRecent(CMyApplication& app, const SMyRecentServer& server, SMyConnectEntry& out)
{
    UPString::Copy(out.address, server.address);
    UPString::Copy(out.login, server.login);
    out.keepPassword = server.keepPassword;
    if (server.keepPassword) UPString::Copy(out.password, server.password);
    if (!server.bookmark[0]) return;
    uint8_t address[256], login[32], password[32];
    try
    {
        StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
        StFileSysRef file(UFileSys::New(folder.Get(), nullptr, server.bookmark));
        app.ReadServerFile(file.Get(), address, login, password);
    }
    catch (const SError&)
    {
        return; // a bookmark gone or damaged leaves the password to be typed
    }
    if (!UPString::Equal(address, server.address) || !UPString::Equal(login, server.login)) return;
    UPString::Copy(out.password, password);
    UPString::Copy(out.bookmarkName, server.bookmark);
}
} // namespace

void CMyApplication::DoShowConnect()
{
    // The dialog opens on the server used last, with the password only when its bookmark still holds it.
    SMyConnectEntry start{};
    const std::vector<SMyRecentServer> recent = UMyRecentServers::Read();
    if (!recent.empty()) FillFromRecent(*this, recent.front(), start);
    RunConnectDialog(start);
}

void CMyApplication::DoShowConnect(const uint8_t* address)
{
    SMyConnectEntry start{};
    if (address) UPString::Copy(start.address, address);
    RunConnectDialog(start);
}

void CMyApplication::DoConnectToRecent(uint32_t index)
{
    const std::vector<SMyRecentServer> recent = UMyRecentServers::Read();
    if (index >= recent.size()) return;
    SMyConnectEntry entry{};
    FillFromRecent(*this, recent[index], entry);
    if (!MayConnectElsewhere(entry.address, entry.bookmarkName)) return;
    mSession.SetLogin(entry.login, entry.password);
    DoConnect(entry.address, entry.bookmarkName);
    if ((entry.bookmarkName[0] || entry.keepPassword) && !entry.password[0] && entry.login[0])
        LookUpLoginPassword(entry.address, entry.login);
}

void CMyApplication::RunConnectDialog(const SMyConnectEntry& start)
{
    // The menu's items stand for these files; a title may differ from its file's name in more than the
    // missing extension (its case), so the file is opened by the name it has. The servers used lately
    // follow the bookmarks.
    std::vector<SMyBookmarkItem> bookmarks;
    std::vector<SMyRecentServer> recent;
    // The open dialog, for passwords that come from the keyring after a bookmark filled the entries.
    auto open = std::make_shared<CMyLoginWin*>(nullptr);
    auto fillPasswordLater =
        [this, open](const uint8_t* server, const uint8_t* login, const uint8_t* password)
    {
        if (password[0] || !login[0]) return;
        const std::string s(reinterpret_cast<const char*>(server), server[0] + 1u);
        const std::string l(reinterpret_cast<const char*>(login), login[0] + 1u);
        mPasswords.LookUp(CMyKeptPasswords::EKind::kBookmark, server, login,
                          [open, s, l](const uint8_t* found)
                          {
                              // Only into the entries it belongs to, and never over a typed password.
                              uint8_t server[256], login[32], password[32];
                              if (!*open || !found[0]) return;
                              (*open)->GetInfo(server, login, password);
                              if (password[0] ||
                                  !UPString::Equal(server, reinterpret_cast<const uint8_t*>(s.data())) ||
                                  !UPString::Equal(login, reinterpret_cast<const uint8_t*>(l.data())))
                                  return;
                              (*open)->SetInfo(server, login, found);
                          });
    };
    CMyLoginWin::SHooks hooks;
    hooks.fillBookmarks = [&](CMyLoginWin& win)
    {
        if (!*open)
        {
            *open = &win;
            if (start.bookmarkName[0] || start.keepPassword)
                fillPasswordLater(start.address, start.login, start.password);
        }
        const bool hasFolder = BuildServerMenu(bookmarks);
        for (const SMyBookmarkItem& item : bookmarks)
            win.AddBookmark(item.title);
        recent = UMyRecentServers::Read();
        for (const SMyRecentServer& server : recent)
        {
            uint8_t title[256];
            RecentTitle(server, title);
            win.AddBookmark(title);
        }
        return hasFolder || !recent.empty();
    };
    // A damaged bookmark or a failed save is shown, and the dialog stays for another try.
    hooks.save = [this](CMyLoginWin& win)
    {
        uint8_t server[256], login[32], password[32];
        win.GetInfo(server, login, password);
        try
        {
            SaveBookmark(*this, server, login, password);
        }
        catch (const SError& error)
        {
            Error(error);
        }
    };
    hooks.bookmarkChosen = [&](CMyLoginWin& win, uint32_t item)
    {
        if (item > bookmarks.size() && item - bookmarks.size() <= recent.size())
        {
            SMyConnectEntry chosen{};
            FillFromRecent(*this, recent[item - bookmarks.size() - 1], chosen);
            win.SetInfo(chosen.address, chosen.login, chosen.password);
            win.SetBookmarkName(chosen.bookmarkName);
            win.SetKeepPassword(chosen.keepPassword);
            if (chosen.bookmarkName[0] || chosen.keepPassword)
                fillPasswordLater(chosen.address, chosen.login, chosen.password);
            return;
        }
        if (item < 1 || item > bookmarks.size()) return;
        const SMyBookmarkItem& chosen = bookmarks[item - 1];
        uint8_t server[256], login[32], password[32];
        try
        {
            StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
            StFileSysRef file(UFileSys::New(folder.Get(), nullptr, chosen.fileName));
            ReadServerFile(file.Get(), server, login, password);
        }
        catch (const SError& error)
        {
            Error(error);
            return;
        }
        win.SetInfo(server, login, password);
        win.SetBookmarkName(chosen.fileName);
        fillPasswordLater(server, login, password);
    };
    SMyConnectEntry entry;
    const bool connect = CMyLoginWin::Run(start, entry, &hooks);
    *open = nullptr;
    if (!connect) return;
    // "0" is the short way to say this machine.
    static const uint8_t kLocalHost[] = "\x09"
                                        "127.0.0.1";
    const uint8_t* server = entry.address;
    if (server[0] == 1 && server[1] == '0') server = kLocalHost;
    if (!MayConnectElsewhere(server, entry.bookmarkName)) return;
    mSession.SetLogin(entry.login, entry.password);
    DoConnect(server, entry.bookmarkName);
    mSession.SetFromDialog(entry.bookmarkName, entry.keepPassword);
    // Connect pressed before the keyring answered: the connection waits for it instead.
    if ((entry.bookmarkName[0] || entry.keepPassword) && !entry.password[0] && entry.login[0])
        LookUpLoginPassword(entry.address, entry.login);
}

void CMyApplication::LookUpLoginPassword(const uint8_t* address, const uint8_t* login)
{
    mSession.SetPasswordComing();
    const uint32_t serial = mSession.Serial();
    const std::string l(reinterpret_cast<const char*>(login), login[0] + 1u);
    mPasswords.LookUp(CMyKeptPasswords::EKind::kBookmark, address, login,
                      [this, serial, l](const uint8_t* found)
                      {
                          // A session given up or replaced meanwhile has no use for it.
                          if (mSession.Serial() != serial || !mSession.PasswordComing()) return;
                          mSession.SetLogin(reinterpret_cast<const uint8_t*>(l.data()), found);
                          ScheduleTaskProcess();
                      });
}

void CMyApplication::ShowConnectAgain(uint32_t serial)
{
    // The connection ran while the refusal was shown: a session begun meanwhile is not replaced.
    if (mSession.Serial() != serial || mSession.IsOpen() || !mSession.IsFromDialog()) return;
    SMyConnectEntry start{};
    UPString::Copy(start.address, mSession.Address().name);
    UPString::Copy(start.login, mSession.UserLogin());
    UPString::Copy(start.password, mSession.UserPassword());
    UPString::Copy(start.bookmarkName, mSession.DialogBookmark());
    start.keepPassword = mSession.KeepsPassword();
    RunConnectDialog(start);
}

void CMyApplication::DoConnect(const uint8_t* address, const uint8_t* name)
{
    DoDisconnect();
    mSession.ClearFromDialog();
    mSession.ForgetAgreed();
    mSession.SetAddress(address ? address + 1 : nullptr, address ? address[0] : 0);

    uint8_t displayName[256];
    if (name && name[0])
        UPString::Copy(displayName, name);
    else
        UPString::Copy(displayName, kMaxDisplayName + 1, mSession.Address().name);
    mSession.SetDisplayName(displayName);
    DisplayServerName(displayName);

    new CMyConnectTask();
    StartPublicChatFor(address, displayName);
}

bool CMyApplication::MayConnectElsewhere(const uint8_t* address, const uint8_t* name)
{
    // Only what the user would lose makes it worth a question: running transfers and conversations
    // (a stopped or waiting transfer row stays for its own server).
    if (!mSession.IsOpen()) return true;
    bool transfers = false;
    for (CMyTask* task : mTaskList)
        transfers = transfers || (task->IsTransfer() && !task->mIsFinished && !task->IsParked());
    if (!transfers && !mWindows.HasPrivateChats()) return true;
    uint8_t to[256], text[256];
    if (name && name[0])
        UPString::Copy(to, name);
    else
        UPString::Copy(to, kMaxDisplayName + 1, address);
    text[0] = uint8_t(
        UText::Format(text + 1, 255, "Disconnect from %#s and connect to %#s?", mSession.DisplayName(), to));
    return MsgBox({.title = "Connect", .message = text, .button1 = "Connect", .button2 = "Cancel"}) == 1;
}

void CMyApplication::DoGoURL(const void* text, uint32_t size)
{
    uint32_t start, length;
    if (!UTransport::_GetURLAddress(text, size, start, length)) return;
    uint8_t address[256];
    UPString::SetBytes(address, static_cast<const uint8_t*>(text) + start, length);
    if (!MayConnectElsewhere(address, nullptr)) return;
    mSession.SetLogin(nullptr, nullptr);
    DoConnect(address, nullptr);
}

TTransactObj* CMyApplication::MakeTransactor()
{
    return mSession.MakeTransactor();
}

void CMyApplication::DisposeTransactor()
{
    mSession.DisposeTransactor();
}

void CMyApplication::StartTransactorConnect()
{
    mSession.StartConnect();
}

void CMyApplication::ShowNotConnected()
{
    SMyUserAccess all;
    all.SetAll();
    mSession.SetAccess(all);
    mWindows.SetAccess(all);
    mFolderWins.SetAccess(all);
    mWindows.SetToolbarLook(kToolbarNotConnected);
    mWindows.SetConnected(false);
    DisplayServerName(nullptr);
    ShowTrayConnected(false);
}

void CMyApplication::ShowConnecting()
{
    mWindows.SetToolbarLook(kToolbarConnecting);
}

void CMyApplication::ShowConnected()
{
    mWindows.SetToolbarLook(kToolbarConnected);
    mSession.SetConnected();
    mWindows.SetConnected(true);
    ShowTrayConnected(true);
}

void CMyApplication::DoDisconnect()
{
    // Whoever ends the session on purpose (the user, a new connection, quitting, the server's own
    // disconnect message) also ends the waiting for a lost one.
    mReconnect.Cancel();
    if (mSession.IsOpen()) KillTasksAndDisconnect();
}

void CMyApplication::KillTasksAndDisconnect()
{
    // Tracker queries do not need the server and keep running.
    mTaskList.KillSessionTasks();
    mSession.Close();
    ShowNotConnected();
    mWindows.ClearOnlineUsers();
    mSession.End();
    // A reconnect attempt ended any other way than a lost or unreachable server (a declined agreement,
    // a refused login, the user) is not tried again.
    mReconnect.AttemptEnded();
}

void CMyApplication::ProcessAll()
{
    bool closedByUs = false;
    if (mSession.IsLost(closedByUs))
    {
        const bool wasLoggedIn = mSession.IsLoggedIn();
        const bool wasAttempt = mReconnect.IsAttempting();
        // An attempt that got through and lost the server again before the login waits for the next.
        if (wasAttempt && !closedByUs) mReconnect.AttemptFailed();
        // A session that will be tried again keeps what the user had open until it is back or given up.
        const bool comingBack = !closedByUs && !wasAttempt && wasLoggedIn && mSettings.reconnect;
        if (comingBack) mSession.PauseAtEnd();
        // A connection the client closed itself, because the server broke the protocol, was not lost:
        // the protocol error is what the user is told.
        KillTasksAndDisconnect();
        if (!closedByUs && !wasAttempt)
        {
            const uint32_t serial = mSession.Serial();
            if (!wasLoggedIn)
                UApplication::PostMessage(kMsgConnectionLost);
            else if (comingBack)
                StartReconnect();
            else
                UApplication::PostMessage(kMsgConnectionLost, &serial, sizeof serial);
        }
    }
    bool attemptFailed = false;
    try
    {
        mTaskList.ProcessTasks(
            [&](CMyTask* task)
            {
                // A session whose login failed cannot go on; any other failed task just goes. A login
                // entered in the connect dialog gets the dialog back, to be corrected.
                if (dynamic_cast<CMyLoginTask*>(task))
                {
                    const bool wasAttempt = mReconnect.IsAttempting();
                    KillTasksAndDisconnect();
                    if (!wasAttempt && mSession.IsFromDialog())
                    {
                        const uint32_t serial = mSession.Serial();
                        UApplication::PostMessage(kMsgLoginRefused, &serial, sizeof serial);
                    }
                }
                else
                {
                    if (mReconnect.IsAttempting() && dynamic_cast<CMyConnectTask*>(task))
                    {
                        attemptFailed = true;
                        mReconnect.AttemptFailed();
                    }
                    delete task;
                }
            });
    }
    catch (const SError& error)
    {
        if (!attemptFailed) throw;
        // A server that refuses this client's version will go on refusing it: its box is the end.
        if (error.type == kErrTypeGeneral && error.id == 7)
        {
            mReconnect.Cancel();
            throw;
        }
        // The server is still out of reach: the countdown says so, where a box at every attempt would
        // pile up. The other tasks get their step on the next pass.
        return;
    }
    ProcessIncomingData();
    mTaskList.CheckForStalls();
}
