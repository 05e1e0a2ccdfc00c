// The long-lived windows: the toolbar window, tasks, news, public chat and online users, and the main
// window that holds the last four as panes (and folder windows and private chats as tabs) in the main
// layout. The set makes them at start-up, puts them where the preferences say, keeps them for the whole
// run (closing one hides it) and destroys them last. It also closes the windows of a session that ended.
// The toolbar window belongs to the separate layout only: a start in the main layout builds it at the
// first switch, and the set keeps what it would show (its look, the access, its title) meanwhile.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "client/core/CMySession.h"
#include "client/core/SMySettings.h"
#include "client/core/SMyUserAccess.h"
#include "framework/runtime/Geometry.h"

class CWindow;
class CMyOldToolbarWin;
class CMyMainWindow;
class CMyTasksWin;
class CMyTextWin;
class CMyOldChatWin;
class CMyUserListWin;
struct SMyColorInfo;
struct SMyPrefs;
struct SMyUserAccess;

class CMyWindowSet final : public CMySessionListener
{
public:
    CMyWindowSet();
    // The windows of the session go first, then the five.
    ~CMyWindowSet();
    CMyWindowSet(const CMyWindowSet&) = delete;
    CMyWindowSet& operator=(const CMyWindowSet&) = delete;

    // Makes the five with the news and chat colours; they stay hidden.
    void Create(const SMyColorInfo& newsColors, const SMyColorInfo& chatColors);
    // Where start-up puts them and which it shows: their saved places when those still show on a screen,
    // else their placement codes. In the separate layout the toolbar window always shows; in the main
    // layout the main window does, and the others show in it.
    void Place(const SMyPrefs& prefs, const SMyUserAccess& access, EMyLayout layout);

    // The layout in use. Switching keeps every window and what it shows: the windows move between the
    // main window's panes and tabs and windows of their own.
    void UseLayout(EMyLayout layout);
    // The user's switch: at once, and kept in the desktop settings (a failure to write is passed on).
    void SwitchLayout(EMyLayout layout, SMySettings& settings);
    EMyLayout Layout() const { return mLayout; }
    // The main window's arrangement between runs: read at start, written with the preferences. A saved
    // one that does not fit the screens gives the default arrangement.
    void RestoreArrangement();
    void SaveArrangement() const;
    // The toolbar, in either layout: the main window's, or the toolbar window unfolded.
    void ShowToolbar();
    // The user selected in the online users window; false when none is.
    bool SelectedUser(uint16_t& outUserID, uint8_t* outUserName) const;
    // The window that stands for the client: the main window, or the toolbar window.
    CWindow* ClientWindow() const;
    // A later start of the program, the tray icon or a notice bring the client forward: the toolbar, and
    // on top of it the window the user worked in last, or a dialog that waits for an answer.
    void BringClientForward();
    // The countdown of coming back after a lost connection (length-prefixed; empty when it is over):
    // in the main window's status line with the buttons that try at once and give up, in the toolbar
    // window's title otherwise.
    void ShowReconnect(const uint8_t* text, std::function<void()> now, std::function<void()> cancel);
    // Their places and visibility, for the preferences file.
    void GetPlaces(SMyPrefs& prefs) const;

    // Null before start-up, and in the main layout until the separate one is first used.
    CMyOldToolbarWin* Toolbar() const { return mToolsWin.get(); }
    // Null until the main layout is first used.
    CMyMainWindow* Main() const { return mMainWin.get(); }
    CMyTasksWin* Tasks() const { return mTasksWin.get(); }
    CMyTextWin* News() const { return mNewsWin.get(); }
    CMyOldChatWin* Chat() const { return mChatWin.get(); }
    CMyUserListWin* Users() const { return mConnectedUsersWin.get(); }

    // Closing one of the five hides it; it is never destroyed before the end. The main window is none of
    // them: closing it quits.
    bool IsLongLived(const CWindow* window) const;
    // A hidden window is shown, a visible one brought to the front.
    static void ShowOrBringToFront(CWindow* window);

    // The chat, tasks and news windows name the server in their titles; null or empty names none.
    void ShowServerName(const uint8_t* name);
    // The public chat's entry is off while there is no connection.
    void SetConnected(bool connected);
    // A line of the client's own in the public chat (length-prefixed), under what was said there.
    void AppendPublicChatNote(const uint8_t* text);
    // The online users window lists nobody.
    void ClearOnlineUsers();
    // The toolbar's connect row (kToolbarNotConnected, …).
    void SetToolbarLook(uint16_t look);
    // The colours of the news window, and of the public and every private chat window.
    void SetTextColors(const SMyColorInfo& newsColors, const SMyColorInfo& chatColors);
    // The lines the news window and every chat window keep (the scrollback setting, held to its range);
    // a private chat window opened later takes Scrollback().
    void SetScrollback(uint32_t lines);
    uint32_t Scrollback() const { return mScrollback; }
    static constexpr uint32_t kMinScrollback = SMySettings::kMinScrollback;
    static constexpr uint32_t kMaxScrollback = SMySettings::kMaxScrollback;
    // The commands the access allows, in the toolbar, the online users window and every chat window.
    void SetAccess(const SMyUserAccess& access);

    // The windows opened for the ended session go (CMySessionWin).
    void SessionEnded() override;
    // A lost session that may come back keeps its private chats, whose conversations the user would
    // miss; the other windows of the session (invitations, edits, answers being written) go, since
    // what they would send belongs to connection state the server has forgotten.
    void SessionPaused() override;
    // The session came back: the kept private chats cannot go on (the server's chat ids went with the
    // old connection), so each says so with `line` (length-prefixed) and takes no more text.
    void EndPrivateChats(const uint8_t* line);
    // A private chat that still goes on is open.
    bool HasPrivateChats() const;

private:
    void MakeMainWindow();
    void MakeToolbarWin();
    void ShowMainTitle();
    // Does one thing to the public chat window and to every private one.
    template <class Proc>
    void ForEachChat(Proc proc);

    // The toolbar goes first and the users window last, in the reverse order of these lines; the main
    // window, which may still hold them, after them all.
    std::unique_ptr<CMyMainWindow> mMainWin;
    std::unique_ptr<CMyUserListWin> mConnectedUsersWin;
    std::unique_ptr<CMyOldChatWin> mChatWin;
    std::unique_ptr<CMyTextWin> mNewsWin;
    std::unique_ptr<CMyTasksWin> mTasksWin;
    std::unique_ptr<CMyOldToolbarWin> mToolsWin;
    uint32_t mScrollback = 0;
    EMyLayout mLayout = EMyLayout::kSeparate;
    uint8_t mServerName[256] = {};
    // What the toolbar window shows once it is made, and what the preferences said of it: kept as they
    // were read while it does not exist, so that saving them loses nothing.
    uint16_t mToolbarLook = 0;
    SMyUserAccess mAccess{};
    uint8_t mReconnectText[256] = {};
    SRect mToolbarPlace{};
    bool mToolbarWasVisible = false;
};
