#include "client/chat/CMyChat.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <type_traits>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/app/CMyWindowSet.h"
#include "client/boxes/USound.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/MyChatFields.h"
#include "client/chat/UMyChatLine.h"
#include "client/chat/UMyChatScram.h"
#include "client/core/CMySession.h"
#include "client/core/SMySettings.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/SHitMsgData.h"

namespace
{
// The lines of the log a fresh public chat may start with.
constexpr uint32_t kReplayLines = 200;

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
// The server as the logs name it: its address and port.
std::string ServerKey(const SInternetNameAddress& address)
{
    std::string key(reinterpret_cast<const char*>(address.name + 1), address.name[0]);
    if (key.find(':') == std::string::npos)
    {
        key += ':';
        key += std::to_string(address.port ? address.port : 5500);
    }
    return key;
}

// The day as the logs name their files: "2026-12-09".
std::string LogDate(const SCalendarDate& day)
{
    char date[16];
    std::snprintf(date, sizeof(date), "%04d-%02d-%02d", day.year, day.month, day.day);
    return date;
}
} // namespace

CMyChat::CMyChat(const SMySettings& settings, const CMySession& session, CMyWindowSet& windows)
    : mSettings(settings), mSession(session), mWindows(windows)
{
}

void CMyChat::SetScrambling(const uint8_t* key)
{
    if (!key || key[0] != UMyChatScram::kKeyLength)
    {
        mScramChat = false;
        return;
    }
    if (!mScramTable) mScramTable = std::make_unique<uint8_t[]>(256);
    if (!mUnscramTable) mUnscramTable = std::make_unique<uint8_t[]>(256);
    UMyChatScram::MakeTables(key + 1, mScramTable.get(), mUnscramTable.get());
    mScramChat = true;
}

void CMyChat::ScrambleOutgoing(std::string& text) const
{
    if (!mScramChat || !mScramTable) return;
    UMyChatScram::Scramble(reinterpret_cast<uint8_t*>(text.data()), uint32_t(text.size()), mScramTable.get());
    text.push_back(char(UMyChatScram::kEndMarker));
}

void CMyChat::UnscrambleIncoming(uint8_t* line, uint32_t size) const
{
    if (!mScramChat || !mUnscramTable || size == 0 || line[size - 1] != UMyChatScram::kEndMarker) return;
    // The server put the speaker's name and a colon before the text; the text starts there.
    if (void* colon = std::memchr(line, ':', size - 1))
    {
        const auto start = uint32_t(static_cast<uint8_t*>(colon) - line);
        UMyChatScram::Scramble(line + start, size - 1 - start, mUnscramTable.get());
        line[size - 1] = UMyChatScram::kShownMarker;
    }
}

const char* CMyChat::PorkLine()
{
    static const char* const kPorkLines[] = {"doze frogz are gunna pay", "pork pork", "pork pork pork",
                                             "pork pork pork pork", "pork"};
    static std::minstd_rand random{std::random_device{}()};
    return kPorkLines[std::uniform_int_distribution<int>(1, 5)(random) - 1];
}

const SMyChatLineStyle& CMyChat::LineStyle(const SCalendarDate& now)
{
    mStyle.timeStamps = mSettings.chatTimeStamps;
    mStyle.hour = now.hour;
    mStyle.minute = now.minute;
    mStyle.ownName = mSettings.userName;
    mStyle.mentions = mSettings.chatMentions;
    // A busy chat shows thousands of lines between two changes of the watched words: they are split
    // again when they change, not for every line.
    if (mStyle.mentions && mSettings.chatMentionWords != mStyleWordsFrom)
    {
        mStyleWordsFrom = mSettings.chatMentionWords;
        mStyle.words = UMyChatLine::SplitWords(mStyleWordsFrom);
    }
    return mStyle;
}

template <class TChatWin>
SMyChatLine CMyChat::ShowLine(TChatWin* window, const void* text, uint32_t size)
{
    // One reading of the clock serves the line's time stamp and its log entry.
    const SCalendarDate now = UDateTime::Now();
    SMyChatLine line = UMyChatLine::Decorate(text, size, LineStyle(now));
    window->AppendChat(line.text.data(), uint32_t(line.text.size()), line.runs);
    if constexpr (std::is_same_v<TChatWin, CMyChatWin>)
        LogAt(now, "private chat " + std::to_string(window->GetChatID()), text, size);
    else
        LogAt(now, std::string(), text, size);
    if (line.mention)
    {
        static constexpr uint8_t kPublicChat[] = "\x0Bpublic chat", kPrivateChat[] = "\x0Cprivate chat";
        const bool isPublic = std::is_same_v<TChatWin, CMyOldChatWin>;
        // The time, if any, is the user's own; the notice shows what was said.
        gApp->Features().Desktop().NotifyArrived(EMyNotice::ChatMention,
                                                 isPublic ? kPublicChat : kPrivateChat, text, size, window);
        UApplication::ShowWantsAttention();
    }
    return line;
}
template SMyChatLine CMyChat::ShowLine(CMyOldChatWin*, const void*, uint32_t);
template SMyChatLine CMyChat::ShowLine(CMyChatWin*, const void*, uint32_t);

