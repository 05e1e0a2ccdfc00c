#include "client/connection/CMyConnection.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyWindowSet.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/MsgBoxText.h"
#include "client/boxes/UNoticeBox.h"
#include "client/connection/CMyConnectTask.h"
#include "client/connection/CMyLoginWin.h"
#include "client/connection/CMyReconnectTask.h"
#include "client/core/CMyKeptPasswords.h"
#include "client/core/CMySession.h"
#include "client/core/CMyTask.h"
#include "client/core/CMyTaskList.h"
#include "client/core/SMySettings.h"
#include "client/core/UMyBookmarkFile.h"
#include "client/core/UMyRecentServers.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CWindow.h"

namespace
{
const uint8_t kBookmarkSavePrompt[] = "\x11Save Bookmark As:";
const uint8_t kUntitled[] = "\x08Untitled";

bool HasExtension(const uint8_t* name)
{
    const uint32_t n = name[0], ext = UMyBookmarkFile::kExtension[0];
    return n >= ext && UText::Equal(name + 1 + n - ext, ext, UMyBookmarkFile::kExtension + 1, ext);
}

// Save... of the connect dialog: asks where, then writes the entries as a bookmark.
void SaveBookmark(const uint8_t* address, const uint8_t* login, const uint8_t* password)
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
    StFileSysRef file(
        UFileSys::UserSaveFile(suggested, kBookmarkSavePrompt, isFolder ? folder.Get() : nullptr));
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
    gApp->SaveServerFile(file.Get(), address, login, password);
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
void FillFromRecent(const SMyRecentServer& server, SMyConnectEntry& out)
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
        gApp->ReadServerFile(file.Get(), address, login, password);
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

CMyConnection::CMyConnection(const SMySettings& settings, CMySession& session, CMyKeptPasswords& passwords,
                             CMyTaskList& tasks, CMyWindowSet& windows)
    : mSettings(settings), mSession(session), mPasswords(passwords), mTasks(tasks), mWindows(windows),
      mReconnect({[this] { ReconnectAttempt(); }, [this] { ShowReconnect(); }})
{
}

void CMyConnection::ShowDialog()
{
    // The dialog opens on the server used last, with the password only when its bookmark still holds it.
    SMyConnectEntry start{};
    const std::vector<SMyRecentServer> recent = UMyRecentServers::Read();
    if (!recent.empty()) FillFromRecent(recent.front(), start);
    RunDialog(start);
}

void CMyConnection::ConnectToRecent(uint32_t index)
{
    const std::vector<SMyRecentServer> recent = UMyRecentServers::Read();
    if (index >= recent.size()) return;
    SMyConnectEntry entry{};
    FillFromRecent(recent[index], entry);
    if (!MayConnectElsewhere(entry.address, entry.bookmarkName)) return;
    mSession.SetLogin(entry.login, entry.password);
    gApp->DoConnect(entry.address, entry.bookmarkName);
    if ((entry.bookmarkName[0] || entry.keepPassword) && !entry.password[0] && entry.login[0])
        LookUpLoginPassword(entry.address, entry.login);
}

void CMyConnection::RunDialog(const SMyConnectEntry& start)
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
        const bool hasFolder = gApp->BuildServerMenu(bookmarks);
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
            SaveBookmark(server, login, password);
        }
        catch (const SError& error)
        {
            gApp->Error(error);
        }
    };
    hooks.bookmarkChosen = [&](CMyLoginWin& win, uint32_t item)
    {
        if (item > bookmarks.size() && item - bookmarks.size() <= recent.size())
        {
            SMyConnectEntry chosen{};
            FillFromRecent(recent[item - bookmarks.size() - 1], chosen);
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
            gApp->ReadServerFile(file.Get(), server, login, password);
        }
        catch (const SError& error)
        {
            gApp->Error(error);
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
    gApp->DoConnect(server, entry.bookmarkName);
    mSession.SetFromDialog(entry.bookmarkName, entry.keepPassword);
    // Connect pressed before the keyring answered: the connection waits for it instead.
    if ((entry.bookmarkName[0] || entry.keepPassword) && !entry.password[0] && entry.login[0])
        LookUpLoginPassword(entry.address, entry.login);
}

void CMyConnection::LookUpLoginPassword(const uint8_t* address, const uint8_t* login)
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
                          mTasks.ScheduleTaskProcess();
                      });
}

void CMyConnection::ShowConnectAgain(uint32_t serial)
{
    // The connection ran while the refusal was shown: a session begun meanwhile is not replaced.
    if (mSession.Serial() != serial || mSession.IsOpen() || !mSession.IsFromDialog()) return;
    SMyConnectEntry start{};
    UPString::Copy(start.address, mSession.Address().name);
    UPString::Copy(start.login, mSession.UserLogin());
    UPString::Copy(start.password, mSession.UserPassword());
    UPString::Copy(start.bookmarkName, mSession.DialogBookmark());
    start.keepPassword = mSession.KeepsPassword();
    RunDialog(start);
}

