// The one server connection: starting it from an address, its states as the windows show them, and
// ending the session.
#include <algorithm>
#include <cstring>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/connection/CMyConnectTask.h"
#include "client/connection/CMyLoginTask.h"
#include "client/connection/CMyLoginWin.h"
#include "client/core/CMyTask.h"
#include "client/core/UMyBookmarkFile.h"
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
} // namespace

void CMyApplication::DoShowConnect()
{
    DoShowConnect(nullptr);
}

void CMyApplication::DoShowConnect(const uint8_t* address)
{
    // The menu's items stand for these files; a title may differ from its file's name in more than the
    // missing extension (its case), so the file is opened by the name it has.
    std::vector<SMyBookmarkItem> bookmarks;
    CMyLoginWin::SHooks hooks;
    hooks.fillBookmarks = [&](CMyLoginWin& win)
    {
        if (!BuildServerMenu(bookmarks)) return false;
        for (const SMyBookmarkItem& item : bookmarks)
            win.AddBookmark(item.title);
        return true;
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
    };
    SMyConnectEntry entry;
    if (!CMyLoginWin::Run(address, entry, &hooks)) return;
    mSession.SetLogin(entry.login, entry.password);
    // "0" is the short way to say this machine.
    static const uint8_t kLocalHost[] = "\x09"
                                        "127.0.0.1";
    const uint8_t* server = entry.address;
    if (server[0] == 1 && server[1] == '0') server = kLocalHost;
    DoConnect(server, entry.bookmarkName);
}

void CMyApplication::DoConnect(const uint8_t* address, const uint8_t* name)
{
    DoDisconnect();
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

void CMyApplication::DoGoURL(const void* text, uint32_t size)
{
    uint32_t start, length;
    if (!UTransport::_GetURLAddress(text, size, start, length)) return;
    uint8_t address[256];
    UPString::SetBytes(address, static_cast<const uint8_t*>(text) + start, length);
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
        // A connection the client closed itself, because the server broke the protocol, was not lost:
        // the protocol error is what the user is told.
        KillTasksAndDisconnect();
        if (!closedByUs && !wasAttempt)
        {
            const uint32_t serial = mSession.Serial();
            if (!wasLoggedIn)
                UApplication::PostMessage(kMsgConnectionLost);
            else if (mSettings.reconnect)
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
                // A session whose login failed cannot go on; any other failed task just goes.
                if (dynamic_cast<CMyLoginTask*>(task))
                    KillTasksAndDisconnect();
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