void CMyChat::LogConversation(const std::string& where, const void* text, uint32_t size)
{
    LogAt(UDateTime::Now(), where, text, size);
}

void CMyChat::LogAt(const SCalendarDate& now, const std::string& where, const void* text, uint32_t size)
{
    if (!mSettings.chatLogs || !mSession.IsOpen()) return;
    if (mSession.Serial() != mLogSerial) UseLogFor(mSession.Serial(), ServerKey(mSession.Address()));
    // The day and the minute are written out once a minute, not once a line.
    if (now.minute != mLogMinute.minute || now.hour != mLogMinute.hour || now.day != mLogMinute.day ||
        now.month != mLogMinute.month || now.year != mLogMinute.year || mLogTime.empty())
    {
        mLogMinute = now;
        mLogDate = LogDate(now);
        char time[8];
        std::snprintf(time, sizeof(time), "%02d:%02d", now.hour, now.minute);
        mLogTime = time;
    }
    const auto* bytes = static_cast<const uint8_t*>(text);
    uint32_t skip = 0;
    while (skip < size && bytes[skip] == '\r')
        ++skip;
    mLog.AddMacRoman(mLogDate, mLogTime, where, bytes + skip, size - skip);
}

void CMyChat::StartPublicChatFor(const uint8_t* address, const uint8_t* name)
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
    if (chat && !server.empty() && server == mPublicChatServer && !chat->GetChatView()->IsEmpty())
    {
        markSession();
        return;
    }
    mPublicChatServer = server;
    // The same way as the command clears it.
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

void CMyChat::ClearPublicChat()
{
    if (CMyOldChatWin* chat = mWindows.Chat()) chat->ClearChat();
}

void CMyChat::InviteDropped(CWindow* window, const SHitMsgData& drop)
{
    auto* chat = dynamic_cast<CMyChatWin*>(window);
    if (!chat || !mSession.IsOpen() || drop.dataSize != 8) return;
    uint32_t userID, chatID;
    std::memcpy(&userID, drop.data, 4);
    std::memcpy(&chatID, drop.data + 4, 4);
    if (userID == 0 || userID > 0xFFFF || chatID == 0 || chatID != chat->GetChatID()) return;
    StFieldData fields;
    UFieldData::AddInteger(fields, kFieldUserID, int32_t(userID));
    UFieldData::AddInteger(fields, kFieldChatID, int32_t(chatID));
    UTransact::SendTransaction(mSession.Transactor(), kTranInviteToChat, fields);
}

void CMyChat::ShowUserChange(const SUserEntry& user, const uint8_t* oldName)
{
    // Names are compared as the lists keep them (63 characters at most); cut shorter, a long name
    // would seem changed at every change of icon or flags.
    uint8_t line[256];
    uint32_t size = 0;
    CMyOldChatWin* publicChat = mWindows.Chat();
    if (publicChat && oldName && FormatRenameLine(oldName, user.name, line, size))
    {
        ShowLine(publicChat, line, size);
        USound::PlayEvent(kSoundChat, mSettings.sound.chat);
    }
    if (publicChat && !oldName && mSettings.showJoinLeaveInChat && HasUserListArrived(mSession.Serial()))
    {
        size = UText::Format(line, 255, "\r <<< %#s has joined the chat >>>", user.name);
        ShowLine(publicChat, line, size);
    }
    for (CMyChatWin* chat : CMyChatWin::All())
    {
        uint8_t memberName[64];
        if (UpdateChatMember(chat->GetUserList(), user, memberName) &&
            FormatRenameLine(memberName, user.name, line, size))
            ShowLine(chat, line, size);
    }
}

void CMyChat::ShowMemberChange(CMyChatWin* chat, const SUserEntry& user)
{
    CMyUserListView* list = chat->GetUserList();
    const uint32_t count = list->GetItemCount();
    const bool atBottom = list->GetFirstVisibleItem() + list->GetVisibleItemCount() > count;

    uint8_t line[256], oldName[64];
    uint32_t size = 0;
    if (UpdateChatMember(list, user, oldName))
    {
        if (!FormatRenameLine(oldName, user.name, line, size)) return;
        ShowLine(chat, line, size);
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
        ShowLine(chat, line, size);
    }
}

void CMyChat::ShowUserLeft(const uint8_t* name)
{
    CMyOldChatWin* publicChat = mWindows.Chat();
    if (!publicChat || !mSettings.showJoinLeaveInChat || !HasUserListArrived(mSession.Serial())) return;
    uint8_t line[256];
    const uint32_t size = UText::Format(line, 255, "\r <<< %#s has left the chat >>>", name);
    ShowLine(publicChat, line, size);
}
