// The one server connection: starting it from an address, its states as the windows show them, and
// ending the session.
#include <algorithm>
#include <cstring>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/connection/CMyConnectTask.h"
#include "client/connection/CMyLoginTask.h"
#include "client/connection/CMyLoginWin.h"
#include "client/prefs/UMyBookmarkFile.h"
#include "client/tasks/CMyTask.h"
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
constexpr uint16_t kDefaultServerPort = 5500;
constexpr uint8_t kMaxDisplayName = 63;
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
            DoSaveBookmark(server, login, password);
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
        uint8_t server[256], login[sizeof(mUserLogin)], password[sizeof(mUserPassword)];
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
    if (CMyLoginWin::Run(address, entry, &hooks))
        DoConnectFromDialog(entry.address, entry.login, entry.password, entry.bookmarkName);
}

void CMyApplication::DoConnectFromDialog(const uint8_t* address, const uint8_t* login,
                                         const uint8_t* password, const uint8_t* bookmarkName)
{
    UPString::Copy(mUserLogin, login);
    UPString::Copy(mUserPassword, password);
    // "0" is the short way to say this machine.
    static const uint8_t kLocalHost[] = "\x09"
                                        "127.0.0.1";
    if (address && address[0] == 1 && address[1] == '0') address = kLocalHost;
    DoConnect(address, bookmarkName);
}

void CMyApplication::DoConnect(const uint8_t* address, const uint8_t* name)
{
    DoDisconnect();

    const uint8_t* text = address ? address + 1 : nullptr;
    uint32_t size = address ? address[0] : 0;
    static const char kPrefix[] = "quenvol://";
    constexpr uint32_t kPrefixSize = sizeof(kPrefix) - 1;
    if (const void* found = UMemory::Search(kPrefix, kPrefixSize, text, size))
    {
        const auto* host = static_cast<const uint8_t*>(found) + kPrefixSize;
        size -= uint32_t(host - text);
        text = host;
        // What follows the host in a URL ("/" and beyond) is no part of the address.
        if (const void* slash = UMemory::SearchByte('/', text, size))
            size = uint32_t(static_cast<const uint8_t*>(slash) - text);
    }
    mAddress.type = kInternetNameAddressType;
    UPString::SetBytes(mAddress.name, text, size);
    mBasePortNum = UTransport::GetPortFromAddressText(kInternetNameAddressType, text, size);
    if (mBasePortNum == 0) mBasePortNum = kDefaultServerPort;
    mAddress.port = uint16_t(mBasePortNum);

    uint8_t displayName[256];
    if (name && name[0])
        UPString::Copy(displayName, name);
    else
        UPString::Copy(displayName, kMaxDisplayName + 1, mAddress.name);
    DisplayServerName(displayName);

    new CMyConnectTask();
    ClearPublicChat();
}

void CMyApplication::DoGoURL(const void* text, uint32_t size)
{
    uint32_t start, length;
    if (!UTransport::_GetURLAddress(text, size, start, length)) return;
    uint8_t address[256];
    UPString::SetBytes(address, static_cast<const uint8_t*>(text) + start, length);
    mUserLogin[0] = 0;
    mUserPassword[0] = 0;
    DoConnect(address, nullptr);
}

TTransactObj* CMyApplication::MakeTransactor()
{
    DisposeTransactor();
    mTpt = UTransact::New(1, 0);
    UTransact::SetMessageHandler(mTpt, CApplication::MessageHandler, this);
    UTransact::SetVersion(mTpt, FourCC("QUEN"), 2);
    return mTpt;
}

void CMyApplication::DisposeTransactor()
{
    UTransact::Dispose(mTpt);
    mTpt = nullptr;
    mIsConnected = 0;
}

void CMyApplication::StartTransactorConnect()
{
    const uint32_t size = uint32_t(mAddress.name[0]) + 5;
    if (mFirewallAddress.name[0] == 0)
        UTransact::StartConnect(mTpt, &mAddress, size);
    else
        UTransact::StartConnectThruFirewall(mTpt, &mAddress, size, &mFirewallAddress,
                                            uint32_t(mFirewallAddress.name[0]) + 5);
}

void CMyApplication::ShowNotConnected()
{
    mMyAccess.SetAll();
    UpdateAccessCommands();
    SetToolbarLook(kLookNotConnected);
    DisplayServerName(nullptr);
}

void CMyApplication::ShowConnecting()
{
    SetToolbarLook(kLookConnecting);
}

void CMyApplication::ShowConnected()
{
    SetToolbarLook(kLookConnected);
    mIsConnected = 1;
    mConnectStartSecs = UDateTime::GetSeconds();
}

void CMyApplication::DoDisconnect()
{
    if (mIsConnected || mTpt) KillTasksAndDisconnect();
}

void CMyApplication::KillTasksAndDisconnect()
{
    // Tracker queries do not need the server and keep running.
    uint32_t i = 1;
    while (CMyTask* task = mTaskList.GetItem(i))
    {
        if (task->mIsStandAlone)
            ++i;
        else
            delete task; // it leaves the list, so position i now holds the next one
    }
    if (mTpt)
    {
        UTransact::Disconnect(mTpt);
        UTransact::Dispose(mTpt);
        mTpt = nullptr;
    }
    mIsConnected = 0;
    // An agreement still waiting to be shown was the ended session's.
    UMemory::Dispose(mAgreementText);
    mAgreementText = nullptr;
    ShowNotConnected();
    ClearOnlineUsers();
    CloseSessionWindows();
    if (mConnectStartSecs)
    {
        mTotalSecsOnline += UDateTime::GetSeconds() - mConnectStartSecs;
        mConnectStartSecs = 0;
    }
}

void CMyApplication::AddOnlineTime()
{
    if (!mIsConnected || !mConnectStartSecs) return;
    const uint32_t now = UDateTime::GetSeconds();
    mTotalSecsOnline += now - mConnectStartSecs;
    mConnectStartSecs = now;
}

void CMyApplication::ProcessAll()
{
    if (mIsConnected && mTpt && !UTransact::IsConnected(mTpt))
    {
        // A connection the client closed itself, because the server broke the protocol, was not lost:
        // the protocol error is what the user is told.
        const bool closedByUs = UTransact::IsReceiveFailed(mTpt);
        KillTasksAndDisconnect();
        if (!closedByUs) UApplication::PostMessage(kMsgConnectionLost);
    }
    CMyTask::NotePassStarting();
    // The count is read afresh at every position: tasks created during the pass (the connect task
    // creates three) get their step in the same pass.
    for (uint32_t i = 1; i <= mTaskList.GetItemCount(); ++i)
    {
        CMyTask* task = mTaskList.GetItem(i);
        if (task->mIsFinished) continue;
        try
        {
            task->Process();
        }
        catch (...)
        {
            // A session whose login failed cannot go on; any other failed task just goes. Removing a
            // task schedules another pass for the tasks after it.
            if (dynamic_cast<CMyLoginTask*>(task))
                KillTasksAndDisconnect();
            else
                delete task;
            throw;
        }
    }
    ProcessIncomingData();
    CMyTask::CheckAfterPass(mTaskList);
}
