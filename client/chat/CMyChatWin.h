// A private chat window: the conversation, the box to type into, the chat's members and its subject.
// Users dragged in from another window are invited to the chat.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "client/app/CMySessionWin.h"
#include "client/core/SMyColorInfo.h"
#include "client/core/SMyUserAccess.h"
#include "framework/runtime/CVoidPtrList.h"

class CTextView;
class CScrollerView;
class CMyUserListView;
class CMySubjectView;
class QMimeData;
class CMyChatEntry;
struct STextRun;

class CMyChatWin : public CMySessionWin
{
public:
    static constexpr int32_t kListZoomWidth = 205;

    explicit CMyChatWin(uint32_t chatID = 0, const SMyColorInfo& colors = kDefaultColorInfo);
    ~CMyChatWin() override;

    // A new window for the chat, with the chat colours, the access and the scrollback now, placed and not
    // yet shown.
    static CMyChatWin* Open(uint32_t chatID, const SMyColorInfo& colors, const SMyUserAccess& access,
                            uint32_t scrollback);
    // Every private chat window that exists, oldest first.
    static const CPtrList<CMyChatWin>& All();
    // The window of that chat, or null.
    static CMyChatWin* FindByID(uint32_t chatID);

    uint32_t GetChatID() const { return mChatID; }
    void SetChatID(uint32_t chatID) { mChatID = chatID; }
    CMyUserListView* GetUserList() const { return mList; }
    CMySubjectView* GetSubjectView() const { return mSubject; }
    CTextView* GetChatView() const { return mAllText; }
    CTextView* GetSendView() const { return mSendText; }
    bool IsListVisible() const { return mIsListVis; }

    // By the line rule of every conversation (AppendChatLine).
    void AppendChat(const void* text, uint32_t length);
    void AppendChat(const void* text, uint32_t length, const std::vector<STextRun>& runs);
    // A line of the client's own, greyed.
    void AppendNote(const void* text, uint32_t length);
    std::string GetSendText() const;
    void ClearSendText();
    // The title becomes "Private Chat:  " and the subject (cut to 64 characters with "..." after); an
    // empty subject gives "Private Chat".
    void SetSubject(const void* text, uint32_t length);
    void SetTextColor(const SMyColorInfo& colors);
    // The conversation keeps at most this many lines (CTextView::SetLineLimit).
    void SetScrollback(uint32_t lines);
    // Typing into the chat needs the right to send chat.
    void SetAccess(const SMyUserAccess& access);
    // The chat is over (its session ended): the conversation stays to be read, nothing can be sent.
    void SetEnded();
    bool IsEnded() const;
    // The chat is over for good (its connection is gone): `line` (length-prefixed) closes the
    // conversation, the entry takes no more text whatever the access, and the chat id is dropped so that
    // a new chat of the same number on a later connection never lands here.
    void EndChat(const uint8_t* line);
    CMyChatEntry& Entry() const { return *mEntry; }

    bool KeyDown(const SKeyMsgData& key) override;
    // Shows or hides the member list; the window narrows or widens by the list's width and the other
    // views keep their sizes.
    void UserZoom() override;

    static bool CanAcceptDrop(const QMimeData& mime);
    // Sends the invitation hit of the member list: the dropped user id and then this chat's id.
    bool Drop(const QMimeData& mime, uint16_t mods);

private:
    CTextView* mAllText = nullptr;
    CTextView* mSendText = nullptr;
    CScrollerView* mAllScroll = nullptr;
    CScrollerView* mSendScroll = nullptr;
    CScrollerView* mListScroll = nullptr;
    CMyUserListView* mList = nullptr;
    CMySubjectView* mSubject = nullptr;
    uint32_t mChatID;
    bool mIsListVis = true;
    int32_t mPendingZoomWidth = -1;
    // Goes before the window's widget, which outlives this object by a moment.
    std::unique_ptr<class QObject> mZoomFilter;
    std::unique_ptr<CMyChatEntry> mEntry;
};
