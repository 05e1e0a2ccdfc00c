// The one application object: the front that the rest of the client calls. Its operations are the
// client's commands, the handlers of what the server starts, and the task list's operations; each hands
// over to the object that owns the work (the session, the task list, the window set, the folder windows,
// the chat, the tracker controller, the desktop notices), and each of those keeps its own state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/app/CMyWindowSet.h"
#include "client/app/EMyNotice.h"
#include "client/chat/CMyChat.h"
#include "client/connection/CMyConnection.h"
#include "client/core/CMyKeptPasswords.h"
#include "client/core/CMySession.h"
#include "client/core/CMyTaskList.h"
#include "client/core/SMySettings.h"
#include "client/core/SMyStatistics.h"
#include "client/files/CMyFolderWinList.h"
#include "client/transfers/CMyCutTransferBox.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/CApplication.h"

struct THdlObj;
struct TFieldDataObj;
struct TTimerObj;
struct TFileSysRefObj;
class CWindow;
class CMyTask;
class CMyDownloadFldrTask;
class CMyChatWin;
class CMyTracker;
class CMyFolderWin;
class CMyDesktopNotices;
class CMyTray;
class CMyTransferQueue;
struct SHitMsgData;
struct SMyPrefs;
struct SMyBookmarkItem;
struct SMyConnectEntry;

constexpr const char kRezDataFileName[] = "quenvol.dat";

class CMyApplication : public CApplication
{
public:
    CMyApplication();
    ~CMyApplication() override;

    void UserQuit() override;
    void KeyCommand(uint32_t command, const SKeyMsgData& key) override;
    void Error(const SError& error) override;
    void Timer(TTimerObj* timer) override;
    void OpenDocument(TFileSysRefObj* ref) override;
    void WindowHit(CWindow* window, const SHitMsgData& hit) override;
    void HandleMessage(void* object, uint32_t msg, const void* data, uint32_t dataSize) override;

    // The owners, for the features and the tests: the server session, the user's settings (the options
    // dialog and the preferences file change them; everyone else reads them), the usage totals, the
    // running tasks (and the transfer limits they share), the long-lived windows, the open folder
    // windows, the chat, the connection's start and comeback, the tracker controller (null before
    // start-up) and the desktop notices (made on first use).
    CMySession& Session() { return mSession; }
    SMySettings& Settings() { return mSettings; }
    SMyStatistics& Statistics() { return mStatistics; }
    CMyTaskList& Tasks() { return mTaskList; }
    CMyWindowSet& Windows() { return mWindows; }
    CMyFolderWinList& FolderWins() { return mFolderWins; }
    CMyChat& Chat() { return mChat; }
    CMyConnection& Connection() { return mConnection; }
    CMyTracker* Tracker() const { return mTracker.get(); }
    // Passwords of bookmarks, trackers and recent servers: in the keyring when there is one.
    CMyKeptPasswords& Passwords() { return mPasswords; }
    CMyDesktopNotices& DesktopNotices();
    // The tray icon (null before start-up).
    CMyTray* Tray() const { return mTray.get(); }
    // The unfinished transfers, kept across sessions and runs.
    CMyTransferQueue& Transfers() { return *mTransfers; }

    // Start-up, the long-lived windows and what closing a window means (app/AppWindows.cpp).
    void StartUp();
    void DoMacMenuBar(int16_t menu, int16_t item);
    // The show-window rule: a hidden window is shown, a visible one brought to the front.
    virtual void DoShowChatWin();
    virtual void DoShowTasksWin();
    virtual void DoShowNewsWin();
    virtual void DoShowConnectedUsersWin();
    // The menu's "Show Toolbar" and a later start of the program.
    virtual void DoShowToolbarWin();
    // One main window or separate windows: switched at once, every window keeping what it shows, and
    // kept in the desktop settings.
    void DoSetLayout(EMyLayout layout);
    // At the end of a start: with nothing to open and nothing to connect to, the connect dialog, over the
    // main window.
    void DoFirstConnect();
    virtual void DoCloseWindow(CWindow* window);
    virtual void DoAbout();
    // The chat, tasks and news windows name the server in their titles; null or empty names none.
    void DisplayServerName(const uint8_t* name);

