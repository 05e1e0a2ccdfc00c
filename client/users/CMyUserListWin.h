// The online users window: buttons for a private chat, a private message, a user's information and
// disconnecting a user, a typed-name search and the list of users.
#pragma once

#include <memory>
#include <vector>

#include "client/core/SMyUserAccess.h"
#include "framework/ui/CWindow.h"

class CMyUserListView;
struct SMenuEntry;
class CMyTypeSearch;
class CIconButtonView;
class CLabelView;
class CScrollerView;

class CMyUserListWin : public CWindow
{
public:
    static constexpr int32_t kWidth = 200;
    static constexpr int32_t kHeight = 220;

    CMyUserListWin();
    ~CMyUserListWin() override;

    CMyUserListView* View() const { return mList; }
    void SetAccess(const SMyUserAccess& access);
    // With the application's access bytes (all allowed without an application).
    void SetAccess();

    bool KeyDown(const SKeyMsgData& key) override;
    void UserZoom() override;
    void SearchTimer();
    CIconButtonView* GetButton(uint32_t viewID) const;
    // What a right click on a user offers; each entry presses the window's own button (disabled where the
    // button is), and banning asks first as the disconnect button with Alt does.
    std::vector<SMenuEntry> ContextMenuEntries() const;

private:
    CMyUserListView* mList = nullptr;
    CScrollerView* mListScroll = nullptr;
    CIconButtonView* mChatBtn = nullptr;
    CIconButtonView* mMsgBtn = nullptr;
    CIconButtonView* mInfoBtn = nullptr;
    CIconButtonView* mDiscBtn = nullptr;
    CLabelView* mSearchText = nullptr;
    std::unique_ptr<CMyTypeSearch> mSearch;
};
