// Private messages: writing one, answering one with its quotation, showing those that arrive, and the
// automatic response and refusal that the user's options give.
#include <algorithm>
#include <memory>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/UNoticeBox.h"
#include "client/boxes/USound.h"
#include "client/boxes/UnencodableBox.h"
#include "client/chat/CMyChatTasks.h"
#include "client/chat/CMyConversationWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/chat/CMySendPrivMsgWin.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/UModalLoop.h"

namespace
{
enum : uint16_t
{
    kOptionsTyped = 1,
    kOptionsAutomatic = 2,
};

// A server may send messages faster than anyone reads them, and each window costs a few hundred kilobytes
// (ten thousand took gigabytes and minutes): past this many open message windows, what arrives is folded
// into one box instead, which shows every message that came while it was up when it closes.
constexpr uint32_t kMaxOpenMessageWins = 32;
// What one folded message may add: its header line and a long message's first part.
constexpr uint32_t kMaxFoldedText = 4096;

void FoldMessage(const uint8_t* title, const std::string& text)
{
    std::string notice(reinterpret_cast<const char*>(title + 1), title[0]);
    notice += '\r';
    notice.append(text, 0, std::min<size_t>(text.size(), kMaxFoldedText));
    if (UNoticeBox::Keep(kMsgFoldedMessages, notice.data(), uint32_t(notice.size())))
        UApplication::PostMessage(kMsgFoldedMessages);
}

bool IsWindowOpen(const CWindow* window)
{
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (CWindow::GetWindow(i) == window) return true;
    return false;
}

// Runs the send dialog until the user sends or gives up; true when the message went out. The dialog
// is refused while not connected, and sends nothing once its session is over.
bool RunSendDialog(CMySession& session, uint16_t userID, const uint8_t* userName, const std::string* quote,
                   std::string* outText = nullptr)
{
    if (!session.IsConnected())
    {
        USound::Beep();
        return false;
    }
    CMySendPrivMsgWin dialog(userName);
    dialog.Place(kPlaceCenterScreen);
    dialog.Show();
    dialog.BringToFront();
    const SModalResult result =
        UModalLoop::RunWindow(dialog,
                              [&dialog](uint32_t hit)
                              {
                                  if (hit != CMySendPrivMsgWin::kHitSend) return true;
                                  // Nothing to send keeps the dialog up, while
                                  // its session lasts.
                                  if (!dialog.IsSessionCurrent()) return true;
                                  if (!dialog.GetText().empty())
                                      return AskToUseQuestionMarks("Send", dialog.GetTextView());
                                  USound::Beep();
                                  return false;
                              });
    // The dialog kept the connection running: its session may have ended meanwhile.
    if (!result.Is(CMySendPrivMsgWin::kHitSend) || !dialog.IsSessionCurrent() || !session.IsOpen())
        return false;
    const std::string text = dialog.GetText();
    new CMySendPrivMsgTask(userID, text.data(), uint32_t(text.size()), kOptionsTyped,
                           quote ? quote->data() : nullptr, quote ? uint32_t(quote->size()) : 0);
    if (outText) *outText = text;
    return true;
}

bool IsConversationOpen(const CMyConversationWin* window)
{
    return window && CMyConversationWin::Find(window->Session(), window->UserID()) == window;
}

// The log's name of a conversation with a user: "message from Robin".
std::string Conversation(const char* kind, const uint8_t* name)
{
    return kind + MacRomanToUtf8(name + 1, name[0]);
}
} // namespace

void CMyApplication::DoSendPrivMsg(uint16_t userID, const uint8_t* userName)
{
    // What goes to a user whose messages collect in a conversation shows there too.
    std::string text;
    if (!RunSendDialog(mSession, userID, userName, nullptr, &text)) return;
    mChat.LogConversation(Conversation("message to ", userName), text.data(), uint32_t(text.size()));
    if (CMyConversationWin* talk = CMyConversationWin::Find(mSession.Serial(), userID))
        talk->AddOwnMessage(text);
}

void CMyApplication::DoReplyPrivMsg(CWindow* window)
{
    if (auto* talk = dynamic_cast<CMyConversationWin*>(window))
    {
        // The same rules as a message window's Reply: the latest message is quoted; the conversation
        // stays and shows the answer.
        if (talk->Session() != mSession.Serial() || talk->GetMessage().empty())
        {
            USound::Beep();
            return;
        }
        uint8_t userName[64];
        UPString::Copy(userName, talk->UserName());
        const uint16_t userID = talk->UserID();
        const std::string quote = talk->GetMessage();
        std::string text;
        if (!RunSendDialog(mSession, userID, userName, &quote, &text)) return;
        mChat.LogConversation(Conversation("message to ", userName), text.data(), uint32_t(text.size()));
        if (IsConversationOpen(talk)) talk->AddOwnMessage(text);
        return;
    }
    auto* message = dynamic_cast<CMyPrivMsgWin*>(window);
    if (!message) return;
    // A message from an earlier session names a user id that now belongs to somebody else, if anyone.
    if (message->mSession != mSession.Serial())
    {
        USound::Beep();
        return;
    }
    const uint16_t userID = message->mUserID;
    uint8_t userName[64];
    UPString::Copy(userName, message->mUserName);
    const std::string quote = message->GetMessage();
    std::string sent;
    if (!RunSendDialog(mSession, userID, userName, &quote, &sent)) return;
    mChat.LogConversation(Conversation("message to ", userName), sent.data(), uint32_t(sent.size()));
    if (IsWindowOpen(message)) delete message;
}

