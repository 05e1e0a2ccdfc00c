// Where replies and session changes reach windows. The application keeps what the windows show (the
// tests read it there), and passes it on to each window that exists.
#include "client/app/CMyApplication.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/connection/CMyAgreementWin.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/UMemory.h"

void CMyApplication::SetToolbarLook(uint16_t look)
{
    mToolbarLook = look;
    static_assert(int(kLookNotConnected) == int(kToolbarNotConnected) &&
                  int(kLookConnected) == int(kToolbarConnected));
    if (mToolsWin) mToolsWin->SetLook(look);
}

void CMyApplication::UpdateAccessCommands()
{
    if (mToolsWin) mToolsWin->SetAccess(mMyAccess);
    if (mConnectedUsersWin) mConnectedUsersWin->SetAccess(mMyAccess);
    for (CMyFolderWin* folder : mFolderWinList)
        folder->SetAccess(mMyAccess);
}

void CMyApplication::ApplyWindowTitles()
{
    if (mChatWin) mChatWin->SetTitle(mChatTitle);
    if (mTasksWin) mTasksWin->SetTitle(mTasksTitle);
    if (mNewsWin) mNewsWin->SetTitle(mNewsTitle);
}

void CMyApplication::SetNewsText(THdlObj* text)
{
    UMemory::Dispose(mNewsText);
    mNewsText = text;
    if (mNewsWin) mNewsWin->SetTextHandle(text);
}

void CMyApplication::SetOnlineUsers(TFieldDataObj* fields)
{
    mOnlineUsers.clear();
    const uint32_t count = UFieldData::GetFieldCount(fields);
    for (uint32_t i = 1; i <= count; ++i)
    {
        if (UFieldData::GetFieldID(fields, i) != kFieldUserEntry) continue;
        uint8_t record[UFieldRecords::kMaxUserEntryRead];
        const uint32_t size = UFieldData::GetFieldByIndex(fields, i, record, sizeof(record));
        SUserEntry user;
        if (UFieldRecords::ReadUserEntry(record, size, user)) mOnlineUsers.push_back(user);
    }
    if (mConnectedUsersWin) mConnectedUsersWin->View()->SetUsersFromFields(fields);
}

void CMyApplication::ClearOnlineUsers()
{
    mOnlineUsers.clear();
    if (mConnectedUsersWin) mConnectedUsersWin->View()->DeleteAll();
}

void CMyApplication::CloseSessionWindows()
{
    DoCloseAllFileWindows();
}

void CMyApplication::ShowClientInfo(const uint8_t*, THdlObj* text)
{
    UMemory::Dispose(text);
}

void CMyApplication::ShowFileInfo(const uint8_t*, const uint8_t*, const uint8_t*, int16_t, void* pathData,
                                  uint32_t)
{
    UMemory::Dispose(pathData);
}

void CMyApplication::ShowEditUserWin(TFieldDataObj*) {}

void CMyApplication::OpenPrivateChatFromReply(uint32_t, const SUserEntry&) {}

bool CMyApplication::FillFolderList(const void* path, uint32_t pathSize, TFieldDataObj* fields)
{
    // A window closed while its listing was on the way is simply not filled.
    for (CMyFolderWin* folder : mFolderWinList)
    {
        if (!folder->IsPathEqual(path, pathSize)) continue;
        folder->View()->DeleteAll();
        folder->View()->AddListFromFields(fields);
        return true;
    }
    return false;
}

bool CMyApplication::HasPrivateChat(uint32_t)
{
    return false;
}

void CMyApplication::DestroyPrivateChat(uint32_t) {}

void CMyApplication::FillPrivateChat(uint32_t, const uint8_t*, TFieldDataObj*) {}

void CMyApplication::ClearPublicChat()
{
    if (mChatWin) mChatWin->ClearChat();
}

bool CMyApplication::GetSelectedUser(uint16_t& outUserID, uint8_t* outUserName)
{
    if (!mConnectedUsersWin) return false;
    outUserID = mConnectedUsersWin->View()->GetSelectedUserID(outUserName);
    return outUserID != 0;
}

void CMyApplication::DoShowAgreement(THdlObj* text)
{
    const bool agreed = CMyAgreementWin::Run(text);
    UMemory::Dispose(text);
    if (!agreed && (mIsConnected || mTpt)) KillTasksAndDisconnect();
}
