// The online users window's list and the access the server grants, as the session changes them; the
// commands on a selected user; the administration of accounts.
#include <algorithm>
#include <memory>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "client/users/CMyEditUserWin.h"
#include "client/users/CMyOpenUserWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/users/CMyUserTasks.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/UMath.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

namespace
{
enum : int16_t
{
    kBoxEmptyLogin = 135,
    kBoxConfirmDeleteUser = 144,
    kBoxConfirmBanUser = 149,
    kIconEditUser = 414,
};

constexpr char kPasswordAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr uint32_t kNewPasswordLength = 20;

// A user of a 301 notice: id, icon and flags as integers, the name cut as the users list keeps it.
SUserEntry ReadUserNotice(TFieldDataObj* fields)
{
    SUserEntry user{};
    user.id = uint16_t(UFieldData::GetInteger(fields, kFieldUserID));
    user.iconID = int16_t(UFieldData::GetInteger(fields, kFieldUserIconID));
    user.flags = uint16_t(UFieldData::GetInteger(fields, kFieldUserFlags));
    UFieldData::GetPString(fields, kFieldUserName, user.name, sizeof(user.name));
    return user;
}
} // namespace

void CMyApplication::SetOnlineUsers(TFieldDataObj* fields)
{
    if (CMyUserListWin* users = mWindows.Users()) users->View()->SetUsersFromFields(fields);
    // From now on users who come and go are news; those of the list itself were there already.
    mChat.SetUserListArrived(mSession.Serial());
}

void CMyApplication::ProcessTran_NotifyChangeUser(TFieldDataObj* fields)
{
    CMyUserListWin* users = mWindows.Users();
    if (!users) return;
    SUserEntry user = ReadUserNotice(fields);
    // Id 0 stands for the server itself and would be a row that no command can address.
    if (user.id == 0) return;
    // Icon 0 means the default icon here as in the list of the server.
    if (user.iconID == 0) user.iconID = CMyUserListView::kDefaultUserIcon;
    CMyUserListView* list = users->View();
    const bool wasAtBottom = list->IsScrolledToBottom();
    uint8_t oldName[64];
    if (list->UpdateUser(user.id, user.iconID, user.flags, user.name + 1, user.name[0], &oldName))
    {
        // Both names are cut to what a row keeps, so the chats can tell a rename from a long name
        // whose icon or flags changed.
        static_assert(sizeof(oldName) == sizeof(user.name));
        ShowUserChangeInChats(user, oldName);
        return;
    }
    list->AddUser(user.id, user.iconID, user.flags, user.name + 1, user.name[0]);
    USound::PlayEvent(kSoundJoin, mSettings.sound.join);
    if (wasAtBottom) list->ScrollToBottom();
    ShowUserChangeInChats(user, nullptr);
}

void CMyApplication::ProcessTran_NotifyDeleteUser(TFieldDataObj* fields)
{
    CMyUserListWin* users = mWindows.Users();
    if (!users) return;
    const uint16_t id = uint16_t(UFieldData::GetInteger(fields, kFieldUserID));
    uint8_t name[64];
    if (!id || !users->View()->DeleteUserByID(id, name)) return;
    USound::PlayEvent(kSoundLeave, mSettings.sound.leave);
    mChat.ShowUserLeft(name);
}

void CMyApplication::ProcessTran_UserAccess(TFieldDataObj* fields)
{
    // A short field leaves the bits it does not carry cleared rather than stale.
    SMyUserAccess access{};
    UFieldData::GetField(fields, kFieldUserAccess, access.bytes, sizeof(access.bytes));
    mSession.SetAccess(access);
    mWindows.SetAccess(access);
    mFolderWins.SetAccess(access);
}

void CMyApplication::DoDisconnectUser(uint16_t mods)
{
    uint16_t id;
    uint8_t name[32];
    if (!mSession.IsConnected() || !mWindows.SelectedUser(id, name)) return;
    const bool ban = (mods & kModAlt) != 0;
    if (ban)
    {
        const uint32_t session = mSession.Serial();
        if (MsgBox(kBoxConfirmBanUser, name) != 1) return;
        // The question ran a modal loop, in which the session may have ended.
        if (!mSession.IsCurrent(session)) return;
    }
    new CMyDisconnectUserTask(id, name, ban);
}

