// Coming back by itself after the connection was lost: the attempts reuse the session's address,
// firewall, login and name, and while they go on the main window's status line (the toolbar window's
// title in the separate layout) and a row in the tasks window say when the next one comes. The row's Start
// tries at once, its Stop gives up.
#include <utility>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/UNoticeBox.h"
#include "client/connection/CMyConnectTask.h"
#include "client/connection/CMyReconnectTask.h"
#include "client/core/UMyRecentServers.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"

void CMyApplication::StartReconnect()
{
    mReconnect.Start();
    // One line in the chat marks where the conversation broke off; the countdown itself lives in the
    // status line (or the toolbar window's title) and the tasks window.
    uint8_t text[256];
    mReconnect.StatusText(text);
    mWindows.AppendPublicChatNote(text);
}

void CMyApplication::DoReconnectNow()
{
    mReconnect.Now();
}

void CMyApplication::DoCancelReconnect()
{
    mReconnect.Cancel();
}

void CMyApplication::SessionLoggedIn()
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
    mFolderWins.ListAgain();
    static const char kChatEnded[] = "\xD1 The connection was lost; this chat cannot be resumed. \xD1";
    uint8_t line[256];
    UPString::SetBytes(line, reinterpret_cast<const uint8_t*>(kChatEnded), sizeof(kChatEnded) - 1);
    mWindows.EndPrivateChats(line);
}

void CMyApplication::ShowConnectionLost(uint32_t serial)
{
    uint8_t message[256];
    FormatMsgBoxMessage(message, kBoxConnectionLostReconnect);
    UNoticeBox::Show(kBoxConnectionLostReconnect, message + 1, message[0],
                     [this, serial](const void* text, uint32_t size)
                     {
                         if (MsgBoxWithText(kBoxConnectionLostReconnect, text, size) != 1) return;
                         // The connection ran while the box was up: a session begun meanwhile stays.
                         if (mSession.Serial() != serial || mSession.IsOpen()) return;
                         DisplayServerName(mSession.DisplayName());
                         new CMyConnectTask();
                     });
}

void CMyApplication::ReconnectAttempt()
{
    // The option is honoured also when it was switched off during the wait.
    if (!mSettings.reconnect)
    {
        mReconnect.Cancel();
        return;
    }
    DisplayServerName(mSession.DisplayName());
    new CMyConnectTask();
}

void CMyApplication::ShowReconnect()
{
    uint8_t text[256];
    mReconnect.StatusText(text);
    mWindows.ShowReconnect(
        text, [this] { DoReconnectNow(); }, [this] { DoCancelReconnect(); });
    if (!mReconnect.IsActive())
    {
        if (mReconnectRow) std::exchange(mReconnectRow, nullptr)->Dismiss();
        // Given up (or never begun): the windows the lost session kept go as at any session end.
        mSession.EndPaused();
        return;
    }
    if (!mReconnectRow)
        mReconnectRow = new CMyReconnectTask([this] { DoReconnectNow(); },
                                             [this]
                                             {
                                                 mReconnectRow = nullptr;
                                                 // The application going takes its tasks along.
                                                 if (gApp == this) DoCancelReconnect();
                                             });
    mReconnectRow->Show(text);
}
