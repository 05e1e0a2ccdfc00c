// Private chats: opening one with a user, invitations both ways, joining, the subject and leaving.
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/chat/CMyChatInviteWin.h"
#include "client/chat/CMyChatSubjectWin.h"
#include "client/chat/CMyChatTasks.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMySubjectView.h"
#include "client/chat/MyChatFields.h"
#include "client/widgets/CMyMsgWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UText.h"
#include "framework/ui/SHitMsgData.h"
#include "framework/ui/UModalLoop.h"

namespace
{
// A server may invite faster than anyone answers, and each invitation is a window of its own: past this
// many unanswered ones, further invitations are declined at once.
constexpr uint32_t kMaxOpenInvitations = 16;

// Transactions that name only a chat: decline, leave.
void SendChatNotice(TTransactObj* tpt, uint16_t type, uint32_t chatID)
{
    StFieldData fields;
    UFieldData::AddInteger(fields, kFieldChatID, int32_t(chatID));
    UTransact::SendTransaction(tpt, type, fields);
}

// A line into a private chat the user has not joined: how the options answer an invitation.
void SendIntoChat(TTransactObj* tpt, uint32_t chatID, bool asAction, const void* text, uint32_t size)
{
    StFieldData fields;
    if (asAction) UFieldData::AddInteger(fields, kFieldChatOptions, 1);
    UFieldData::AddInteger(fields, kFieldChatID, int32_t(chatID));
    UFieldData::AddField(fields, kFieldData, text, size);
    UTransact::SendTransaction(tpt, kTranChatSend, fields);
}

} // namespace

CMyChatWin* CMyApplication::GetChatWinByID(uint32_t chatID) const
{
    // 0 is the public chat, which no private chat window stands for.
    return chatID ? CMyChatWin::FindByID(chatID) : nullptr;
}

void CMyApplication::DoOpenPrivateChat()
{
    uint16_t userID;
    uint8_t userName[64];
    if (!mSession.IsConnected() || !mWindows.SelectedUser(userID, userName)) return;
    const uint32_t ids[1] = {userID};
    new CMyInviteNewChatTask(ids, 1);
}

void CMyApplication::ProcessTran_InviteToChat(TFieldDataObj* fields)
{
    uint32_t chatID;
    if (!ReadChatID(fields, chatID) || !chatID) return;
    uint8_t inviter[64];
    UFieldData::GetPString(fields, kFieldUserName, inviter, sizeof(inviter));
    if (CWindow::CountOpen<CMyChatInviteWin>() >= kMaxOpenInvitations ||
        AutomaticResponseOrRefuseChat(chatID, inviter))
    {
        SendChatNotice(mSession.Transactor(), kTranRejectChatInvite, chatID);
        return;
    }
    USound::PlayEvent(kSoundChatInvite, mSettings.sound.chatInvite);
    UApplication::ShowWantsAttention();
    auto* invitation = new CMyChatInviteWin(chatID, inviter);
    invitation->SetAutoBounds(kPlaceCenterScreen, kPlaceMainScreen);
    mDesktop.NotifyArrived(EMyNotice::ChatInvitation, inviter, nullptr, 0, invitation);
    invitation->Show();
}

bool CMyApplication::AutomaticResponseOrRefuseChat(uint32_t chatID, const uint8_t* inviterName)
{
    const SMySettings& s = mSettings;
    if (s.automaticResponse)
    {
        SendIntoChat(mSession.Transactor(), chatID, false, s.automaticResponseText + 1,
                     s.automaticResponseText[0]);
        if (!s.refusePrivateChat)
        {
            // The user is away: a note says who wanted to chat, and when.
            uint8_t when[64];
            when[0] = uint8_t(
                UDateTime::DateToText(when + 1, 63, UDateTime::kShortDate | UDateTime::kTimeWithSeconds));
            uint8_t text[256];
            const uint32_t size = UText::Format(text, sizeof(text), "%#s invited you to private chat at %#s!",
                                                inviterName, when);
            auto* note = new CMyMsgWin(kHitDismissMsg);
            note->SetTitle("Chat", 4);
            note->SetAutoBounds(kPlaceCenterScreen, kPlaceMainScreen);
            note->SetAndShowMsg(text, size);
        }
        return true;
    }
    if (!s.refusePrivateChat) return false;
    static const char kRefusal[] = "does't accept private chat!";
    SendIntoChat(mSession.Transactor(), chatID, true, kRefusal, sizeof(kRefusal) - 1);
    return true;
}

void CMyApplication::DoAcceptChatInvite(CWindow* window)
{
    auto* invitation = dynamic_cast<CMyChatInviteWin*>(window);
    if (!invitation) return;
    const uint32_t chatID = invitation->mChatID;
    delete invitation;
    if (GetChatWinByID(chatID) || !mSession.IsConnected()) return;
    CMyChatWin* chat =
        CMyChatWin::Open(chatID, mSettings.colorChat, mSession.Access(), mWindows.Scrollback());
    chat->Show();
    try
    {
        new CMyJoinChatTask(chatID);
    }
    catch (...)
    {
        delete chat;
        throw;
    }
}

void CMyApplication::DoRejectChatInvite(CWindow* window)
{
    auto* invitation = dynamic_cast<CMyChatInviteWin*>(window);
    if (!invitation) return;
    const uint32_t chatID = invitation->mChatID;
    delete invitation;
    if (mSession.IsConnected()) SendChatNotice(mSession.Transactor(), kTranRejectChatInvite, chatID);
}

void CMyApplication::DoSetChatSubject(CWindow* window)
{
    auto* chat = dynamic_cast<CMyChatWin*>(window);
    // An ended chat has no subject to set any more.
    if (!chat || !chat->GetChatID()) return;
    const uint32_t chatID = chat->GetChatID();
    CMyChatSubjectWin dialog;
    const std::string& subject = chat->GetSubjectView()->GetText();
    dialog.SetInfo(subject.data(), uint32_t(subject.size()));
    dialog.Place(kPlaceCenterScreen);
    dialog.Show();
    dialog.BringToFront();
    const SModalResult result = UModalLoop::RunWindow(dialog,
                                                      [](uint32_t hit) {
                                                          return hit == CMyChatSubjectWin::kHitSet ||
                                                                 hit == CMyChatSubjectWin::kHitCancel ||
                                                                 hit == kHitCloseBox;
                                                      });
    // The session, and with it the chat, may have ended while the dialog was open. The subject shown
    // changes only when the server's notice comes back.
    if (!result.Is(CMyChatSubjectWin::kHitSet) || !dialog.IsSessionCurrent() || !mSession.IsConnected() ||
        !GetChatWinByID(chatID))
        return;
    uint8_t newSubject[256];
    dialog.GetInfo(newSubject);
    StFieldData fields;
    UFieldData::AddInteger(fields, kFieldChatID, int32_t(chatID));
    UFieldData::AddPString(fields, kFieldChatSubject, newSubject);
    UTransact::SendTransaction(mSession.Transactor(), kTranSetChatSubject, fields);
}

void CMyApplication::DoClosePrivateChat(CWindow* window)
{
    auto* chat = dynamic_cast<CMyChatWin*>(window);
    if (!chat) return;
    const uint32_t chatID = chat->GetChatID();
    delete chat;
    // An ended chat (id 0) was left with its connection; the public chat is never left.
    if (chatID && mSession.IsConnected()) SendChatNotice(mSession.Transactor(), kTranLeaveChat, chatID);
}
