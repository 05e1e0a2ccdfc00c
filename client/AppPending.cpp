// Commands whose part of the client is not built yet. Each one moves to its own file, with its
// behaviour, when that part arrives; until then the tables can reach them and nothing happens.
#include "client/app/CMyApplication.h"
#include "framework/runtime/UMemory.h"

void CMyApplication::DoShowPublicFiles() {}
void CMyApplication::DoBringFrontPrivMsg() {}
void CMyApplication::DoSecret() {}
void CMyApplication::DoFileOpenParent(CWindow*, uint16_t) {}
void CMyApplication::DoPostNewsWin() {}
void CMyApplication::DoNewUser() {}
void CMyApplication::DoOpenUser() {}
void CMyApplication::DoOptions() {}
void CMyApplication::DoChatSend(bool) {}
void CMyApplication::DoOpenPrivateChat() {}
// Only transfers can be started by hand; they arrive with file transfers.
void CMyApplication::DoStartTask() {}
void CMyApplication::DoSendPrivMsg(uint16_t, const uint8_t*) {}
void CMyApplication::DoSaveEditUser(CWindow*) {}
void CMyApplication::DoCancelEditUser(CWindow*) {}
void CMyApplication::DoDeleteEditUser(CWindow*) {}
void CMyApplication::DoDisconnectUser(uint16_t) {}
void CMyApplication::DoReplyPrivMsg(CWindow*) {}
void CMyApplication::DoGetClientInfo() {}
void CMyApplication::DoConnectToTracked(bool) {}
void CMyApplication::DoPrivChatSend(CWindow*, bool) {}
void CMyApplication::DoAcceptChatInvite(CWindow*) {}
void CMyApplication::DoRejectChatInvite(CWindow*) {}
void CMyApplication::DoInviteToPrivateChat(CWindow*, const SHitMsgData&) {}
void CMyApplication::DoPrivChatUserHit(CWindow*) {}
void CMyApplication::DoSetChatSubject(CWindow*) {}
void CMyApplication::DoBroadcastWin() {}
void CMyApplication::DoFilePreview(CWindow*) {}
void CMyApplication::DoFileDownload(CWindow*, uint16_t) {}
void CMyApplication::DoFileUpload(CWindow*, uint16_t) {}
void CMyApplication::DoFileDelete(CWindow*) {}
void CMyApplication::DoFileRefresh(CWindow*) {}
void CMyApplication::DoFileUploadFromDrop(CWindow*, const SHitMsgData&) {}
void CMyApplication::DoFileMoveFromDrop(CWindow*, const SHitMsgData&) {}
void CMyApplication::DoFileDoubleClick(CWindow*, uint16_t) {}
void CMyApplication::DoFileNewFolder(CWindow*) {}
void CMyApplication::DoFileGetInfo(CWindow*) {}
void CMyApplication::DoFileSaveInfo(CWindow*) {}
void CMyApplication::DoFileInfoEdited(CWindow*) {}
void CMyApplication::DoClosePrivateChat(CWindow*) {}
void CMyApplication::OpenBookmark(TFileSysRefObj*) {}
bool CMyApplication::TrackerWindowHit(CWindow*, const SHitMsgData&)
{
    return false;
}

// Transactions of chat, users and news that the server starts.
void CMyApplication::ProcessTran_NewMsg(TFieldDataObj*) {}
void CMyApplication::ProcessTran_ChatMsg(TFieldDataObj*) {}
void CMyApplication::ProcessTran_InviteToChat(TFieldDataObj*) {}
void CMyApplication::ProcessTran_NotifyChatChangeUser(TFieldDataObj*) {}
void CMyApplication::ProcessTran_NotifyChatDeleteUser(TFieldDataObj*) {}
void CMyApplication::ProcessTran_NotifyChatSubject(TFieldDataObj*) {}
void CMyApplication::ProcessTran_NotifyChangeUser(TFieldDataObj*) {}
void CMyApplication::ProcessTran_NotifyDeleteUser(TFieldDataObj*) {}
void CMyApplication::ProcessTran_UserBroadcast(TFieldDataObj*) {}
void CMyApplication::DoShowMessage(TFieldDataObj*, bool) {}
