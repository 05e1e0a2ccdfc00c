#include "client/chat/CMyChatWin.h"

#include <QEvent>
#include <QResizeEvent>
#include <QWidget>
#include <cstring>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/chat/CMyChatEntry.h"
#include "client/chat/CMySubjectView.h"
#include "client/chat/MyChatViews.h"
#include "client/widgets/CMyDropTarget.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UDragAndDrop.h"

namespace
{
constexpr uint16_t kStylePrivChatWin = 7;
constexpr uint16_t kChatModCommand = 0x0010;
constexpr uint32_t kFlavorUser = FourCC("QVUI");
constexpr uint32_t kMaxTitle = 64;

CPtrList<CMyChatWin>& ChatWindows()
{
    static CPtrList<CMyChatWin> windows;
    return windows;
}

// The zoom changes the window's width without moving or sizing its views: the one resize it causes is
// kept from the views' sizing rule.
class CZoomResizeFilter : public QObject
{
public:
    CZoomResizeFilter(QObject* parent, int32_t* pendingWidth) : QObject(parent), mPendingWidth(pendingWidth)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Resize || *mPendingWidth < 0) return false;
        auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->size().width() != *mPendingWidth) return false;
        *mPendingWidth = -1;
        return true;
    }

private:
    int32_t* mPendingWidth;
};
} // namespace

CMyChatWin* CMyChatWin::Open(uint32_t chatID, const SMyColorInfo& colors, const SMyUserAccess& access,
                             uint32_t scrollback)
{
    constexpr int16_t kIconPrivateChat = 415;
    auto* chat = new CMyChatWin(chatID, colors);
    chat->SetScrollback(scrollback);
    chat->SetIcon(kIconPrivateChat);
    chat->SetAccess(access);
    chat->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    return chat;
}

CMyChatWin::CMyChatWin(uint32_t chatID, const SMyColorInfo& colors)
    : CMySessionWin(SRect{0, 0, 565, 208}, kWindowDocument2, kStylePrivChatWin), mChatID(chatID)
{
    ChatWindows().AddItem(this);
    SetTitle("Private Chat", 12);
    SetLimits(300, 130, 0x7FFF, 0x7FFF);
    mAllText = MakeChatTextBox(this, SRect{5, 5, 355, 140}, &mAllScroll);
    mSendText = MakeChatSendBox(this, SRect{5, 145, 355, 188}, kHitPrivChatSend, &mSendScroll);
    mListScroll =
        new CScrollerView(this, SRect{360, 5, 560, 188}, kScrollVertical | kScrollAsNeeded | kScrollFrame);
    mListScroll->SetSizing(kSizeLeft | kSizeRight | kSizeBottom);
    mList = new CMyUserListView(mListScroll, SRect{0, 0, 200, 183});
    mList->SetID(kHitPrivChatUsers);
    mListScroll->ContentAdded();
    mSubject = new CMySubjectView(this, SRect{-1, 193, 566, 209});
    mSubject->SetID(kHitSetChatSubject);
    mSubject->SetSizing(kSizeTop | kSizeRight | kSizeBottom);
    SetTextColor(colors);

    // The filter goes on before any resize can happen, and ahead of the sizing rule (filters installed
    // later run first).
    mZoomFilter = std::make_unique<CZoomResizeFilter>(ContentWidget(), &mPendingZoomWidth);
    ContentWidget()->installEventFilter(mZoomFilter.get());
    auto canAccept = [](const QMimeData& mime) { return CanAcceptDrop(mime); };
    auto drop = [this](const QMimeData& mime, uint16_t mods) { return Drop(mime, mods); };
    CMyDropTarget::Install(mList, canAccept, drop);
    CMyDropTarget::Install(mAllText, canAccept, drop);
    mEntry = std::make_unique<CMyChatEntry>(mSendText,
                                            [this]
                                            {
                                                std::vector<std::string> names;
                                                for (uint32_t row = 1; row <= mList->GetItemCount(); ++row)
                                                {
                                                    const uint8_t* name = mList->GetItem(row)->name;
                                                    names.emplace_back(
                                                        reinterpret_cast<const char*>(name + 1), name[0]);
                                                }
                                                return names;
                                            });
}

CMyChatWin::~CMyChatWin()
{
    ChatWindows().RemoveItem(this);
}