    // The task list (tasks/AppTasks.cpp): these hand over to it. Tasks reach it as their host.
    void AddTask(CMyTask* task, const uint8_t* desc);
    void RemoveTask(CMyTask* task);
    void FinishTask(CMyTask* task);
    bool IsFirstTask(const CMyTask* task) const;
    void KillFinishedTasks();
    // A null text keeps the row's text.
    void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc);
    void ScheduleTaskProcess();
    void DoStopTask();
    void DoStartTask();
    // The tasks window's Stop, Start and Remove act on its selected row (app/AppTaskRows.cpp). Remove:
    // a finished row goes at once, a stopped or waiting one as Stop takes it away (asking about its
    // partial file), a running transfer after it stops.
    void DoRemoveTask();

    // The server connection and the transactions the server starts (connection/AppConnection.cpp,
    // connection/AppServerNotices.cpp, app/AppIncoming.cpp).
    // The connect dialog, with an address to put in it or none.
    virtual void DoShowConnect();
    void DoShowConnect(const uint8_t* address);
    virtual void DoConnect(const uint8_t* address, const uint8_t* name);
    virtual void DoGoURL(const void* text, uint32_t size);
    virtual void DoDisconnect();
    virtual void KillTasksAndDisconnect();
    // Once connected: the login, online users and news requests that open every session, in this order.
    void StartSessionTasks();
    TTransactObj* MakeTransactor();
    void DisposeTransactor();
    void StartTransactorConnect();
    void ShowNotConnected();
    void ShowConnecting();
    void ShowConnected();
    virtual void ProcessAll();
    void ProcessIncomingData();
    void ProcessTran_ServerMsg(TFieldDataObj* fields);
    void ProcessTran_ShowAgreement(TFieldDataObj* fields);
    void ProcessTran_DisconnectMsg(TFieldDataObj* fields);
    void ProcessTran_UserAccess(TFieldDataObj* fields);
    void DoShowAgreement(THdlObj* text);

    // Public and private chat, private messages (chat/AppChat.cpp, chat/AppPrivMsg.cpp,
    // chat/AppPrivateChat.cpp, chat/AppSecret.cpp).
    virtual void DoChatSend(bool asAction);
    // Hit 1005 with Alt: the public chat's text goes.
    virtual void ClearPublicChat();
    void DoOpenPrivateChat();
    void DoSendPrivMsg(uint16_t userID, const uint8_t* userName);
    void DoReplyPrivMsg(CWindow* window);
    virtual void DoBringFrontPrivMsg();
    virtual void DoSecret();
    void DoPrivChatSend(CWindow* window, bool asAction);
    void DoAcceptChatInvite(CWindow* window);
    void DoRejectChatInvite(CWindow* window);
    // Hit 1038: a user dropped on a private chat window is invited to it; any other hit there writes a
    // private message to the user selected in its list.
    virtual void DoInviteToPrivateChat(CWindow* window, const SHitMsgData& drop);
    virtual void DoPrivChatUserHit(CWindow* window);
    void DoSetChatSubject(CWindow* window);
    virtual void DoClosePrivateChat(CWindow* window);
    CMyChatWin* GetChatWinByID(uint32_t chatID) const;
    void ProcessTran_ChatMsg(TFieldDataObj* fields);
    void ProcessTran_InviteToChat(TFieldDataObj* fields);
    void ProcessTran_NotifyChatChangeUser(TFieldDataObj* fields);
    void ProcessTran_NotifyChatDeleteUser(TFieldDataObj* fields);
    void ProcessTran_NotifyChatSubject(TFieldDataObj* fields);
    // A private message or broadcast from a user.
    virtual void DoShowMessage(TFieldDataObj* fields, bool isBroadcast);
    // The user's options answer a message or an invitation by themselves. True when the message is to
    // be dropped (the automatic text or the refusal went out when `sendResponse`), or the invitation
    // declined (the text went into that chat).
    bool AutomaticResponseOrRefuseMsg(uint16_t userID, bool sendResponse);
    bool AutomaticResponseOrRefuseChat(uint32_t chatID, const uint8_t* inviterName);
    // Where the users feature meets the chat: a user's icon, flags or name changed (301), after the
    // online users list took the change. `oldName` is the name that list knew (full length, never
    // cut), null when the user was not listed.
    virtual void ShowUserChangeInChats(const SUserEntry& user, const uint8_t* oldName);

    // Online users and accounts (users/AppUsers.cpp).
    // The user selected in the online users window (hits 1014 and 1016); false when none is.
    bool GetSelectedUser(uint16_t& outUserID, uint8_t* outUserName);
    virtual void DoNewUser();
    virtual void DoOpenUser();
    void DoSaveEditUser(CWindow* window);
    void DoCancelEditUser(CWindow* window);
    void DoDeleteEditUser(CWindow* window);
    void DoDisconnectUser(uint16_t mods);
    void DoGetClientInfo();
    void SetOnlineUsers(TFieldDataObj* fields);
    // The reply of the open-user request; `requestedLogin` is the login it asked for.
    void ShowEditUserWin(TFieldDataObj* fields, const uint8_t* requestedLogin);
    void ProcessTran_NotifyChangeUser(TFieldDataObj* fields);
    void ProcessTran_NotifyDeleteUser(TFieldDataObj* fields);

    // News and broadcast (news/AppNews.cpp).
    virtual void DoPostNewsWin();
    void DoBroadcastWin();
    // A news article was posted: it goes on top of the news text.
    void ProcessTran_NewMsg(TFieldDataObj* fields);
    // A broadcast is shown as a private message that is never answered.
    void ProcessTran_UserBroadcast(TFieldDataObj* fields);

    // Folder windows and file commands (files/AppFiles.cpp).
    virtual void DoShowPublicFiles();
    virtual void DoCloseAllFileWindows();
    virtual void DoFileOpenParent(CWindow* window, uint16_t mods);
    virtual void DoFileDoubleClick(CWindow* window, uint16_t mods);
    void DoFileRefresh(CWindow* window);
    void DoFileNewFolder(CWindow* window);
    void DoFileDelete(CWindow* window);
    void DoFileRename(CWindow* window);
    void DoFileGetInfo(CWindow* window);
    void DoFileSaveInfo(CWindow* window);
    // Hit 1104 with a server item dropped: DoFileMove with what the drag carries.
    virtual void DoFileMoveFromDrop(CWindow* window, const SHitMsgData& drop);
    // A server item dropped on a folder window: moved there, or aliased there with Alt and Ctrl held.
    void DoFileMove(CWindow* window, uint16_t mods, const uint8_t* name, const void* path, uint32_t pathSize);
    void DoFilePreview(CWindow* window);
    // The open folder window of that path (null and 0 for the root), found by its checksum first (0:
    // computed here); null when none.
    CMyFolderWin* GetFolderWinByPath(const void* data, uint32_t size, uint32_t checksum = 0);
    CMyFolderWin* GetRootFolderWin();

    // Transfers (transfers/AppTransfers.cpp, transfers/AppFolderTransfers.cpp).
    void DoFileDownload(CWindow* window, uint16_t mods);
    void DoFileUpload(CWindow* window, uint16_t mods);
    virtual void DoFileUploadFromDrop(CWindow* window, const SHitMsgData& drop);
    // Where a row dragged out of a folder window meets the transfers: the server folder `name` in `path`
    // (null and 0 for the root) into a folder of that name, made a valid local name, inside
    // `parentFolder`; null when not connected.
    CMyDownloadFldrTask* DoDownloadFolder(const void* path, uint32_t pathSize, const uint8_t* name,
                                          TFileSysRefObj* parentFolder, bool queued);
    // A server file downloaded into a local folder; `path` is the server folder holding it. Only the
    // partial file is created there.
    void DoDownloadFileTo(const void* path, uint32_t pathSize, const uint8_t* name, TFileSysRefObj* folder);
    // When a file with the partial-file extension is beside `ref`, `ref` is changed to name it and the
    // answer is true.
    bool FindResumableFile(TFileSysRefObj* ref);
    // Where the options send downloads (created when missing): the desktop's download folder, a folder
    // the user chose, or the program's own: "Leeched Goods" in the program's folder when it exists, else
    // "Downloads". The caller owns the reference.
    TFileSysRefObj* GetDownloadFolder();

    // Preferences and bookmarks (prefs/AppPrefs.cpp).
    // The options dialog; true when the user saved.
    virtual bool DoOptions();
    // Takes the preferences file's settings, or the defaults of a missing one; `outPrefs` (may be null)
    // gets the whole block, with the window places.
    void ReadPrefs(SMyPrefs* outPrefs = nullptr);
    void WritePrefs();
    // Text size clamped to 4-50, stored and applied to the windows at once.
    void SetChatColor(SMyColorInfo& info);
    void SetNewsColor(SMyColorInfo& info);
    // Bookmark files. Texts are length-prefixed; the outputs hold 256 bytes for the address and 32 for
    // login and password.
    void SaveServerFile(TFileSysRefObj* file, const uint8_t* address, const uint8_t* login,
                        const uint8_t* password);
    void ReadServerFile(TFileSysRefObj* file, uint8_t* outAddress, uint8_t* outLogin, uint8_t* outPassword);
    // The bookmarks of the "Servers" folder for the connect dialog's menu; false when there is no such
    // folder.
    bool BuildServerMenu(std::vector<SMyBookmarkItem>& outItems);

    // Trackers (tracker/AppTracker.cpp).
    virtual void DoShowTracker();
    virtual void DoRefreshTracker();
    virtual void DoConnectToTracked(bool withOptions);

    // The desktop (desktop/AppDesktop.cpp). A later start of the program brings the client forward: the
    // toolbar, and on top of it the window the user worked in last, or a dialog that waits for an
    // answer.
    void DoBringClientForward();
    // Where transfers meet the desktop: a file or folder transfer ended (`name`, length-prefixed, is the
    // item's name; `ok` false when it failed). A notice tells the user while the client is in the
    // background; clicking it shows the tasks window. A download that arrived gives its local file or
    // folder (`localPath`), which the notice offers to open or show in its folder.
    virtual void NotifyTransferEnded(const uint8_t* name, bool ok,
                                     const std::string& localPath = std::string());
    // Where the chat meets the desktop: something that `window` is about to show arrived (`name`,
    // length-prefixed, is who sent it, `text` the message, none for an invitation). Call it before the
    // window is shown, which makes it active.
    void NotifyDesktop(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size, CWindow* window);

    // The tray icon (tray/AppTray.cpp): the connection's state, a private message or mention that came
    // while the client was in the background, and whether there is an icon to come back from.
    void ShowTrayConnected(bool connected);
    void MarkTray(EMyNotice kind);
    bool IsTrayShown() const;

private:
    // Box 138 at the first start without sound, remembered in the settings.
    void TellOfMissingSound();

    // Declared in the order they are made and destroyed in the reverse order: the tasks go first (their
    // rows are in the tasks window, tracker queries report to the tracker controller and some tasks
    // still need the connection), the long-lived windows last.
    SMySettings mSettings;
    SMyStatistics mStatistics;
    CMyKeptPasswords mPasswords;
    CMyWindowSet mWindows;
    CMySession mSession;
    CMyFolderWinList mFolderWins;
    CMyChat mChat;
    CMyConnection mConnection;
    // A transfer cut short is told once the session is known to have stayed.
    CMyCutTransferBox mCutTransferBox;
    std::unique_ptr<CMyDesktopNotices> mDesktopNotices;
    std::unique_ptr<CMyTray> mTray;
    std::unique_ptr<CMyTracker> mTracker;
    // Before the tasks: transfers that go tell them.
    std::unique_ptr<CMyTransferQueue> mTransfers;
    CMyTaskList mTaskList;

    void ShowTransferCutBox();
};

extern CMyApplication* gApp;
