// The public chat: sending what the user typed, receiving the server's lines, and the lines the client
// writes itself when a user changes name.
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
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
#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CTextView.h"

namespace
{
constexpr uint32_t kMaxChatText = 2048;
// The lines of the log a fresh public chat may start with.
constexpr uint32_t kReplayLines = 200;
constexpr int16_t kBoxChatTooLong = 132;

// What a user typed becomes what goes out: no closing carriage return and no control byte the other
// clients could not show; accented letters, quotes and signs go as typed, since blanking them turned
// "caf\x8E" into "caf " for everyone, the sender included.
void PrepareChatText(std::string& text)
{
    if (!text.empty() && text.back() == '\r') text.pop_back();
    UText::ReplaceNonPrinting(text.data(), uint32_t(text.size()), 0, ' ', UText::kKeepMacRomanLetters);
}

// "\r <<< OLD is now known as NEW >>>" when the names differ at the length they are kept at.
bool FormatRenameLine(const uint8_t* oldName, const uint8_t* newName, uint8_t* out, uint32_t& outSize)
{
    if (UPString::Equal(oldName, newName)) return false;
    outSize = UText::Format(out, 255, "\r <<< %#s is now known as %#s >>>", oldName, newName);
    return true;
}

// Puts the user's new name, icon and flags into a private chat's list; true with `outOldName` (64
// bytes) when the user was listed there.
bool UpdateChatMember(CMyUserListView* list, const SUserEntry& user, uint8_t* outOldName)
{
    const SMyUserListItem* item = list->GetItem(list->FindUser(user.id));
    if (!item) return false;
    UPString::Copy(outOldName, sizeof(item->name), item->name);
    const int16_t icon = user.iconID ? user.iconID : CMyUserListView::kDefaultUserIcon;
    list->UpdateUser(user.id, icon, user.flags, user.name + 1, user.name[0]);
    return true;
}

// How lines look now: the time of their arrival, the user's name and the words he watches for.
SMyChatLineStyle ChatStyle(const SMySettings& settings)
{
    SMyChatLineStyle style;
    style.timeStamps = settings.chatTimeStamps;
    if (style.timeStamps)
    {
        const SCalendarDate now = UDateTime::Now();
        style.hour = now.hour;
        style.minute = now.minute;
    }
    style.ownName = settings.userName;
    style.mentions = settings.chatMentions;
    if (style.mentions) style.words = UMyChatLine::SplitWords(settings.chatMentionWords);
    return style;
}

// The server as the logs name it: its address and port.
std::string ServerKey(const SInternetNameAddress& address)
{
    std::string key(reinterpret_cast<const char*>(address.name + 1), address.name[0]);
    if (key.find(':') == std::string::npos) key += ":" + std::to_string(address.port ? address.port : 5500);
    return key;
}

// The day as the logs name their files: "2026-12-09".
std::string LogDate(const SCalendarDate& day)
{
    char date[16];
    std::snprintf(date, sizeof(date), "%04d-%02d-%02d", day.year, day.month, day.day);
    return date;
}

// The private chat window a notice is for; null for a chat the user is not in or a damaged id.
CMyChatWin* NoticedChat(const CMyApplication& app, TFieldDataObj* fields)
{
    uint32_t chatID;
    return ReadChatID(fields, chatID) ? app.GetChatWinByID(chatID) : nullptr;
}
} // namespace

template <class TChatWin>
SMyChatLine CMyApplication::ShowChatLine(TChatWin* window, const void* text, uint32_t size)
{
    SMyChatLine line = UMyChatLine::Decorate(text, size, ChatStyle(mSettings));
    window->AppendChat(line.text.data(), uint32_t(line.text.size()), line.runs);
    if constexpr (std::is_same_v<TChatWin, CMyChatWin>)
        LogConversation("private chat " + std::to_string(window->GetChatID()), text, size);
    else
        LogConversation(std::string(), text, size);
    if (line.mention)
    {
        static constexpr uint8_t kPublicChat[] = "\x0Bpublic chat", kPrivateChat[] = "\x0Cprivate chat";
        const bool isPublic = std::is_same_v<TChatWin, CMyOldChatWin>;
        // The time, if any, is the user's own; the notice shows what was said.
        NotifyDesktop(EMyNotice::ChatMention, isPublic ? kPublicChat : kPrivateChat, text, size, window);
        UApplication::ShowWantsAttention();
    }
    return line;
}
template SMyChatLine CMyApplication::ShowChatLine(CMyOldChatWin*, const void*, uint32_t);
template SMyChatLine CMyApplication::ShowChatLine(CMyChatWin*, const void*, uint32_t);

void CMyApplication::LogConversation(const std::string& where, const void* text, uint32_t size)
{
    if (!mSettings.chatLogs || !mSession.IsOpen()) return;
    mChat.UseLogFor(mSession.Serial(), ServerKey(mSession.Address()));
    const SCalendarDate now = UDateTime::Now();
    char time[8];
    std::snprintf(time, sizeof(time), "%02d:%02d", now.hour, now.minute);
    const auto* bytes = static_cast<const uint8_t*>(text);
    uint32_t skip = 0;
    while (skip < size && bytes[skip] == '\r')
        ++skip;
    mChat.Log().Add(LogDate(now), time, where, MacRomanToUtf8(bytes + skip, size - skip));
}