bool CMyConnection::MayConnectElsewhere(const uint8_t* address, const uint8_t* name)
{
    // Only what the user would lose makes it worth a question: running transfers and conversations
    // (a stopped or waiting transfer row stays for its own server).
    if (!mSession.IsOpen()) return true;
    bool transfers = false;
    for (CMyTask* task : mTasks)
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

void CMyConnection::StartReconnect()
{
    mReconnect.Start();
    // One line in the chat marks where the conversation broke off; the countdown itself lives in the
    // status line (or the toolbar window's title) and the tasks window.
    uint8_t text[256];
    mReconnect.StatusText(text);
    mWindows.AppendPublicChatNote(text);
}

void CMyConnection::ReconnectNow()
{
    mReconnect.Now();
}

void CMyConnection::CancelReconnect()
{
    mReconnect.Cancel();
}

void CMyConnection::LoggedIn()
{
    mSession.SetLoggedIn();
    // The connect dialog opens on the servers used lately; only a bookmark of the dialog is named, for
    // the password it holds, and a password is kept only when the user ticked "Keep my password".
    SMyRecentServer recent;
    UPString::Copy(recent.address, mSession.Address().name);
    UPString::Copy(recent.login, mSession.UserLogin());
    if (mSession.IsFromDialog()) UPString::Copy(recent.bookmark, mSession.DialogBookmark());
    auto remember = [](const SMyRecentServer& server)
    {
        try
        {
            UMyRecentServers::Remember(server);
        }
        catch (const SError&)
        {
            // A settings folder that cannot be written costs only the dialog's memory, not the session.
        }
    };
    if (mSession.IsFromDialog() && mSession.KeepsPassword())
    {
        // A kept password goes to the keyring where there is one, under the same entry as a bookmark's
        // for this server and login: the file keeps it only until the keyring says it holds it.
        recent.keepPassword = true;
        uint8_t field[256];
        mPasswords.FieldForFile(CMyKeptPasswords::EKind::kBookmark, recent.address, recent.login,
                                mSession.UserPassword(), field,
                                [recent, remember]() mutable
                                {
                                    recent.password[0] = 0;
                                    remember(recent);
                                });
        UPString::Copy(recent.password, sizeof(recent.password), field);
    }
    remember(recent);
    if (!mReconnect.IsAttempting()) return;
    // Back before the reconnect goes idle, which would give up what the lost session kept open.
    const bool resumed = mSession.IsPaused();
    mSession.Resumed();
    mReconnect.Succeeded();
    uint8_t time[64], text[256];
    time[0] = uint8_t(UDateTime::DateToText(time + 1, 63, UDateTime::kTime));
    text[0] = uint8_t(UText::Format(text + 1, 255, "\xD1 reconnected at %#s \xD1", time));
    mWindows.AppendPublicChatNote(text);
    if (!resumed) return;
    // The online users and the news came with the login's own requests; what the user kept open is
    // brought up to date, and what the server forgot with the old connection says so.
    gApp->Features().FolderWins().ListAgain();
    static const char kChatEnded[] = "\xD1 The connection was lost; this chat cannot be resumed. \xD1";
    uint8_t line[256];
    UPString::SetBytes(line, reinterpret_cast<const uint8_t*>(kChatEnded), sizeof(kChatEnded) - 1);
    mWindows.EndPrivateChats(line);
}

void CMyConnection::ShowConnectionLost(uint32_t serial)
{
    uint8_t message[256];
    FormatMsgBoxMessage(message, kBoxConnectionLostReconnect);
    UNoticeBox::Show(kBoxConnectionLostReconnect, message + 1, message[0],
                     [this, serial](const void* text, uint32_t size)
                     {
                         if (MsgBoxWithText(kBoxConnectionLostReconnect, text, size) != 1) return;
                         // The connection ran while the box was up: a session begun meanwhile stays.
                         if (mSession.Serial() != serial || mSession.IsOpen()) return;
                         gApp->DisplayServerName(mSession.DisplayName());
                         new CMyConnectTask();
                     });
}

void CMyConnection::ReconnectAttempt()
{
    // The option is honoured also when it was switched off during the wait.
    if (!mSettings.reconnect)
    {
        mReconnect.Cancel();
        return;
    }
    gApp->DisplayServerName(mSession.DisplayName());
    new CMyConnectTask();
}

void CMyConnection::ShowReconnect()
{
    uint8_t text[256];
    mReconnect.StatusText(text);
    mWindows.ShowReconnect(
        text, [this] { ReconnectNow(); }, [this] { CancelReconnect(); });
    if (!mReconnect.IsActive())
    {
        if (mReconnectRow) std::exchange(mReconnectRow, nullptr)->Dismiss();
        // Given up (or never begun): the windows the lost session kept go as at any session end.
        mSession.EndPaused();
        return;
    }
    if (!mReconnectRow)
        mReconnectRow = new CMyReconnectTask([this] { ReconnectNow(); },
                                             [this]
                                             {
                                                 mReconnectRow = nullptr;
                                                 // The application going takes its tasks along.
                                                 if (gApp && &gApp->Features().Connection() == this)
                                                     CancelReconnect();
                                             });
    mReconnectRow->Show(text);
}

void CMyConnection::FirstConnect()
{
    if (mSession.IsOpen() || CWindow::IsModalRunning()) return;
    gApp->DoShowConnect();
}
