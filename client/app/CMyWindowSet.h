// The long-lived windows: the toolbar (the main window), tasks, news, public chat and online users. The
// set makes them at start-up, puts them where the preferences say, keeps them for the whole run (closing
// one hides it) and destroys them last. It also closes the windows of a session that ended.
#pragma once

#include <cstdint>
#include <memory>

#include "client/core/CMySession.h"

class CWindow;
class CMyOldToolbarWin;
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
    // else their placement codes. The toolbar always shows.
    void Place(const SMyPrefs& prefs, const SMyUserAccess& access);
    // Their places and visibility, for the preferences file.
    void GetPlaces(SMyPrefs& prefs) const;

    // Null before start-up.
    CMyOldToolbarWin* Toolbar() const { return mToolsWin.get(); }
    CMyTasksWin* Tasks() const { return mTasksWin.get(); }
    CMyTextWin* News() const { return mNewsWin.get(); }
    CMyOldChatWin* Chat() const { return mChatWin.get(); }
    CMyUserListWin* Users() const { return mConnectedUsersWin.get(); }

    // Closing one of the five hides it; it is never destroyed before the end.
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
    // The lines the news window and every chat window keep (the scrollback setting, held to at least
    // kMinScrollback); a private chat window opened later takes Scrollback().
    void SetScrollback(uint32_t lines);
    uint32_t Scrollback() const { return mScrollback; }
    static constexpr uint32_t kMinScrollback = 100;
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
    // The toolbar goes first and the users window last, in the reverse order of these lines.
    std::unique_ptr<CMyUserListWin> mConnectedUsersWin;
    std::unique_ptr<CMyOldChatWin> mChatWin;
    std::unique_ptr<CMyTextWin> mNewsWin;
    std::unique_ptr<CMyTasksWin> mTasksWin;
    std::unique_ptr<CMyOldToolbarWin> mToolsWin;
    uint32_t mScrollback = 0;
};
