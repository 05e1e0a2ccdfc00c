// The public chat: sending what the user typed, receiving the server's lines, and the lines the client
// writes itself when a user changes name.
#include <cstring>
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "client/boxes/UnencodableBox.h"
#include "client/chat/CMyChatEntry.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMySubjectView.h"
#include "client/chat/MyChatFields.h"
#include "client/chat/UMyChatLine.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr uint32_t kMaxChatText = 2048;
constexpr int16_t kBoxChatTooLong = 132;

// What a user typed becomes what goes out: no closing carriage return and no control byte the other
// clients could not show; accented letters, quotes and signs go as typed, since blanking them turned
// "caf\x8E" into "caf " for everyone, the sender included.
void PrepareChatText(std::string& text)
{
    if (!text.empty() && text.back() == '\r') text.pop_back();
    UText::ReplaceNonPrinting(text.data(), uint32_t(text.size()), 0, ' ', UText::kKeepMacRomanLetters);
}

// The private chat window a notice is for; null for a chat the user is not in or a damaged id.
CMyChatWin* NoticedChat(const CMyApplication& app, TFieldDataObj* fields)
{
    uint32_t chatID;
    return ReadChatID(fields, chatID) ? app.GetChatWinByID(chatID) : nullptr;
}
} // namespace

void CMyApplication::DoChatSend(bool asAction)
{
    CMyOldChatWin* chat = mWindows.Chat();
    if (!mSession.IsConnected() || !chat || chat->GetSendView()->IsEmpty()) return;
    StFieldData fields;
    if (mChat.IsPorkMode())
    {
        const char* line = CMyChat::PorkLine();
        UFieldData::AddField(fields, kFieldData, line, uint32_t(std::strlen(line)));
        chat->ClearSendText();
        UTransact::SendTransaction(mSession.Transactor(), kTranChatSend, fields);
        return;
    }
    // The box keeps the connection running: it may be gone when the user answers.
    if (!AskToUseQuestionMarks("Send", chat->GetSendView()) || !mSession.IsConnected()) return;
    std::string text = chat->GetSendText();
    chat->ClearSendText();
    chat->Entry().Remember(text);
    if (text.size() > kMaxChatText)
    {
        MsgBox(kBoxChatTooLong);
        return;
    }
    if (asAction) UFieldData::AddInteger(fields, kFieldChatOptions, 1);
    PrepareChatText(text);
    mChat.ScrambleOutgoing(text);
    UFieldData::AddField(fields, kFieldData, text.data(), uint32_t(text.size()));
    UTransact::SendTransaction(mSession.Transactor(), kTranChatSend, fields);
    mStatistics.totalChatBytes += uint32_t(text.size());
}

void CMyApplication::DoPrivChatSend(CWindow* window, bool asAction)
{
    auto* chat = dynamic_cast<CMyChatWin*>(window);
    if (!mSession.IsConnected() || !chat || chat->GetSendView()->IsEmpty()) return;
    // The end of the session while the box is up takes the chat's window with it.
    const uint32_t chatID = chat->GetChatID();
    if (!AskToUseQuestionMarks("Send", chat->GetSendView())) return;
    chat = GetChatWinByID(chatID);
    if (!mSession.IsConnected() || !chat) return;
    std::string text = chat->GetSendText();
    chat->ClearSendText();
    chat->Entry().Remember(text);
    if (text.size() > kMaxChatText)
    {
        MsgBox(kBoxChatTooLong);
        return;
    }
    StFieldData fields;
    if (asAction) UFieldData::AddInteger(fields, kFieldChatOptions, 1);
    UFieldData::AddInteger(fields, kFieldChatID, int32_t(chat->GetChatID()));
    PrepareChatText(text);
    UFieldData::AddField(fields, kFieldData, text.data(), uint32_t(text.size()));
    UTransact::SendTransaction(mSession.Transactor(), kTranChatSend, fields);
    mStatistics.totalChatBytes += uint32_t(text.size());
}

void CMyApplication::ProcessTran_ChatMsg(TFieldDataObj* fields)
{
    uint32_t chatID;
    if (!ReadChatID(fields, chatID)) return;
    CMyChatWin* privateChat = nullptr;
    CMyOldChatWin* publicChat = nullptr;
    if (chatID)
    {
        if (!(privateChat = GetChatWinByID(chatID))) return;
    }
    // A hidden public chat takes nothing in.
    else if (!(publicChat = mWindows.Chat()) || !publicChat->IsVisible())
        return;

    const uint32_t size = UFieldData::GetFieldSize(fields, kFieldData);
    if (!size) return;
    std::string line(size, '\0');
    UFieldData::GetField(fields, kFieldData, line.data(), size);
    if (privateChat)
        mChat.ShowLine(privateChat, line.data(), size);
    else
    {
        auto* bytes = reinterpret_cast<uint8_t*>(line.data());
        mChat.UnscrambleIncoming(bytes, size);
        mChat.ShowLine(publicChat, bytes, size);
    }
    USound::PlayEvent(kSoundChat, mSettings.sound.chat);
}

void CMyApplication::ShowUserChangeInChats(const SUserEntry& user, const uint8_t* oldName)
{
    mChat.ShowUserChange(user, oldName);
}

void CMyApplication::ProcessTran_NotifyChatChangeUser(TFieldDataObj* fields)
{
    CMyChatWin* chat = NoticedChat(*this, fields);
    if (!chat) return;
    SUserEntry user{};
    user.id = uint16_t(UFieldData::GetInteger(fields, kFieldUserID));
    user.iconID = int16_t(UFieldData::GetInteger(fields, kFieldUserIconID));
    user.flags = uint16_t(UFieldData::GetInteger(fields, kFieldUserFlags));
    UFieldData::GetPString(fields, kFieldUserName, user.name, sizeof(user.name));
    mChat.ShowMemberChange(chat, user);
}

void CMyApplication::ProcessTran_NotifyChatDeleteUser(TFieldDataObj* fields)
{
    CMyChatWin* chat = NoticedChat(*this, fields);
    if (!chat) return;
    uint8_t name[64];
    if (!chat->GetUserList()->DeleteUserByID(uint16_t(UFieldData::GetInteger(fields, kFieldUserID)), name))
        return;
    USound::PlayEvent(kSoundLeave, mSettings.sound.leave);
    if (mSettings.showJoinLeaveInChat)
    {
        uint8_t line[256];
        const uint32_t size = UText::Format(line, 255, "\r <<< %#s has left the chat >>>", name);
        mChat.ShowLine(chat, line, size);
    }
}

void CMyApplication::ProcessTran_NotifyChatSubject(TFieldDataObj* fields)
{
    CMyChatWin* chat = NoticedChat(*this, fields);
    if (!chat) return;
    uint8_t subject[256];
    UFieldData::GetPString(fields, kFieldChatSubject, subject, sizeof(subject));
    const bool changed = chat->GetSubjectView()->GetText() !=
                         std::string(reinterpret_cast<const char*>(subject + 1), subject[0]);
    chat->SetSubject(subject + 1, subject[0]);
    if (!changed) return;
    uint8_t line[300];
    const uint32_t size = UText::Format(line, sizeof(line), "\r <<< subject is now \"%#s\" >>>", subject);
    mChat.ShowLine(chat, line, size);
}