void CMyApplication::DoBringFrontPrivMsg()
{
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (auto* message = dynamic_cast<CMyPrivMsgWin*>(CWindow::GetWindow(i)))
        {
            message->BringToFront();
            return;
        }
    if (CMyConversationWin* talk = CMyConversationWin::Latest()) talk->BringToFront();
}

void CMyApplication::DoShowMessage(TFieldDataObj* fields, bool isBroadcast)
{
    const auto senderID = uint16_t(UFieldData::GetInteger(fields, kFieldUserID));
    uint8_t senderName[64];
    UFieldData::GetPString(fields, kFieldUserName, senderName, sizeof(senderName));
    const int32_t options = UFieldData::GetInteger(fields, kFieldOptions);
    // Answering an automatic answer would let two absent users answer each other for ever.
    const bool responseDue = options != kOptionsAutomatic && !isBroadcast;
    if (AutomaticResponseOrRefuseMsg(senderID, responseDue)) return;

    std::string text(UFieldData::GetFieldSize(fields, kFieldData), '\0');
    UFieldData::GetField(fields, kFieldData, text.data(), uint32_t(text.size()));
    mChat.LogConversation(Conversation(isBroadcast ? "broadcast from " : "message from ", senderName),
                          text.data(), uint32_t(text.size()));
    const uint32_t quoteSize = UFieldData::GetFieldSize(fields, kFieldQuotedText);
    uint8_t title[128];
    title[0] = uint8_t(
        UText::Format(title + 1, 127,
                      isBroadcast ? "Broadcast message from: %#s" : "Private message from: %#s", senderName));
    std::string quote(quoteSize, '\0');
    if (quoteSize) UFieldData::GetField(fields, kFieldQuotedText, quote.data(), quoteSize);
    // In the main window the messages of one user collect in one conversation tab.
    const bool inTabs = !isBroadcast && mWindows.Layout() == EMyLayout::kMain;
    CMyConversationWin* talk = inTabs ? CMyConversationWin::Find(mSession.Serial(), senderID) : nullptr;
    if (!talk && CWindow::CountOpen<CMyPrivMsgWin>() + CMyConversationWin::CountOpen() >= kMaxOpenMessageWins)
    {
        FoldMessage(title, text);
        return;
    }
    CWindow* shown = nullptr;
    if (inTabs)
    {
        if (!talk)
        {
            auto made = std::make_unique<CMyConversationWin>(mSession.Serial(), senderID, senderName);
            made->SetScrollback(mWindows.Scrollback());
            made->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
            talk = made.release();
        }
        talk->AddMessage(text, quote, options == kOptionsAutomatic);
        shown = talk;
    }
    else
    {
        auto message = std::make_unique<CMyPrivMsgWin>(options == kOptionsAutomatic);
        message->SetTitle(title);
        message->mUserID = senderID;
        UPString::Copy(message->mUserName, senderName);
        message->mSession = mSession.Serial();
        message->SetText(text.data(), uint32_t(text.size()));
        if (quoteSize) message->SetQuotText(quote.data(), quoteSize);
        if (mSettings.automaticResponse) message->ShowDateAndTime();
        message->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
        shown = message.release();
    }
    mDesktop.NotifyArrived(isBroadcast ? EMyNotice::Broadcast : EMyNotice::PrivateMessage, senderName,
                           text.data(), uint32_t(text.size()), shown);
    USound::PlayEvent(kSoundPrivMsg, mSettings.sound.privMsg);
    if (mSettings.showPrivMsgAtBack)
        shown->ShowBehind();
    else
        shown->BringToFront();
}

bool CMyApplication::AutomaticResponseOrRefuseMsg(uint16_t userID, bool sendResponse)
{
    const SMySettings& s = mSettings;
    using EKind = CMyAutoReplies::EKind;
    auto answerDue = [&](EKind kind)
    { return sendResponse && mChat.AutoReplies().Take(mSession.Serial(), userID, kind); };
    if (s.automaticResponse)
    {
        if (answerDue(EKind::Response))
            new CMySendPrivMsgTask(userID, s.automaticResponseText + 1, s.automaticResponseText[0],
                                   kOptionsAutomatic, nullptr, 0);
        return s.refusePrivateMsg;
    }
    if (!s.refusePrivateMsg) return false;
    if (answerDue(EKind::Refusal))
    {
        uint8_t text[256];
        const uint32_t size = UText::Format(text, 255, "%#s does't accept private messages!", s.userName);
        new CMySendPrivMsgTask(userID, text, size, kOptionsAutomatic, nullptr, 0);
    }
    return true;
}
