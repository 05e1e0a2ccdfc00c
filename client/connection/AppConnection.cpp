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

void CMyApplication::DoShowConnect()
{
    mConnection.ShowDialog();
}

void CMyApplication::DoShowConnect(const uint8_t* address)
{
    SMyConnectEntry start{};
    if (address) UPString::Copy(start.address, address);
    mConnection.RunDialog(start);
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
        UPString::Copy(displayName, CMyConnection::kMaxDisplayName + 1, mSession.Address().name);
    mSession.SetDisplayName(displayName);
    DisplayServerName(displayName);

    new CMyConnectTask();
    mChat.StartPublicChatFor(address, displayName);
}

void CMyApplication::DoGoURL(const void* text, uint32_t size)
{
    uint32_t start, length;
    if (!UTransport::_GetURLAddress(text, size, start, length)) return;
    uint8_t address[256];
    UPString::SetBytes(address, static_cast<const uint8_t*>(text) + start, length);
    if (!mConnection.MayConnectElsewhere(address, nullptr)) return;
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
    mDesktop.ShowConnected(false, nullptr);
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
    mDesktop.ShowConnected(true, mSession.DisplayName());
}

void CMyApplication::DoDisconnect()
{
    // Whoever ends the session on purpose (the user, a new connection, quitting, the server's own
    // disconnect message) also ends the waiting for a lost one.
    mConnection.Reconnect().Cancel();
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
    mConnection.Reconnect().AttemptEnded();
}

void CMyApplication::ProcessAll()
{
    bool closedByUs = false;
    if (mSession.IsLost(closedByUs))
    {
        const bool wasLoggedIn = mSession.IsLoggedIn();
        const bool wasAttempt = mConnection.Reconnect().IsAttempting();
        // An attempt that got through and lost the server again before the login waits for the next.
        if (wasAttempt && !closedByUs) mConnection.Reconnect().AttemptFailed();
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
                mConnection.StartReconnect();
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
                    const bool wasAttempt = mConnection.Reconnect().IsAttempting();
                    KillTasksAndDisconnect();
                    if (!wasAttempt && mSession.IsFromDialog())
                    {
                        const uint32_t serial = mSession.Serial();
                        UApplication::PostMessage(kMsgLoginRefused, &serial, sizeof serial);
                    }
                }
                else
                {
                    if (mConnection.Reconnect().IsAttempting() && dynamic_cast<CMyConnectTask*>(task))
                    {
                        attemptFailed = true;
                        mConnection.Reconnect().AttemptFailed();
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
            mConnection.Reconnect().Cancel();
            throw;
        }
        // The server is still out of reach: the countdown says so, where a box at every attempt would
        // pile up. The other tasks get their step on the next pass.
        return;
    }
    ProcessIncomingData();
    mTaskList.CheckForStalls();
}