const CPtrList<CMyChatWin>& CMyChatWin::All()
{
    return ChatWindows();
}

CMyChatWin* CMyChatWin::FindByID(uint32_t chatID)
{
    for (CMyChatWin* win : ChatWindows())
        if (win->mChatID == chatID) return win;
    return nullptr;
}

void CMyChatWin::AppendChat(const void* text, uint32_t length)
{
    AppendChatLine(mAllText, text, length);
}

void CMyChatWin::AppendChat(const void* text, uint32_t length, const std::vector<STextRun>& runs)
{
    AppendChatLine(mAllText, text, length, runs);
}

void CMyChatWin::AppendNote(const void* text, uint32_t length)
{
    AppendChatNote(mAllText, text, length);
}

void CMyChatWin::SetEnded()
{
    mEntry->SetBlocked(CMyChatEntry::kBlockEnded, true);
}

bool CMyChatWin::IsEnded() const
{
    return mEntry->GetBlocked() & CMyChatEntry::kBlockEnded;
}

std::string CMyChatWin::GetSendText() const
{
    return mSendText->GetText();
}

void CMyChatWin::ClearSendText()
{
    mSendText->SetText(nullptr, 0);
}

void CMyChatWin::SetSubject(const void* text, uint32_t length)
{
    if (!text) length = 0;
    mSubject->SetText(text, length);
    if (!length)
    {
        CWindow::SetTitle("Private Chat", 12);
        return;
    }
    std::string title = "Private Chat:  ";
    title.append(static_cast<const char*>(text), length);
    if (title.size() > kMaxTitle)
    {
        title.resize(kMaxTitle);
        title += "...";
    }
    CWindow::SetTitle(title.data(), uint32_t(title.size()));
}

void CMyChatWin::SetTextColor(const SMyColorInfo& colors)
{
    ApplyChatColors(colors, {mAllText, mSendText}, {mAllScroll, mSendScroll});
}

void CMyChatWin::SetScrollback(uint32_t lines)
{
    mAllText->SetLineLimit(lines);
}

void CMyChatWin::SetAccess(const SMyUserAccess& access)
{
    mEntry->SetBlocked(CMyChatEntry::kBlockNoRight, !access.Has(kAccessCanSendChat));
}

void CMyChatWin::EndChat(const uint8_t* line)
{
    if (IsEnded()) return;
    SetEnded();
    mChatID = 0;
    // The members' user ids were the old connection's: a later one gives them to others.
    mList->DeleteAll();
    uint8_t text[257];
    text[0] = '\r';
    std::memcpy(text + 1, line + 1, line[0]);
    AppendChat(text, uint32_t(line[0]) + 1);
}

bool CMyChatWin::KeyDown(const SKeyMsgData& key)
{
    if (key.keyCode == kKeyEscape)
    {
        ClearSendText();
        return true;
    }
    // Ctrl makes the slash a control character on some keyboards.
    const bool slash = key.keyChar == '/' || key.keyChar == 0x1F;
    if (slash && (key.mods & (kModCtrl | kChatModCommand)))
    {
        UserZoom();
        return true;
    }
    return false;
}

void CMyChatWin::UserZoom()
{
    SRect bounds;
    GetBounds(bounds);
    bounds.right += mIsListVis ? -kListZoomWidth : kListZoomWidth;
    mIsListVis = !mIsListVis;
    mPendingZoomWidth = bounds.Width();
    mListScroll->SetVisible(mIsListVis);
    SetBounds(bounds);
}

bool CMyChatWin::CanAcceptDrop(const QMimeData& mime)
{
    std::vector<std::string> items;
    return UDragAndDrop::GetFlavor(mime, kFlavorUser, items);
}

bool CMyChatWin::Drop(const QMimeData& mime, uint16_t mods)
{
    std::vector<std::string> items;
    if (!UDragAndDrop::GetFlavor(mime, kFlavorUser, items) || items.empty() || items.front().size() < 4)
        return false;
    uint8_t data[8];
    std::memcpy(data, items.front().data(), 4);
    std::memcpy(data + 4, &mChatID, 4);
    mList->Hit(kPartDrop, mods, kFlavorUser, data, sizeof(data), kPartDrop);
    return true;
}
