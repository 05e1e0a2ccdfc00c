#include "client/app/CMyWindowSet.h"

#include <algorithm>
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyMainWindow.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/app/CMySessionWin.h"
#include "client/app/CMyStatusBar.h"
#include "client/app/UMyLinks.h"
#include "client/chat/CMyChatEntry.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyConversationWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/core/SMyPrefs.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/core/UMyLayoutFile.h"
#include "client/files/CMyFolderWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "client/widgets/MyWindowSizing.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CFindBar.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"

namespace
{
// A saved place is used when it is a rectangle at all and its top still shows on a screen; otherwise the
// window goes where its placement code puts it, as it does with no preferences.
void PlaceWindow(CWindow* window, const SRect& saved, uint16_t placementCode)
{
    if (saved.IsValid() && CWindow::IsOnScreen(saved))
        SetWindowBounds(window, saved);
    else
        window->Place(placementCode);
}

bool IsSavedVisible(const SMyPrefs& prefs, uint32_t which)
{
    return (prefs.winVis >> which) & 1;
}

void SavePlace(SMyPrefs& prefs, uint32_t which, const CWindow* window)
{
    if (!window) return;
    if (window->IsVisible()) prefs.winVis = uint16_t(prefs.winVis | (1u << which));
    window->GetBounds(prefs.winRect[which]);
}
} // namespace

CMyWindowSet::CMyWindowSet() = default;

CMyWindowSet::~CMyWindowSet()
{
    // The placer names the main window, which goes with the set: a window shown later (by another set,
    // as tests make them) must not be sent to it.
    if (mMainWin) CWindow::SetPlacer(nullptr);
    // Private chats, invitations and the other windows of the session go with it, as at a disconnect.
    CMySessionWin::CloseAll();
}

void CMyWindowSet::Create(const SMyColorInfo& newsColors, const SMyColorInfo& chatColors)
{
    mTasksWin = std::make_unique<CMyTasksWin>();
    mTasksWin->SetIcon(kIconTasksWin);
    mNewsWin = std::make_unique<CMyTextWin>();
    mNewsWin->SetTitle("News", 4);
    mNewsWin->SetLimits(300, 100, 32767, 32767);
    mNewsWin->SetTextColor(newsColors);
    mNewsWin->SetIcon(kIconNewsWin);
    UMyLinks::Attach(mNewsWin->GetTextView());
    CFindBar::Attach(mNewsWin->GetTextView());
    mChatWin = std::make_unique<CMyOldChatWin>(chatColors);
    mChatWin->SetIcon(kIconChatWin);
    mConnectedUsersWin = std::make_unique<CMyUserListWin>();
    // Tab in the public chat completes the names of the users online.
    mChatWin->Entry().SetNames(
        [this]
        {
            std::vector<std::string> names;
            const CMyUserListView* view = mConnectedUsersWin->View();
            for (uint32_t row = 1; row <= view->GetItemCount(); ++row)
            {
                const uint8_t* name = view->GetItem(row)->name;
                names.emplace_back(reinterpret_cast<const char*>(name + 1), name[0]);
            }
            return names;
        });
    mConnectedUsersWin->SetTitle("Online Users", 12);
    mConnectedUsersWin->SetIcon(kIconUsersWin);
}

