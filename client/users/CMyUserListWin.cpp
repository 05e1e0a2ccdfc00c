#include "client/users/CMyUserListWin.h"

#include <algorithm>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/widgets/CMyTypeSearch.h"
#include "client/widgets/CMyUserListView.h"
#include "client/widgets/MyZoomToList.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/UPopupMenu.h"

namespace
{
constexpr uint16_t kStyleUsersWin = 7;
} // namespace

CMyUserListWin::CMyUserListWin() : CWindow(SRect{0, 0, kWidth, kHeight}, kWindowDocument2, kStyleUsersWin)
{
    SetTitle("Users", 5);
    SetLimits(160, 150, 0x7FFF, 0x7FFF);
    constexpr int32_t R = kWidth;
    (new CBoxView(this, SRect{0, 0, R, 30}))->SetSizing(kSizeRight);
    mChatBtn = CIconButtonView::Make(this, {3, 3, 27, 27}, 415, kHitOpenPrivateChat);
    mMsgBtn = CIconButtonView::Make(this, {30, 3, 54, 27}, 206, kHitSendPrivMsg);
    mInfoBtn = CIconButtonView::Make(this, {57, 3, 81, 27}, 215, kHitGetClientInfo);
    mDiscBtn = CIconButtonView::Make(this, {R - 27, 3, R - 3, 27}, 412, kHitDisconnectUser, kSizeFollowRight);
    mChatBtn->SetToolTip("Private Chat");
    mMsgBtn->SetToolTip("Private Message");
    mInfoBtn->SetToolTip("Get Info");
    mDiscBtn->SetToolTip("Disconnect User");
    mSearchText = new CLabelView(this, SRect{86, 10, R - 32, 24});
    mSearchText->SetSizing(kSizeRight);
    mListScroll = new CScrollerView(this, SRect{-1, 30, R + 1, kHeight + 1},
                                    kScrollVertical | kScrollAsNeeded | kScrollFrame);
    mListScroll->SetSizing(kSizeGrow);
    mList = new CMyUserListView(mListScroll, SRect{0, 0, R + 2, kHeight - 29});
    mList->SetID(kHitSendPrivMsg2);
    mListScroll->ContentAdded();
    mList->SetContextMenuProc([this](const QPoint& at)
                              { UPopupMenu::Run(mList->Widget(), at, ContextMenuEntries()); });
    mSearch = std::make_unique<CMyTypeSearch>(
        mSearchText, mList, [this](const uint8_t* text) { return mList->SearchNames(text); });
    SetAccess();
}

CMyUserListWin::~CMyUserListWin()
{
    // The list's widget goes a moment after the window object: nothing may call back into it.
    mList->SetContextMenuProc(nullptr);
}

std::vector<SMenuEntry> CMyUserListWin::ContextMenuEntries() const
{
    const bool any = mList->GetSelectedCount() != 0;
    auto press = [](CIconButtonView* button, uint16_t mods = 0)
    { return [button, mods] { button->Hit(0, mods); }; };
    std::vector<SMenuEntry> entries;
    entries.push_back({"Private Message", "", any && mMsgBtn->IsEnabled(), press(mMsgBtn)});
    entries.push_back({"Private Chat", "", any && mChatBtn->IsEnabled(), press(mChatBtn)});
    entries.push_back({"Get Info", "", any && mInfoBtn->IsEnabled(), press(mInfoBtn)});
    entries.push_back({});
    entries.push_back({"Disconnect", "", any && mDiscBtn->IsEnabled(), press(mDiscBtn)});
    entries.push_back({"Disconnect and Ban...", "", any && mDiscBtn->IsEnabled(), press(mDiscBtn, kModAlt)});
    return entries;
}

void CMyUserListWin::SetAccess(const SMyUserAccess& access)
{
    mChatBtn->SetEnable(access.HasAny(AccessBits(kAccessCanReadChat, kAccessCanSendChat)));
    mInfoBtn->SetEnable(access.Has(kAccessCanGetUserInfo));
    mDiscBtn->SetEnable(access.Has(kAccessCanDisconnectUsers));
    mMsgBtn->SetEnable(true);
}

void CMyUserListWin::SetAccess()
{
    SMyUserAccess all;
    all.SetAll();
    SetAccess(gApp ? gApp->Features().Session().Access() : all);
}

CIconButtonView* CMyUserListWin::GetButton(uint32_t viewID) const
{
    for (CIconButtonView* b : {mChatBtn, mMsgBtn, mInfoBtn, mDiscBtn})
        if (b->GetID() == viewID) return b;
    return nullptr;
}

bool CMyUserListWin::KeyDown(const SKeyMsgData& key)
{
    return mSearch->KeyDown(key);
}

void CMyUserListWin::SearchTimer()
{
    mSearch->SearchNow();
}

void CMyUserListWin::UserZoom()
{
    ZoomToList(this, mList, 150);
}
