#include "client/users/CMyUserTasks.h"

#include <algorithm>
#include <memory>

#include "client/app/CMyApplication.h"
#include "client/app/UMyLinks.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/MyWindowSizing.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr int16_t kIconClientInfo = 215;
constexpr int32_t kClientInfoWidth = 260;
constexpr int32_t kClientInfoMaxTextHeight = 250;

void AddAccess(TFieldDataObj* fields, const SMyUserAccess& access)
{
    UFieldData::AddField(fields, kFieldUserAccess, access.bytes, sizeof(access.bytes));
}

// A text window with what the server knows of a user's client, as tall as its text up to a limit.
void ShowClientInfo(const uint8_t* title, THdlObj* text)
{
    auto win = std::make_unique<CMyTextWin>();
    win->SetIcon(kIconClientInfo);
    win->SetTitle(title);
    UMyLinks::Attach(win->GetTextView());
    win->SetTextHandle(text);
    const int32_t textHeight = win->GetTextView()->GetFullHeight(kClientInfoWidth);
    SetWindowBounds(win.get(),
                    SRect{0, 0, kClientInfoWidth, std::min(textHeight, kClientInfoMaxTextHeight) + 20});
    win->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    win->Show();
    // Closing it destroys it (the application's rule for text windows other than the news).
    win.release();
}
} // namespace

CMyGetOnlineUsersTask::CMyGetOnlineUsersTask() : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Transferring list of online users...");
    SendRequest(kTranGetOnlineUsers);
}

void CMyGetOnlineUsersTask::Process()
{
    ShowReplyProgress();
    if (!TakeCheckedReply()) return;
    gApp->SetOnlineUsers(mFieldData);
    Finish();
}

CMyNewUserTask::CMyNewUserTask(const uint8_t* name, const uint8_t* login, const uint8_t* pass,
                               const SMyUserAccess& access)
    : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Creating user \xD2%#s\xD3", login);
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserLogin, login);
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserPassword, pass);
    UFieldData::AddPString(mFieldData, kFieldUserName, name);
    AddAccess(mFieldData, access);
    SendRequest(kTranNewUser);
    SetProgress(1, 2);
}

void CMyNewUserTask::Process()
{
    if (TakeCheckedReply()) FinishRequest();
}

CMyDeleteUserTask::CMyDeleteUserTask(const uint8_t* login) : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Deleting user \xD2%#s\xD3", login);
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserLogin, login);
    SendRequest(kTranDeleteUser);
    SetProgress(1, 2);
}

void CMyDeleteUserTask::Process()
{
    if (TakeCheckedReply()) FinishRequest();
}

CMySetUserTask::CMySetUserTask(const uint8_t* name, const uint8_t* login, const uint8_t* pass,
                               const SMyUserAccess& access)
    : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Modifying user \xD2%#s\xD3", login);
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserLogin, login);
    if (UPString::Equal(pass, kUnchangedPassword))
        UFieldData::AddPString(mFieldData, kFieldUserPassword, pass);
    else
        UFieldRecords::AddComplementedPString(mFieldData, kFieldUserPassword, pass);
    UFieldData::AddPString(mFieldData, kFieldUserName, name);
    AddAccess(mFieldData, access);
    SendRequest(kTranSetUser);
    SetProgress(1, 2);
}

void CMySetUserTask::Process()
{
    if (TakeCheckedReply()) FinishRequest();
}

CMyOpenUserTask::CMyOpenUserTask(const uint8_t* login) : CMyTransactTask(nullptr)
{
    UPString::Copy(mLogin, login);
    SetRowText(0, 10, "Opening user \xD2%#s\xD3", login);
    UFieldData::AddPString(mFieldData, kFieldUserLogin, login);
    SendRequest(kTranOpenUser);
}

void CMyOpenUserTask::Process()
{
    ShowReplyProgress();
    if (!TakeCheckedReply()) return;
    gApp->ShowEditUserWin(mFieldData, mLogin);
    Finish();
}

CMyDisconnectUserTask::CMyDisconnectUserTask(uint16_t id, const uint8_t* name, bool ban)
    : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Disconnect user \xD2%#s\xD3", name);
    UFieldData::AddInteger(mFieldData, kFieldUserID, id);
    if (ban) UFieldData::AddInteger(mFieldData, kFieldOptions, 1);
    SendRequest(kTranDisconnectUser);
    SetProgress(1, 2);
}

void CMyDisconnectUserTask::Process()
{
    if (TakeCheckedReply()) FinishRequest();
}

CMyGetClientInfoTask::CMyGetClientInfoTask(uint16_t id, const uint8_t* name) : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Get info for \xD2%#s\xD3", name);
    UFieldData::AddInteger(mFieldData, kFieldUserID, id);
    SendRequest(kTranGetClientInfo);
    SetProgress(1, 2);
}

void CMyGetClientInfoTask::Process()
{
    if (!TakeCheckedReply()) return;
    uint8_t title[32];
    UFieldData::GetPString(mFieldData, kFieldUserName, title, sizeof(title));
    if (title[0] == 0)
    {
        static const uint8_t kUnnamed[] = "\x0CUnnamed User";
        UMemory::Copy(title, kUnnamed, sizeof(kUnnamed) - 1);
    }
    const uint32_t size = UFieldData::GetFieldSize(mFieldData, kFieldData);
    StHandle text(UMemory::NewHandle(size));
    {
        StHandleLocker lock(text.Get());
        UFieldData::GetField(mFieldData, kFieldData, lock.Data(), size);
    }
    ShowClientInfo(title, text.Get());
    FinishRequest();
}