void CMyWindowSet::Place(const SMyPrefs& prefs, const SMyUserAccess& access, EMyLayout layout)
{
    mToolbarPlace = prefs.winRect[kPrefsWinToolbar];
    mToolbarWasVisible = IsSavedVisible(prefs, kPrefsWinToolbar);
    mAccess = access;
    // The toolbar window carries the menu bar of the separate layout: there it always shows.
    mLayout = layout;
    if (layout == EMyLayout::kSeparate)
    {
        MakeToolbarWin();
        mToolsWin->Show();
    }
    const struct
    {
        CWindow* window;
        uint32_t which;
        uint16_t placementCode;
    } windows[] = {
        {mTasksWin.get(), kPrefsWinTasks, kPlaceBottomRight},
        {mNewsWin.get(), kPrefsWinNews, kPlaceTopRight},
        {mChatWin.get(), kPrefsWinChat, kPlaceBottomLeft},
        {mConnectedUsersWin.get(), kPrefsWinConnectedUsers, kPlaceTopLeft},
    };
    for (const auto& w : windows)
    {
        PlaceWindow(w.window, prefs.winRect[w.which], w.placementCode);
        if (IsSavedVisible(prefs, w.which) && layout == EMyLayout::kSeparate) w.window->Show();
    }
    if (layout != EMyLayout::kMain) return;
    MakeMainWindow();
    const CMyMainWindow::EPane panes[] = {CMyMainWindow::kPaneTasks, CMyMainWindow::kPaneNews,
                                          CMyMainWindow::kPaneChat, CMyMainWindow::kPaneUsers};
    for (uint32_t i = 0; i < 4; ++i)
    {
        mMainWin->HostPane(panes[i], windows[i].window);
        if (IsSavedVisible(prefs, windows[i].which)) windows[i].window->Show();
    }
    // Before it shows, so that it opens where it was.
    RestoreArrangement();
    UseLayout(EMyLayout::kMain);
}

void CMyWindowSet::MakeMainWindow()
{
    if (mMainWin) return;
    mMainWin = std::make_unique<CMyMainWindow>();
    mMainWin->SetLook(mToolbarLook);
    mMainWin->CheckMenuItem(kItemSeparateWindows, mLayout == EMyLayout::kSeparate);
    mMainWin->Status().SetServer(mServerName);
    ShowMainTitle();
}

void CMyWindowSet::MakeToolbarWin()
{
    if (mToolsWin) return;
    mToolsWin = std::make_unique<CMyOldToolbarWin>();
    PlaceWindow(mToolsWin.get(), mToolbarPlace, kPlaceTopCenter);
    // The saved place keeps its position; the size is always the one the buttons need (a place saved
    // while folded, or with fewer buttons, would cut the column).
    mToolsWin->SetAccess(mAccess);
    mToolsWin->SetLook(mToolbarLook);
    mToolsWin->CheckMenuItem(kItemSeparateWindows, mLayout == EMyLayout::kSeparate);
    if (mReconnectText[0]) mToolsWin->SetTitle(mReconnectText);
}

void CMyWindowSet::ShowMainTitle()
{
    if (!mMainWin) return;
    // The server first, as the title bars and task lists of desktop programs name the document first.
    uint8_t text[256];
    if (mServerName[0])
        text[0] = uint8_t(UText::Format(text + 1, 255, "%#s \xD1 Quenvol", mServerName));
    else
        text[0] = uint8_t(UText::Format(text + 1, 255, "Quenvol"));
    mMainWin->SetTitle(text);
}

namespace
{
// Folder windows, private chats and the conversations of private messages are the main window's tabs.
bool IsTabWindow(const CWindow* window)
{
    return dynamic_cast<const CMyFolderWin*>(window) || dynamic_cast<const CMyChatWin*>(window) ||
           dynamic_cast<const CMyConversationWin*>(window);
}
} // namespace

void CMyWindowSet::UseLayout(EMyLayout layout)
{
    mLayout = layout;
    // Both frames carry the View menu; its switch shows the layout in use.
    if (mToolsWin) mToolsWin->CheckMenuItem(kItemSeparateWindows, layout == EMyLayout::kSeparate);
    if (mMainWin) mMainWin->CheckMenuItem(kItemSeparateWindows, layout == EMyLayout::kSeparate);
    if (layout == EMyLayout::kSeparate)
    {
        CWindow::SetPlacer(nullptr);
        if (mMainWin)
        {
            mMainWin->ReleaseAll();
            mMainWin->Hide();
        }
        MakeToolbarWin();
        mToolsWin->Show();
        return;
    }
    MakeMainWindow();
    if (mToolsWin) mToolsWin->Hide();
    if (mConnectedUsersWin) mMainWin->HostPane(CMyMainWindow::kPaneUsers, mConnectedUsersWin.get());
    if (mChatWin) mMainWin->HostPane(CMyMainWindow::kPaneChat, mChatWin.get());
    if (mNewsWin) mMainWin->HostPane(CMyMainWindow::kPaneNews, mNewsWin.get());
    if (mTasksWin) mMainWin->HostPane(CMyMainWindow::kPaneTasks, mTasksWin.get());
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (CWindow* w = CWindow::GetWindow(i); IsTabWindow(w) && !w->GetPlace())
            w->SetPlace(mMainWin->TabPlace());
    CMyMainWindow* main = mMainWin.get();
    CWindow::SetPlacer([main](CWindow* w) { return IsTabWindow(w) ? main->TabPlace() : nullptr; });
    mMainWin->Show();
}

