#include "client/users/CMyUserTasks.h"

#include "client/app/CMyApplication.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

namespace
{
void AddAccess(TFieldDataObj* fields, const SMyUserAccess& access)
{
    UFieldData::AddField(fields, kFieldUserAccess, access.bytes, sizeof(access.bytes));
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
    gApp->SetTaskProgress(this, 1, 2, nullptr);
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
    gApp->SetTaskProgress(this, 1, 2, nullptr);
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
    gApp->SetTaskProgress(this, 1, 2, nullptr);
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
    gApp->SetTaskProgress(this, 1, 2, nullptr);
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
    gApp->SetTaskProgress(this, 1, 2, nullptr);
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
    gApp->ShowClientInfo(title, text.Release());
    FinishRequest();
}
