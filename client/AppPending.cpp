// Commands whose part of the client is not built yet. Each one moves to its own file, with its
// behaviour, when that part arrives; until then the tables can reach them and nothing happens.
#include "client/CMyApplication.h"
#include "framework/runtime/UMemory.h"

void CMyApplication::DoShowConnect() {}
void CMyApplication::DoShowPublicFiles() {}
void CMyApplication::DoBringFrontPrivMsg() {}
void CMyApplication::DoSecret() {}
void CMyApplication::DoFileOpenParent(CWindow*, uint16_t) {}
void CMyApplication::DoPostNewsWin() {}
void CMyApplication::DoNewUser() {}
void CMyApplication::DoOpenUser() {}
void CMyApplication::DoOptions() {}
void CMyApplication::DoDisconnect() {}
void CMyApplication::KillTasksAndDisconnect() {}
void CMyApplication::DoChatSend(bool) {}
void CMyApplication::ClearPublicChat() {}
void CMyApplication::DoOpenPrivateChat() {}
void CMyApplication::DoStopTask() {}
void CMyApplication::DoStartTask() {}
bool CMyApplication::GetSelectedUser(uint16_t&, uint8_t*)
{
    return false;
}
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
void CMyApplication::DoGoURL(const void*, uint32_t) {}
void CMyApplication::DoShowAgreement(THdlObj* text)
{
    UMemory::Dispose(text);
}
void CMyApplication::ProcessAll() {}
void CMyApplication::KillFinishedTasks() {}
void CMyApplication::OpenBookmark(TFileSysRefObj*) {}
bool CMyApplication::TrackerWindowHit(CWindow*, const SHitMsgData&)
{
    return false;
}