void CMyWindowSet::RestoreArrangement()
{
    if (!mMainWin) return;
    SMyWindowLayout layout;
    if (UMyLayoutFile::Read(layout))
        mMainWin->SetArrangement(layout);
    else
        mMainWin->DefaultArrangement();
}

void CMyWindowSet::SaveArrangement() const
{
    if (!mMainWin) return;
    SMyWindowLayout layout;
    mMainWin->GetArrangement(layout);
    UMyLayoutFile::Write(layout);
}

void CMyWindowSet::ShowToolbar()
{
    if (mLayout == EMyLayout::kMain && mMainWin)
    {
        mMainWin->ShowToolbar();
        return;
    }
    if (!mToolsWin) return;
    mToolsWin->SetFolded(false);
    ShowOrBringToFront(mToolsWin.get());
}

bool CMyWindowSet::SelectedUser(uint16_t& outUserID, uint8_t* outUserName) const
{
    if (!mConnectedUsersWin) return false;
    outUserID = mConnectedUsersWin->View()->GetSelectedUserID(outUserName);
    return outUserID != 0;
}

void CMyWindowSet::SwitchLayout(EMyLayout layout, SMySettings& settings)
{
    if (layout == mLayout) return;
    settings.layout = layout;
    UseLayout(layout);
    UMyDesktopSettings::Write(settings);
}

void CMyWindowSet::BringClientForward()
{
    // The main window (or in the separate layout the toolbar window) stands for the client: it comes back
    // even when the user had closed the toolbar.
    ShowToolbar();
    CWindow* toolbar = ClientWindow();
    if (toolbar) toolbar->BringToFront();
    CWindow* top = nullptr;
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (CWindow* w = CWindow::GetWindow(i); w->IsInModalLoop() && w->IsVisible()) top = w;
    if (!top) top = CWindow::GetFrontWindow();
    if (top && top != toolbar) top->BringToFront();
}

CWindow* CMyWindowSet::ClientWindow() const
{
    if (mLayout == EMyLayout::kMain && mMainWin) return mMainWin.get();
    return mToolsWin.get();
}

void CMyWindowSet::ShowReconnect(const uint8_t* text, std::function<void()> now, std::function<void()> cancel)
{
    static const char kToolbarTitle[] = "Quenvol";
    UPString::Copy(mReconnectText, text);
    if (mToolsWin)
    {
        // The toolbar window keeps its title in the main layout too, for a switch while it counts down.
        if (text[0])
            mToolsWin->SetTitle(text);
        else
            mToolsWin->SetTitle(kToolbarTitle, sizeof(kToolbarTitle) - 1);
    }
    if (!mMainWin) return;
    if (text[0])
        mMainWin->Status().SetConnection(text, SMyStatusAction{"Reconnect Now", std::move(now)},
                                         SMyStatusAction{"Cancel", std::move(cancel)});
    else
        mMainWin->SetLook(mToolbarLook);
}

void CMyWindowSet::GetPlaces(SMyPrefs& prefs) const
{
    if (mToolsWin)
        SavePlace(prefs, kPrefsWinToolbar, mToolsWin.get());
    else
    {
        prefs.winRect[kPrefsWinToolbar] = mToolbarPlace;
        if (mToolbarWasVisible) prefs.winVis = uint16_t(prefs.winVis | (1u << kPrefsWinToolbar));
    }
    SavePlace(prefs, kPrefsWinTasks, mTasksWin.get());
    SavePlace(prefs, kPrefsWinNews, mNewsWin.get());
    SavePlace(prefs, kPrefsWinChat, mChatWin.get());
    SavePlace(prefs, kPrefsWinConnectedUsers, mConnectedUsersWin.get());
}

