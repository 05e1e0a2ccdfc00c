// The one application object: the front that the rest of the client calls. Its operations are the
// client's commands, the handlers of what the server starts, and the task list's operations; each hands
// over to the object that owns the work (the session, the task list, the window set, the folder windows,
// the chat, the tracker controller, the desktop notices), and each of those keeps its own state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/app/CMyFeatures.h"
#include "client/app/EMyNotice.h"
#include "framework/net/UFieldRecords.h"
#include "framework/runtime/CApplication.h"

struct THdlObj;
struct TFieldDataObj;
struct TTimerObj;
struct TFileSysRefObj;
class CWindow;
class CMyTask;
class CMyChatWin;
class CMyTracker;
class CMyFolderWin;
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

    // The owners of the features, for the features and the tests.
    CMyFeatures& Features() { return mFeatures; }

    // Start-up, the long-lived windows and what closing a window means (app/AppWindows.cpp).
    void StartUp();
    void DoMacMenuBar(int16_t menu, int16_t item);
    // The show-window rule: a hidden window is shown, a visible one brought to the front.
    virtual void DoShowChatWin();
    virtual void DoShowTasksWin();
    virtual void DoShowNewsWin();
    virtual void DoShowConnectedUsersWin();
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
    // The tasks window's Stop and Start act on its selected row (app/AppTaskRows.cpp).
    void DoStartTask();

    // The server connection and the transactions the server starts (connection/AppConnection.cpp,
    // connection/AppServerNotices.cpp, app/AppIncoming.cpp).
    // The connect dialog, with an address to put in it or none.
    virtual void DoShowConnect();
    void DoShowConnect(const uint8_t* address);
    virtual void DoConnect(const uint8_t* address, const uint8_t* name);
    virtual void DoGoURL(const void* text, uint32_t size);
    virtual void DoDisconnect();
    virtual void KillTasksAndDisconnect();
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
    void DoOpenPrivateChat();
    virtual void DoSendPrivMsg(uint16_t userID, const uint8_t* userName);
    void DoReplyPrivMsg(CWindow* window);
    virtual void DoBringFrontPrivMsg();
    virtual void DoSecret();
    void DoPrivChatSend(CWindow* window, bool asAction);
    void DoAcceptChatInvite(CWindow* window);
    void DoRejectChatInvite(CWindow* window);
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
    void DoFileGetInfo(CWindow* window);
    void DoFileSaveInfo(CWindow* window);
    // A server item dropped on a folder window: moved there, or aliased there with Alt and Ctrl held.
    virtual void DoFileMove(CWindow* window, uint16_t mods, const uint8_t* name, const void* path,
                            uint32_t pathSize);
    void DoFilePreview(CWindow* window);
    // The open folder window of that path (null and 0 for the root), found by its checksum first (0:
    // computed here); null when none.
    CMyFolderWin* GetFolderWinByPath(const void* data, uint32_t size, uint32_t checksum = 0);
    CMyFolderWin* GetRootFolderWin();

    // Transfers (transfers/AppTransfers.cpp, transfers/AppFolderTransfers.cpp).
    void DoFileDownload(CWindow* window, uint16_t mods);
    void DoFileUpload(CWindow* window, uint16_t mods);
    virtual void DoFileUploadFromDrop(CWindow* window, const SHitMsgData& drop);
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

private:
    CMyFeatures mFeatures;
    // The owners the front's operations hand over to, by their short names.
    SMySettings& mSettings;
    SMyStatistics& mStatistics;
    CMyKeptPasswords& mPasswords;
    CMyWindowSet& mWindows;
    CMySession& mSession;
    CMyFolderWinList& mFolderWins;
    CMyChat& mChat;
    CMyConnection& mConnection;
    CMyCutTransferBox& mCutTransferBox;
    CMyDesktopHost& mDesktop;
    CMyTransferQueue* const mTransfers;
    CMyTaskList& mTaskList;
};

extern CMyApplication* gApp;