void CMyApplication::DoGetClientInfo()
{
    uint16_t id;
    uint8_t name[32];
    if (!mSession.IsConnected() || !mWindows.SelectedUser(id, name)) return;
    new CMyGetClientInfoTask(id, name);
}

void CMyApplication::DoNewUser()
{
    if (!mSession.IsConnected()) return;
    char chosen[kNewPasswordLength];
    for (char& c : chosen)
        c = kPasswordAlphabet[UMath::GetRandom(1, 62) - 1];
    uint8_t password[kNewPasswordLength + 1];
    UPString::SetBytes(password, chosen, kNewPasswordLength);
    auto win = std::make_unique<CMyEditUserWin>(true);
    win->SetIcon(kIconEditUser);
    win->SetTitle("New User", 8);
    win->SetAccess(CMyEditUserWin::kNewAccountAccess);
    win->SetInfo(nullptr, nullptr, password);
    win->SetAutoBounds(kPlaceCenterScreen, kPlaceMainScreen);
    win->Show();
    win.release(); // the session's windows are destroyed with it
}

void CMyApplication::DoOpenUser()
{
    if (!mSession.IsConnected()) return;
    uint8_t login[32];
    CMyOpenUserWin win;
    if (!win.Run(login)) return;
    // The dialog ran a modal loop, in which the session may have ended or another begun.
    if (!win.IsSessionCurrent()) return;
    new CMyOpenUserTask(login);
}

void CMyApplication::ShowEditUserWin(TFieldDataObj* fields, const uint8_t* requestedLogin)
{
    uint8_t name[64], login[64];
    UFieldData::GetPString(fields, kFieldUserName, name, sizeof(name));
    UFieldRecords::GetComplementedPString(fields, kFieldUserLogin, login, sizeof(login));
    // An answer that names no login is the account that was asked for; without a login the window could
    // neither save nor delete it.
    if (login[0] == 0 && requestedLogin) UPString::Copy(login, requestedLogin);
    SMyUserAccess access{};
    UFieldData::GetField(fields, kFieldUserAccess, access.bytes, sizeof(access.bytes));
    auto win = std::make_unique<CMyEditUserWin>(false);
    win->SetIcon(kIconEditUser);
    win->SetInfo(name, login, nullptr);
    // The stored password is never shown, only that there is one.
    if (UFieldData::GetFieldSize(fields, kFieldUserPassword) != 0) win->SetPasswordKept();
    win->SetAccess(access);
    win->SetAutoBounds(kPlaceCenterScreen, kPlaceMainScreen);
    win->Show();
    win.release();
}

void CMyApplication::DoSaveEditUser(CWindow* window)
{
    auto* win = dynamic_cast<CMyEditUserWin*>(window);
    if (!win) return;
    uint8_t name[64], login[64], password[64];
    win->GetInfo(name, login, password);
    if (login[0] == 0)
    {
        MsgBox(kBoxEmptyLogin);
        return;
    }
    // Decided by whether the user typed in the field, never by what the field holds.
    if (win->IsPasswordKept()) UPString::Copy(password, kUnchangedPassword);
    SMyUserAccess access;
    win->GetAccess(access);
    if (win->IsSessionCurrent() && mSession.IsOpen())
    {
        if (win->IsNewAccount())
            new CMyNewUserTask(name, login, password, access);
        else
            new CMySetUserTask(name, login, password, access);
    }
    delete win;
}

void CMyApplication::DoCancelEditUser(CWindow* window)
{
    delete dynamic_cast<CMyEditUserWin*>(window);
}

void CMyApplication::DoDeleteEditUser(CWindow* window)
{
    auto* win = dynamic_cast<CMyEditUserWin*>(window);
    if (!win || win->IsNewAccount()) return;
    uint8_t login[64];
    win->GetInfo(nullptr, login, nullptr);
    if (login[0] == 0) return;
    const uint32_t session = mSession.Serial();
    if (MsgBox(kBoxConfirmDeleteUser, login) != 1) return;
    // The question ran a modal loop: the session, and the window with it, may be gone.
    if (!mSession.IsCurrent(session) || !CMySessionWin::IsOpen(win)) return;
    new CMyDeleteUserTask(login);
    delete win;
}
