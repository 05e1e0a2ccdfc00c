// The one application object: session state, the long-lived windows, and the dispatch of every command,
// hit and message of the client.
#pragma once

#include <cstdint>
#include <vector>

#include "client/app/SMySoundPrefs.h"
#include "client/app/SMyUserAccess.h"
#include "client/widgets/SMyColorInfo.h"
#include "framework/net/SInternetNameAddress.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/CApplication.h"
#include "framework/runtime/CVoidPtrList.h"

struct THdlObj;
struct TFieldDataObj;
struct TTimerObj;
struct TTransactObj;
struct TFileSysRefObj;
class CWindow;
class CMyTask;
class CMyDownloadFldrTask;
class CMyTextWin;
class CMyTaskListView;
class CMyOldChatWin;
class CMyChatWin;
class CMyTasksWin;
class CMyOldToolbarWin;
class CMyUserListWin;
class CMyTracker;
class CMyFolderWin;
class CMySessionWin;
struct SHitMsgData;
struct SMyPrefs;
struct SMyBookmarkItem;
class CMyDesktopNotices;
enum class EMyNotice : uint16_t;

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

    // Start-up, the long-lived windows and what closing a window means (app/AppWindows.cpp).
    void StartUp();
    void DoMacMenuBar(int16_t menu, int16_t item);
    // The show-window rule: a hidden window is shown, a visible one brought to the front.
    virtual void DoShowChatWin();
    virtual void DoShowTasksWin();
    virtual void DoShowNewsWin();
    virtual void DoShowConnectedUsersWin();
    virtual void DoShowToolbarWin();
    virtual void DoCloseWindow(CWindow* window);
    virtual void DoAbout();
    // The connect row of the toolbar while not connected, connecting and connected.
    enum : uint16_t
    {
        kLookNotConnected = 0,
        kLookConnecting = 1,
        kLookConnected = 2,
    };
    virtual void SetToolbarLook(uint16_t look);
    // The toolbar, folder windows and online users window enable their commands from mMyAccess.
    virtual void UpdateAccessCommands();
    // The chat, tasks and news windows name the server in their titles; null or empty names none.
    void DisplayServerName(const uint8_t* name);
    // Where start-up puts the long-lived windows and which it shows: their saved places when those still
    // show on a screen, else their placement codes.
    void PlaceLongLivedWindows(const SMyPrefs& prefs);
    // The places and visibility of the long-lived windows, for the preferences file.
    void GetWindowPlaces(SMyPrefs& prefs) const;
    // mColorChat to the public and every private chat window, mColorNews to the news window.
    void ShowTextColors();
    // The windows that belong to one session: folders, user editing, file information, invitations and
    // private chats (every CMySessionWin).
    virtual void CloseSessionWindows();
    // Sessions are numbered: a window or a modal dialog remembers the number of the session it was
    // opened for and acts only while that session is the current one.
    uint32_t CurrentSession() const { return mSessionSerial; }
    bool IsCurrentSession(uint32_t session) const
    {
        return session == mSessionSerial && (mIsConnected || mTpt);
    }
    void AddSessionWindow(CMySessionWin* window);
    void RemoveSessionWindow(CMySessionWin* window);

    // The task list (tasks/AppTasks.cpp). Tasks add and remove themselves; the application steps them
    // in ProcessAll and reaps finished ones 500 ms after the last one finished. Their rows live in the
    // tasks window.
    void AddTask(CMyTask* task, const uint8_t* desc);
    void RemoveTask(CMyTask* task);
    void FinishTask(CMyTask* task);
    bool IsFirstTask(const CMyTask* task) const;
    virtual void KillFinishedTasks();
    // A null text keeps the row's text.
    void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc);
    void ScheduleTaskProcess();
    virtual void DoStopTask();
    virtual void DoStartTask();

    // The server connection and the transactions the server starts (connection/AppConnection.cpp,
    // connection/AppServerNotices.cpp, app/AppIncoming.cpp).
    // The connect dialog, with an address to put in it or none.
    virtual void DoShowConnect();
    virtual void DoShowConnect(const uint8_t* address);
    // What the connect dialog does with its fields when the user connects.
    void DoConnectFromDialog(const uint8_t* address, const uint8_t* login, const uint8_t* password,
                             const uint8_t* bookmarkName);
    virtual void DoConnect(const uint8_t* address, const uint8_t* name);
    virtual void DoGoURL(const void* text, uint32_t size);
    virtual void DoDisconnect();
    virtual void KillTasksAndDisconnect();
    TTransactObj* MakeTransactor();
    void DisposeTransactor();
    void StartTransactorConnect();
    virtual void ShowNotConnected();
    virtual void ShowConnecting();
    virtual void ShowConnected();
    virtual void ProcessAll();
    void ProcessIncomingData();
    // Adds the time of the current session so far to the online total and restarts its count.
    void AddOnlineTime();
    virtual void ProcessTran_ServerMsg(TFieldDataObj* fields);
    virtual void ProcessTran_ShowAgreement(TFieldDataObj* fields);
    virtual void ProcessTran_DisconnectMsg(TFieldDataObj* fields);
    virtual void DoShowAgreement(THdlObj* text);
    // A numbered box for something that happened on its own (the connection lost, an error): one such box
    // at a time, and what comes while it is up is shown together when it closes. `argument` fills the
    // box's "%#s", or null; with `errorSound` the error's event sound plays as the box opens.
    void ShowNoticeBox(int16_t boxID, const uint8_t* argument = nullptr, bool errorSound = false);

    // Public and private chat, private messages (chat/AppChat.cpp).
    virtual void DoChatSend(bool asAction);
    virtual void ClearPublicChat();
    virtual void DoOpenPrivateChat();
    virtual void DoSendPrivMsg(uint16_t userID, const uint8_t* userName);
    virtual void DoReplyPrivMsg(CWindow* window);
    virtual void DoBringFrontPrivMsg();
    virtual void DoSecret();
    virtual void DoPrivChatSend(CWindow* window, bool asAction);
    virtual void DoAcceptChatInvite(CWindow* window);
    virtual void DoRejectChatInvite(CWindow* window);
    virtual void DoInviteToPrivateChat(CWindow* window, const SHitMsgData& drop);
    virtual void DoPrivChatUserHit(CWindow* window);
    virtual void DoSetChatSubject(CWindow* window);
    virtual void DoClosePrivateChat(CWindow* window);
    virtual void OpenPrivateChatFromReply(uint32_t chatID, const SUserEntry& user);
    virtual bool HasPrivateChat(uint32_t chatID);
    virtual void DestroyPrivateChat(uint32_t chatID);
    virtual void FillPrivateChat(uint32_t chatID, const uint8_t* subject, TFieldDataObj* fields);
    // A user's icon, flags or name changed (301), after the online users list took the change.
    // `oldName` is the name that list knew (full length, never cut), null when the user was not
    // listed: the public chat gets the "is now known as" line when it differs from the new name, and
    // every private chat updates the user in its own list and writes its own line the same way.
    virtual void ShowUserChangeInChats(const SUserEntry& user, const uint8_t* oldName);
    virtual void ProcessTran_ChatMsg(TFieldDataObj* fields);
    virtual void ProcessTran_InviteToChat(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyChatChangeUser(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyChatDeleteUser(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyChatSubject(TFieldDataObj* fields);
    // A private message or broadcast from a user.
    virtual void DoShowMessage(TFieldDataObj* fields, bool isBroadcast);
    // The user's options answer a message or an invitation by themselves. True when the message is to
    // be dropped (the automatic text or the refusal went out when `sendResponse`), or the invitation
    // declined (the text went into that chat).
    virtual bool AutomaticResponseOrRefuseMsg(uint16_t userID, bool sendResponse);
    virtual bool AutomaticResponseOrRefuseChat(uint32_t chatID, const uint8_t* inviterName);
    CMyChatWin* GetChatWinByID(uint32_t chatID) const;
    // The public and private chat windows enable typing from mMyAccess.
    void UpdateChatAccess();
    // Scrambling of the public chat (chat/AppSecret.cpp): on with a key of three characters, off with a
    // key of any other length (the tables stay).
    void SetChatScrambling(const uint8_t* key);

    // Online users and accounts (users/AppUsers.cpp).
    virtual bool GetSelectedUser(uint16_t& outUserID, uint8_t* outUserName);
    virtual void DoNewUser();
    virtual void DoOpenUser();
    virtual void DoSaveEditUser(CWindow* window);
    virtual void DoCancelEditUser(CWindow* window);
    virtual void DoDeleteEditUser(CWindow* window);
    virtual void DoDisconnectUser(uint16_t mods);
    virtual void DoGetClientInfo();
    virtual void SetOnlineUsers(TFieldDataObj* fields);
    virtual void ClearOnlineUsers();
    // Takes the text block.
    virtual void ShowClientInfo(const uint8_t* title, THdlObj* text);
    // The reply of the open-user request; `requestedLogin` is the login it asked for.
    virtual void ShowEditUserWin(TFieldDataObj* fields, const uint8_t* requestedLogin);
    virtual void ProcessTran_NotifyChangeUser(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyDeleteUser(TFieldDataObj* fields);
    virtual void ProcessTran_UserAccess(TFieldDataObj* fields);

    // News and broadcast (news/AppNews.cpp).
    virtual void DoPostNewsWin();
    virtual void DoBroadcastWin();
    // Takes the block: the whole news text.
    virtual void SetNewsText(THdlObj* text);
    // A news article was posted: it goes on top of the news text.
    virtual void ProcessTran_NewMsg(TFieldDataObj* fields);
    // A broadcast is shown as a private message that is never answered.
    virtual void ProcessTran_UserBroadcast(TFieldDataObj* fields);

    // Folder windows and file commands (files/AppFiles.cpp).
    virtual void DoShowPublicFiles();
    virtual void DoCloseAllFileWindows();
    virtual void DoFileOpenParent(CWindow* window, uint16_t mods);
    virtual void DoFileDoubleClick(CWindow* window, uint16_t mods);
    virtual void DoFileRefresh(CWindow* window);
    virtual void DoFileNewFolder(CWindow* window);
    virtual void DoFileDelete(CWindow* window);
    virtual void DoFileGetInfo(CWindow* window);
    virtual void DoFileSaveInfo(CWindow* window);
    virtual void DoFileInfoEdited(CWindow* window);
    virtual void DoFileMoveFromDrop(CWindow* window, const SHitMsgData& drop);
    // A server item dropped on a folder window: moved there, or aliased there with Alt and Ctrl held.
    virtual void DoFileMove(CWindow* window, uint16_t mods, const uint8_t* name, const void* path,
                            uint32_t pathSize);
    virtual void DoFilePreview(CWindow* window);
    // The open folder window of that path (null and 0 for the root), found by its checksum first (0:
    // computed here); null when none.
    CMyFolderWin* GetFolderWinByPath(const void* data, uint32_t size, uint32_t checksum = 0);
    CMyFolderWin* GetRootFolderWin();
    // Refills the folder window showing that path (null and 0 for the root); false when there is none.
    virtual bool FillFolderList(const void* path, uint32_t pathSize, TFieldDataObj* fields);
    // Asks again for the listing of the folder window showing that path, when one is open: a change the
    // server confirmed shows at once.
    virtual void RefreshFolderWin(const void* path, uint32_t pathSize);
    // What a folder window offers the transfer commands: its path and its selected item (an empty name
    // without a selection). False when the window is not a folder window.
    struct SMyFolderItem
    {
        std::vector<uint8_t> path;
        uint8_t name[256] = {};
        uint32_t type = 0;
        bool isFolder = false;
    };
    bool GetFolderItem(CWindow* window, SMyFolderItem& outItem);
    // The folder window's listing shows a partly uploaded copy of that name.
    bool FolderHasPartialUpload(CWindow* window, const uint8_t* name);
    // The next local file dropped on the folder window; the caller owns it. Null when none is left.
    TFileSysRefObj* TakeFolderDrop(CWindow* window);
    // Takes the path block (the folder holding the item, null for the root).
    virtual void ShowFileInfo(const uint8_t* name, const uint8_t* comment, const uint8_t* info, int16_t icon,
                              void* pathData, uint32_t pathSize);

    // Transfers (transfers/AppTransfers.cpp).
    virtual void DoFileDownload(CWindow* window, uint16_t mods);
    virtual void DoFileUpload(CWindow* window, uint16_t mods);
    virtual void DoFileUploadFromDrop(CWindow* window, const SHitMsgData& drop);
    // Folder downloads (transfers/AppFolderTransfers.cpp): the server folder `name` in `path` (null and 0
    // for the root) into a folder of that name, made a valid local name, inside `parentFolder`; null when
    // not connected.
    virtual CMyDownloadFldrTask* DoDownloadFolder(const void* path, uint32_t pathSize, const uint8_t* name,
                                                  TFileSysRefObj* parentFolder, bool queued);
    // A server file downloaded into a local folder (a row of a folder window dragged out and dropped
    // there); `path` is the server folder holding it. Only the partial file is created there.
    virtual void DoDownloadFileTo(const void* path, uint32_t pathSize, const uint8_t* name,
                                  TFileSysRefObj* folder);
    // One local file into the server folder of `path`, after the resume question when the window lists
    // a partial copy of it; false when the user cancelled (or the session ended meanwhile).
    bool UploadFile(CWindow* window, const std::vector<uint8_t>& path, TFileSysRefObj* file, bool queue,
                    uint32_t session);
    // When a file with the partial-file extension is beside `ref`, `ref` is changed to name it and the
    // answer is true.
    bool FindResumableFile(TFileSysRefObj* ref);
    // "Leeched Goods" in the program's folder when it exists, else "Downloads" (created when missing).
    // The caller owns the reference.
    TFileSysRefObj* GetDownloadFolder();

    // Preferences and bookmarks (prefs/AppPrefs.cpp).
    // The options dialog; true when the user saved.
    virtual bool DoOptions();
    // Takes the preferences file's settings, or the defaults of a missing one; `outPrefs` (may be null)
    // gets the whole block, with the window places.
    virtual void ReadPrefs(SMyPrefs* outPrefs = nullptr);
    virtual void WritePrefs();
    // The tracker block of the preferences file, at `offset` of the open file right behind the fixed
    // block: the one place where the tracker controller reads and writes its part.
    void ReadTrackerPrefs(TFileSysRefObj* file, uint32_t offset);
    void WriteTrackerPrefs(TFileSysRefObj* file, uint32_t offset);
    // Text size clamped to 4-50, stored and applied to the windows at once.
    virtual void SetChatColor(SMyColorInfo& info);
    virtual void SetNewsColor(SMyColorInfo& info);
    // Bookmark files. Texts are length-prefixed; the outputs hold 256 bytes for the address and
    // sizeof(mUserLogin) for login and password.
    void SaveServerFile(TFileSysRefObj* file, const uint8_t* address, const uint8_t* login,
                        const uint8_t* password);
    void ReadServerFile(TFileSysRefObj* file, uint8_t* outAddress, uint8_t* outLogin, uint8_t* outPassword);
    // The bookmarks of the "Servers" folder for the connect dialog's menu; false when there is no such
    // folder.
    bool BuildServerMenu(std::vector<SMyBookmarkItem>& outItems);
    // Save... of the connect dialog: asks where, then writes the entries as a bookmark.
    void DoSaveBookmark(const uint8_t* address, const uint8_t* login, const uint8_t* password);
    // Reads a bookmark file's address and login and connects to it.
    virtual void OpenBookmark(TFileSysRefObj* ref);

    // Trackers (tracker/AppTracker.cpp).
    virtual void DoShowTracker();
    virtual void DoRefreshTracker();
    virtual void DoConnectToTracked(bool withOptions);
    // The tracker controller sees every hit first; true when it took it.
    virtual bool TrackerWindowHit(CWindow* window, const SHitMsgData& hit);

    // The desktop (desktop/AppDesktop.cpp): a later start of the program, and notices on the desktop
    // while none of the client's windows is active.
    // A later start of the program brings the client forward: the toolbar, and on top of it the window
    // the user worked in last, or a dialog that waits for an answer.
    virtual void DoBringClientForward();
    // A file or folder transfer ended: `name` (length-prefixed) is the item's name, `ok` false when the
    // transfer failed. A notice tells the user while the client is in the background; clicking it shows
    // the tasks window.
    virtual void NotifyTransferEnded(const uint8_t* name, bool ok);
    // Something that `window` is about to show arrived: `name` (length-prefixed) is who sent it, `text`
    // the message (none for an invitation). Call it before the window is shown, which makes it active.
    void NotifyDesktop(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size, CWindow* window);
    // The notices and their switch, made on first use.
    CMyDesktopNotices& DesktopNotices();

    bool IsConnected() const { return mIsConnected; }

    // Persisted statistics.
    uint32_t mTotalBytesUploaded = 0;
    uint32_t mTotalBytesDownloaded = 0;
    uint32_t mTotalSecsOnline = 0;
    uint32_t mTotalChatBytes = 0;
    uint32_t mConnectStartSecs = 0;
    uint32_t mBasePortNum = 0;
    SInternetNameAddress mAddress{};
    SInternetNameAddress mFirewallAddress{};
    uint8_t mUserName[32] = {};
    uint8_t mUserLogin[32] = {};
    uint8_t mUserPassword[32] = {};
    TTransactObj* mTpt = nullptr;
    CPtrList<CMyTask> mTaskList;
    THdlObj* mAgreementText = nullptr;
    TTimerObj* mFinishTaskTimer = nullptr;
    uint16_t mIconID = 414;

    uint16_t mIsConnected : 1;
    uint16_t mIsLeechMode : 1;
    uint16_t mScramChat : 1;
    uint16_t mSoundDisabled : 1;
    uint16_t mShowPrivMsgAtBack : 1;
    uint16_t mPorkMode : 1;
    uint16_t mQueueTransfers : 1;
    uint16_t mShowJoinLeaveInChat : 1;
    uint16_t mRefusePrivateMsg : 1;
    uint16_t mRefusePrivateChat : 1;
    uint16_t mAutomaticResponse : 1;

    uint8_t mAutomaticResponseText[128] = {};
    uint8_t* mScramTable = nullptr;
    uint8_t* mUnscramTable = nullptr;
    SMyColorInfo mColorChat = kDefaultColorInfo;
    SMyColorInfo mColorNews = kDefaultColorInfo;
    SMyUserAccess mMyAccess{};
    SMySoundPrefs mSoundPrefs{};

    CMyTextWin* mNewsWin = nullptr;
    CMyOldChatWin* mChatWin = nullptr;
    CMyTasksWin* mTasksWin = nullptr;
    CMyOldToolbarWin* mToolsWin = nullptr;
    CMyUserListWin* mConnectedUsersWin = nullptr;
    CMyTracker* mTracker = nullptr;
    CPtrList<CMyFolderWin> mFolderWinList;
    CPtrList<CMySessionWin> mSessionWinList;
    CMyDesktopNotices* mDesktopNotices = nullptr;
    // Changes whenever a session ends, so that what was opened for it can tell.
    uint32_t mSessionSerial = 1;

    // Destroys the tasks, news, chat and online users windows when the application goes, after the
    // destructor's body has destroyed the tasks (whose rows are in the tasks window).
    struct StLongLivedWindows
    {
        CMyApplication* app;
        ~StLongLivedWindows();
    } mLongLivedWindows{this};

protected:
    void InstallKeyCommands();
    // The five long-lived windows are hidden, never destroyed, when closed.
    bool IsLongLivedWindow(const CWindow* window) const;
    void ShowOrBringToFront(CWindow* window);
    // The tasks window's rows; null before start-up.
    CMyTaskListView* TaskRows() const;
    // A new folder window for that path, listed, shown and in front.
    CMyFolderWin* NewFolderWin(const void* path, uint32_t pathSize, const uint8_t* title);
    // Shows the folder of that path: its open window comes forward; otherwise `from` is sent there
    // (retarget) or a new window opens, and its listing is asked for.
    void ShowFolder(CMyFolderWin* from, const void* path, uint32_t pathSize, const uint8_t* title,
                    bool retarget);
};

extern CMyApplication* gApp;