void CMyApplication::StartPublicChatFor(const uint8_t* address, const uint8_t* name)
{
    CMyOldChatWin* chat = mWindows.Chat();
    const std::string server =
        address ? std::string(reinterpret_cast<const char*>(address + 1), address[0]) : "";
    auto markSession = [&]
    {
        uint8_t time[64], note[300];
        time[0] = uint8_t(UDateTime::DateToText(time + 1, 63, UDateTime::kTime));
        const uint32_t size =
            UText::Format(note, sizeof(note), "\xD1 connected to %#s at %#s \xD1", name, time);
        chat->AppendNote(note, size);
    };
    // The same server again: what was said stays, below a line that marks the new session.
    if (chat && !server.empty() && server == mChat.PublicChatServer() && !chat->GetChatView()->IsEmpty())
    {
        markSession();
        return;
    }
    mChat.PublicChatServer() = server;
    ClearPublicChat();
    // A fresh view may start with the end of what its log kept of this server, greyed.
    if (!chat || server.empty() || !mSettings.chatReplay) return;
    const std::vector<std::string> lines =
        CMyChatLog::LastPublicLines(ServerKey(mSession.Address()), LogDate(UDateTime::Now()), kReplayLines);
    if (lines.empty()) return;
    std::string text;
    for (const std::string& line : lines)
        text += '\r' + Utf8ToMacRoman(line);
    const auto size = uint32_t(text.size());
    chat->AppendChat(text.data(), size, {STextRun{1, size - 1, ETextMark::Dim}});
    markSession();
}

void CMyApplication::ClearPublicChat()
{
    if (CMyOldChatWin* chat = mWindows.Chat()) chat->ClearChat();
}

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
        ShowChatLine(privateChat, line.data(), size);
    else
    {
        auto* bytes = reinterpret_cast<uint8_t*>(line.data());
        mChat.UnscrambleIncoming(bytes, size);
        ShowChatLine(publicChat, bytes, size);
    }
    USound::PlayEvent(kSoundChat, mSettings.sound.chat);
}

void CMyApplication::ShowUserChangeInChats(const SUserEntry& user, const uint8_t* oldName)
{
    // Names are compared as the lists keep them (63 characters at most); cut shorter, a long name
    // would seem changed at every change of icon or flags.
    uint8_t line[256];
    uint32_t size = 0;
    CMyOldChatWin* publicChat = mWindows.Chat();
    if (publicChat && oldName && FormatRenameLine(oldName, user.name, line, size))
    {
        ShowChatLine(publicChat, line, size);
        USound::PlayEvent(kSoundChat, mSettings.sound.chat);
    }
    if (publicChat && !oldName && mSettings.showJoinLeaveInChat &&
        mChat.HasUserListArrived(mSession.Serial()))
    {
        size = UText::Format(line, 255, "\r <<< %#s has joined the chat >>>", user.name);
        ShowChatLine(publicChat, line, size);
    }
    for (CMyChatWin* chat : CMyChatWin::All())
    {
        uint8_t memberName[64];
        if (UpdateChatMember(chat->GetUserList(), user, memberName) &&
            FormatRenameLine(memberName, user.name, line, size))
            ShowChatLine(chat, line, size);
    }
}

void CMyApplication::ShowUserLeftPublicChat(const uint8_t* name)
{
    CMyOldChatWin* publicChat = mWindows.Chat();
    if (!publicChat || !mSettings.showJoinLeaveInChat || !mChat.HasUserListArrived(mSession.Serial())) return;
    uint8_t line[256];
    const uint32_t size = UText::Format(line, 255, "\r <<< %#s has left the chat >>>", name);
    ShowChatLine(publicChat, line, size);
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
    CMyUserListView* list = chat->GetUserList();
    const uint32_t count = list->GetItemCount();
    const bool atBottom = list->GetFirstVisibleItem() + list->GetVisibleItemCount() > count;

    uint8_t line[256], oldName[64];
    uint32_t size = 0;
    if (UpdateChatMember(list, user, oldName))
    {
        if (!FormatRenameLine(oldName, user.name, line, size)) return;
        ShowChatLine(chat, line, size);
        USound::PlayEvent(kSoundChat, mSettings.sound.chat);
        return;
    }
    const int16_t icon = user.iconID ? user.iconID : CMyUserListView::kDefaultUserIcon;
    list->AddUser(user.id, icon, user.flags, user.name + 1, user.name[0]);
    USound::PlayEvent(kSoundJoin, mSettings.sound.join);
    if (atBottom) list->ScrollToItem(list->GetItemCount());
    if (mSettings.showJoinLeaveInChat)
    {
        size = UText::Format(line, 255, "\r <<< %#s has joined the chat >>>", user.name);
        ShowChatLine(chat, line, size);
    }
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
        ShowChatLine(chat, line, size);
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
    ShowChatLine(chat, line, size);
}
