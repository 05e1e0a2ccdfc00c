// Window hits: offered to the tracker controller first; a toolbar button's hit runs its command from the
// command table, and the hits that are no commands are taken here.
#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/UMyCommands.h"
#include "client/chat/CMyChatWin.h"
#include "client/core/UMyFileDrop.h"
#include "client/files/CMyFileInfoWin.h"
#include "client/tracker/CMyTracker.h"
#include "client/transfers/CMyTransferQueue.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UMemory.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/SHitMsgData.h"

void CMyApplication::WindowHit(CWindow* window, const SHitMsgData& hit)
{
    // The tracker controller sees every hit first.
    if (mFeatures.Tracker() && mFeatures.Tracker()->WindowHit(window, hit)) return;
    if (const SMyCommand* command = UMyCommands::FindButton(hit.id))
    {
        UMyCommands::Run(*this, *command, SMyCommandCall{window, hit.mods});
        return;
    }

    switch (hit.id)
    {
    case kHitChatSend:
        if (hit.part == 1 || hit.part == 2) DoChatSend(hit.part == 2);
        break;
    case kHitOpenPrivateChat:
        DoOpenPrivateChat();
        break;
    case kHitStopTask:
        DoStopTask();
        break;
    case kHitSendPrivMsg:
    case kHitSendPrivMsg2:
    {
        uint16_t userID;
        uint8_t userName[64];
        if (mWindows.SelectedUser(userID, userName)) DoSendPrivMsg(userID, userName);
        break;
    }
    case kHitSaveEditUser:
        DoSaveEditUser(window);
        break;
    case kHitCancelEditUser:
        DoCancelEditUser(window);
        break;
    case kHitDeleteEditUser:
        DoDeleteEditUser(window);
        break;
    case kHitDisconnectUser:
        DoDisconnectUser(hit.mods);
        break;
    case kHitDismissMsg:
        delete window;
        break;
    case kHitReplyPrivMsg:
        DoReplyPrivMsg(window);
        break;
    case kHitGetClientInfo:
        DoGetClientInfo();
        break;
    case kHitConnectToTracked:
    case kHitConnectToTracked2:
        DoConnectToTracked((hit.mods & kModAlt) != 0);
        break;
    case kHitStartTask:
        DoStartTask();
        break;
    case kHitRemoveTask:
        mTransfers->RemoveSelected(mTaskList);
        break;
    case kHitOpenTaskItem:
        mTaskList.OpenSelectedItem();
        break;
    case kHitShowTaskInFolder:
        mTaskList.ShowSelectedInFolder();
        break;
    case kHitClearFinishedTasks:
        mTaskList.ClearFinishedRows();
        break;
    case kHitPrivChatSend:
        if (hit.part == 1 || hit.part == 2) DoPrivChatSend(window, hit.part == 2);
        break;
    case kHitAcceptChatInvite:
        DoAcceptChatInvite(window);
        break;
    case kHitRejectChatInvite:
        DoRejectChatInvite(window);
        break;
    case kHitPrivChatUsers:
        if (hit.part == kPartDrop)
        {
            if (mSession.IsConnected()) mChat.InviteDropped(window, hit);
        }
        else if (auto* chat = dynamic_cast<CMyChatWin*>(window))
        {
            // A private message to the user selected in the chat's own list.
            uint8_t name[32];
            if (const uint16_t userID = chat->GetUserList()->GetSelectedUserID(name))
                DoSendPrivMsg(userID, name);
        }
        break;
    case kHitSetChatSubject:
        DoSetChatSubject(window);
        break;
    case kHitFilePreview:
        DoFilePreview(window);
        break;
    case kHitFileDownload:
        DoFileDownload(window, hit.mods);
        break;
    case kHitFileUpload:
        DoFileUpload(window, hit.mods);
        break;
    case kHitFileDelete:
        DoFileDelete(window);
        break;
    case kHitFileRefresh:
        DoFileRefresh(window);
        break;
    case kHitFileList:
        // A drop names its drag flavour in the hit's parameter.
        if (hit.part == kPartDrop && hit.param == FourCC("hfs "))
            DoFileUploadFromDrop(window, hit);
        else if (hit.part == kPartDrop && hit.param == FourCC("QVFN"))
        {
            SMyFileDrop item;
            if (hit.dataSize <= sizeof(hit.data) && UMyFileDrop::Parse(hit.data, hit.dataSize, item))
                DoFileMove(window, hit.mods, item.name, item.path, item.pathSize);
        }
        else if (hit.part != kPartDrop)
            DoFileDoubleClick(window, hit.mods);
        break;
    case kHitFileNewFolder:
        DoFileNewFolder(window);
        break;
    case kHitFileRename:
        mFolderWins.Rename(window);
        break;
    case kHitFileGetInfo:
        DoFileGetInfo(window);
        break;
    case kHitFileSaveInfo:
        DoFileSaveInfo(window);
        break;
    case kHitFileInfoEdited:
        // An edited name or comment may be saved; the window keeps what was edited.
        if (auto* info = dynamic_cast<CMyFileInfoWin*>(window)) info->SetSaveEnabled(true);
        break;
    case kHitCloseBox:
        DoCloseWindow(window);
        break;
    default:
        break;
    }
}
