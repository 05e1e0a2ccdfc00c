// The online users window's list and the access the server grants, as the session changes them.
#include "client/app/CMyApplication.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/UMemory.h"

void CMyApplication::SetOnlineUsers(TFieldDataObj* fields)
{
    if (mConnectedUsersWin) mConnectedUsersWin->View()->SetUsersFromFields(fields);
}

void CMyApplication::ClearOnlineUsers()
{
    if (mConnectedUsersWin) mConnectedUsersWin->View()->DeleteAll();
}

bool CMyApplication::GetSelectedUser(uint16_t& outUserID, uint8_t* outUserName)
{
    if (!mConnectedUsersWin) return false;
    outUserID = mConnectedUsersWin->View()->GetSelectedUserID(outUserName);
    return outUserID != 0;
}

void CMyApplication::ShowClientInfo(const uint8_t*, THdlObj* text)
{
    UMemory::Dispose(text);
}

void CMyApplication::ShowEditUserWin(TFieldDataObj*) {}

void CMyApplication::ProcessTran_UserAccess(TFieldDataObj* fields)
{
    // A short field leaves the bits it does not carry cleared rather than stale.
    SMyUserAccess access{};
    UFieldData::GetField(fields, kFieldUserAccess, access.bytes, sizeof(access.bytes));
    mMyAccess = access;
    UpdateAccessCommands();
}