bool CMyWindowSet::IsLongLived(const CWindow* window) const
{
    return window && (window == mToolsWin.get() || window == mTasksWin.get() || window == mNewsWin.get() ||
                      window == mChatWin.get() || window == mConnectedUsersWin.get());
}

void CMyWindowSet::ShowOrBringToFront(CWindow* window)
{
    if (!window) return;
    if (!window->IsVisible())
        window->Show();
    else
        window->BringToFront();
}

void CMyWindowSet::ShowServerName(const uint8_t* name)
{
    auto title = [name](CWindow* window, const char* plain, const char* withName)
    {
        if (!window) return;
        uint8_t text[128];
        if (name && name[0])
            text[0] = uint8_t(UText::Format(text + 1, 127, withName, name));
        else
            text[0] = uint8_t(UText::Format(text + 1, 127, plain));
        window->SetTitle(text);
    };
    static const uint8_t kNone[1] = {0};
    UPString::Copy(mServerName, name ? name : kNone);
    if (mMainWin) mMainWin->Status().SetServer(mServerName);
    ShowMainTitle();
    title(mChatWin.get(), "Chat", "Chat (%#s)");
    title(mTasksWin.get(), "Tasks", "Tasks (%#s)");
    title(mNewsWin.get(), "News", "News (%#s)");
}

void CMyWindowSet::AppendPublicChatNote(const uint8_t* text)
{
    if (!mChatWin || !text[0]) return;
    mChatWin->AppendNote(text + 1, text[0]);
}

void CMyWindowSet::SetConnected(bool connected)
{
    if (mChatWin) mChatWin->SetConnected(connected);
}

void CMyWindowSet::ClearOnlineUsers()
{
    if (mConnectedUsersWin) mConnectedUsersWin->View()->DeleteAll();
}

void CMyWindowSet::SetToolbarLook(uint16_t look)
{
    mToolbarLook = look;
    if (mToolsWin) mToolsWin->SetLook(look);
    if (mMainWin) mMainWin->SetLook(look);
}

template <class Proc>
void CMyWindowSet::ForEachChat(Proc proc)
{
    if (mChatWin) proc(mChatWin.get());
    for (CMyChatWin* chat : CMyChatWin::All())
        proc(chat);
}

void CMyWindowSet::SetTextColors(const SMyColorInfo& newsColors, const SMyColorInfo& chatColors)
{
    if (mNewsWin) mNewsWin->SetTextColor(newsColors);
    ForEachChat([&](auto* chat) { chat->SetTextColor(chatColors); });
}

void CMyWindowSet::SetScrollback(uint32_t lines)
{
    // None at all would let a client left running in a busy chat grow without end, like a figure past
    // the ceiling: the setting's range holds here whatever the caller read.
    mScrollback = SMySettings::BoundScrollback(lines);
    if (mNewsWin) mNewsWin->GetTextView()->SetLineLimit(mScrollback, true);
    ForEachChat([&](auto* chat) { chat->SetScrollback(mScrollback); });
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (auto* talk = dynamic_cast<CMyConversationWin*>(CWindow::GetWindow(i)))
            talk->SetScrollback(mScrollback);
}

void CMyWindowSet::SetAccess(const SMyUserAccess& access)
{
    mAccess = access;
    if (mToolsWin) mToolsWin->SetAccess(access);
    if (mMainWin) mMainWin->SetAccess(access);
    if (mConnectedUsersWin) mConnectedUsersWin->SetAccess(access);
    ForEachChat([&](auto* chat) { chat->SetAccess(access); });
}

void CMyWindowSet::SessionEnded()
{
    CMySessionWin::CloseAll();
}

void CMyWindowSet::SessionPaused()
{
    CMySessionWin::CloseAll([](const CMySessionWin* window)
                            { return dynamic_cast<const CMyChatWin*>(window) != nullptr; });
}

bool CMyWindowSet::HasPrivateChats() const
{
    for (CMyChatWin* chat : CMyChatWin::All())
        if (!chat->IsEnded()) return true;
    return false;
}

void CMyWindowSet::EndPrivateChats(const uint8_t* line)
{
    for (CMyChatWin* chat : CMyChatWin::All())
        chat->EndChat(line);
}
