#include "client/chat/CMyChatTasks.h"

#include "client/app/CMyApplication.h"
#include "client/chat/CMyChatWin.h"
#include "client/core/CMySession.h"
#include "client/core/CMyTaskHost.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"

CMySendPrivMsgTask::CMySendPrivMsgTask(uint16_t yourID, const void* myMsg, uint32_t myMsgSize,
                                       uint16_t options, const void* yourMsg, uint32_t yourMsgSize)
    : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Sending private message...");
    UFieldData::AddInteger(mFieldData, kFieldUserID, yourID);
    UFieldData::AddInteger(mFieldData, kFieldOptions, options);
    UFieldData::AddField(mFieldData, kFieldData, myMsg, myMsgSize);
    if (yourMsg && yourMsgSize) UFieldData::AddField(mFieldData, kFieldQuotedText, yourMsg, yourMsgSize);
    SendRequest(kTranSendPrivMsg);
    SetProgress(1, 2);
}

void CMySendPrivMsgTask::Process()
{
    if (TakeCheckedReply()) FinishRequest();
}

CMyInviteNewChatTask::CMyInviteNewChatTask(const uint32_t* userIDs, uint32_t count) : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Opening private chat...");
    for (uint32_t i = 0; userIDs && i < count; ++i)
        UFieldData::AddInteger(mFieldData, kFieldUserID, int32_t(userIDs[i]));
    SendRequest(kTranInviteNewChat);
}

void CMyInviteNewChatTask::Process()
{
    if (!TakeCheckedReply()) return;
    SUserEntry user{};
    user.id = uint16_t(UFieldData::GetInteger(mFieldData, kFieldUserID));
    user.iconID = int16_t(UFieldData::GetInteger(mFieldData, kFieldUserIconID));
    user.flags = uint16_t(UFieldData::GetInteger(mFieldData, kFieldUserFlags));
    UFieldData::GetPString(mFieldData, kFieldUserName, user.name, sizeof(user.name));
    const uint32_t chatID = uint32_t(UFieldData::GetInteger(mFieldData, kFieldChatID));
    CMyChatWin* chat = gApp->GetChatWinByID(chatID);
    const bool isNew = !chat;
    if (isNew)
        chat = CMyChatWin::Open(chatID, gApp->Features().Settings().colorChat, Host().Session().Access(),
                                gApp->Features().Windows().Scrollback());
    try
    {
        CMyUserListView* list = chat->GetUserList();
        const int16_t icon = user.iconID ? user.iconID : CMyUserListView::kDefaultUserIcon;
        if (!list->UpdateUser(user.id, icon, user.flags, user.name + 1, user.name[0]))
            list->AddUser(user.id, icon, user.flags, user.name + 1, user.name[0]);
        chat->BringToFront();
    }
    catch (...)
    {
        if (isNew) delete chat;
        throw;
    }
    Finish();
}

CMyJoinChatTask::CMyJoinChatTask(uint32_t chatID) : CMyTransactTask(nullptr), mChatID(chatID)
{
    SetRowText(0, 0, "Joining private chat...");
    UFieldData::AddInteger(mFieldData, kFieldChatID, int32_t(chatID));
    SendRequest(kTranJoinChat);
}

void CMyJoinChatTask::Process()
{
    ShowReplyProgress();
    uint32_t error;
    if (!TakeReply(error)) return;
    // The user closed the window meanwhile: nothing is left that the reply could go to, not even its error.
    if (CMyChatWin* chat = gApp->GetChatWinByID(mChatID))
    {
        if (error)
        {
            delete chat;
            // Raises with the reply's error.
            CheckServerError(error, mFieldData);
            return;
        }
        uint8_t subject[256];
        UFieldData::GetPString(mFieldData, kFieldChatSubject, subject, sizeof(subject));
        chat->SetSubject(subject + 1, subject[0]);
        chat->GetUserList()->SetUsersFromFields(mFieldData);
    }
    Finish();
}
