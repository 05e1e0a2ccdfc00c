// The one application object: session state, the long-lived windows, and the dispatch of every command,
// hit and message of the client.
#pragma once

#include <cstdint>
#include <vector>

#include "client/app/SMyColorInfo.h"
#include "client/app/SMySoundPrefs.h"
#include "client/app/SMyUserAccess.h"
#include "client/tasks/CMyTaskRows.h"
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
class CMyTextWin;
class CMyOldChatWin;
class CMyTasksWin;
class CMyOldToolbarWin;
class CMyUserListWin;
class CMyTracker;
class CMyFolderWin;
struct SHitMsgData;

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

    void StartUp();
    void DoMacMenuBar(int16_t menu, int16_t item);

    // The show-window rule: a hidden window is shown, a visible one brought to the front.
    virtual void DoShowChatWin();
    virtual void DoShowTasksWin();
    virtual void DoShowNewsWin();
    virtual void DoShowConnectedUsersWin();
    virtual void DoShowToolbarWin();
    virtual void DoShowTracker();
    virtual void DoRefreshTracker();
    virtual void DoCloseWindow(CWindow* window);
    virtual void DoCloseAllFileWindows();
    virtual void DoAbout();

    // Operations of the connection, chat, users, files, preferences and news; they do nothing until
    // their part of the client is built.
    // The connect dialog without an address to put in it.
    virtual void DoShowConnect();
    virtual void DoShowPublicFiles();
    virtual void DoBringFrontPrivMsg();
    virtual void DoSecret();
    virtual void DoFileOpenParent(CWindow* window, uint16_t mods);
    virtual void DoPostNewsWin();
    virtual void DoNewUser();
    virtual void DoOpenUser();
    virtual void DoOptions();
    virtual void DoDisconnect();
    virtual void KillTasksAndDisconnect();
    virtual void DoChatSend(bool asAction);
    virtual void ClearPublicChat();
    virtual void DoOpenPrivateChat();
    virtual void DoStopTask();
    virtual void DoStartTask();
    virtual bool GetSelectedUser(uint16_t& outUserID, uint8_t* outUserName);
    virtual void DoSendPrivMsg(uint16_t userID, const uint8_t* userName);
    virtual void DoSaveEditUser(CWindow* window);
    virtual void DoCancelEditUser(CWindow* window);
    virtual void DoDeleteEditUser(CWindow* window);
    virtual void DoDisconnectUser(uint16_t mods);
    virtual void DoReplyPrivMsg(CWindow* window);
    virtual void DoGetClientInfo();
    virtual void DoConnectToTracked(bool withOptions);
    virtual void DoPrivChatSend(CWindow* window, bool asAction);
    virtual void DoAcceptChatInvite(CWindow* window);
    virtual void DoRejectChatInvite(CWindow* window);
    virtual void DoInviteToPrivateChat(CWindow* window, const SHitMsgData& drop);
    virtual void DoPrivChatUserHit(CWindow* window);
    virtual void DoSetChatSubject(CWindow* window);
    virtual void DoBroadcastWin();
    virtual void DoFilePreview(CWindow* window);
    virtual void DoFileDownload(CWindow* window, uint16_t mods);
    virtual void DoFileUpload(CWindow* window, uint16_t mods);
    virtual void DoFileDelete(CWindow* window);
    virtual void DoFileRefresh(CWindow* window);
    virtual void DoFileUploadFromDrop(CWindow* window, const SHitMsgData& drop);
    virtual void DoFileMoveFromDrop(CWindow* window, const SHitMsgData& drop);
    virtual void DoFileDoubleClick(CWindow* window, uint16_t mods);
    virtual void DoFileNewFolder(CWindow* window);
    virtual void DoFileGetInfo(CWindow* window);
    virtual void DoFileSaveInfo(CWindow* window);
    virtual void DoFileInfoEdited(CWindow* window);
    virtual void DoClosePrivateChat(CWindow* window);
    virtual void DoGoURL(const void* text, uint32_t size);
    virtual void DoShowAgreement(THdlObj* text);
    virtual void ProcessAll();
    virtual void ReadPrefs();
    virtual void WritePrefs();

    // The task list. Tasks add and remove themselves; the application steps them in ProcessAll and
    // reaps finished ones 500 ms after the last one finished.
    void AddTask(CMyTask* task, const uint8_t* desc);
    void RemoveTask(CMyTask* task);
    void FinishTask(CMyTask* task);
    bool IsFirstTask(const CMyTask* task) const;
    virtual void KillFinishedTasks();
    // A null text keeps the row's text.
    void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* desc);
    void ScheduleTaskProcess();
    // "1.4K/sec 10K/1M 11:16": rate, bytes done, bytes in all, time left. kUnknownTimeLeft shows "?".
    static constexpr uint32_t kUnknownTimeLeft = 0xFFFFFFFF;
    static void GetTransferStatText(uint32_t xferSize, uint32_t totalSize, uint32_t bps, uint32_t etr,
                                    uint8_t* outText);

    // The server connection.
    virtual void DoShowConnect(const uint8_t* address);
    // What the connect dialog does with its fields when the user connects.
    void DoConnectFromDialog(const uint8_t* address, const uint8_t* login, const uint8_t* password,
                             const uint8_t* bookmarkName);
    virtual void DoConnect(const uint8_t* address, const uint8_t* name);
    TTransactObj* MakeTransactor();
    void DisposeTransactor();
    void StartTransactorConnect();
    virtual void ShowNotConnected();
    virtual void ShowConnecting();
    virtual void ShowConnected();
    void DisplayServerName(const uint8_t* name);
    void ProcessIncomingData();
    // Shows a reply's server text and raises 1/1 when the reply carries an error code.
    void CheckServerError(uint32_t error, TFieldDataObj* reply);
    // Adds the time of the current session so far to the online total and restarts its count.
    void AddOnlineTime();
    void PlaySound(int16_t sound, bool enabled);

    // Transactions the server starts.
    virtual void ProcessTran_NewMsg(TFieldDataObj* fields);
    virtual void ProcessTran_ServerMsg(TFieldDataObj* fields);
    virtual void ProcessTran_ChatMsg(TFieldDataObj* fields);
    virtual void ProcessTran_ShowAgreement(TFieldDataObj* fields);
    virtual void ProcessTran_DisconnectMsg(TFieldDataObj* fields);
    virtual void ProcessTran_InviteToChat(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyChatChangeUser(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyChatDeleteUser(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyChatSubject(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyChangeUser(TFieldDataObj* fields);
    virtual void ProcessTran_NotifyDeleteUser(TFieldDataObj* fields);
    virtual void ProcessTran_UserAccess(TFieldDataObj* fields);
    virtual void ProcessTran_UserBroadcast(TFieldDataObj* fields);
    // A private message or broadcast from a user.
    virtual void DoShowMessage(TFieldDataObj* fields, bool isBroadcast);

    // Where replies and state changes meet windows. Each does the part that needs no window; the
    // windows take over the rest when they exist.
    enum : uint16_t
    {
        kLookNotConnected = 0,
        kLookConnecting = 1,
        kLookConnected = 2,
    };
    virtual void SetToolbarLook(uint16_t look);
    // The toolbar, folder windows and online users window enable their commands from mMyAccess.
    virtual void UpdateAccessCommands();
    // Applies mChatTitle, mTasksTitle and mNewsTitle to their windows.
    virtual void ApplyWindowTitles();
    // Takes the block: the whole news text.
    virtual void SetNewsText(THdlObj* text);
    virtual void SetOnlineUsers(TFieldDataObj* fields);
    virtual void ClearOnlineUsers();
    // The windows that belong to one session: folders, user editing, file information, invitations and
    // private chats.
    virtual void CloseSessionWindows();
    // Takes the text block.
    virtual void ShowClientInfo(const uint8_t* title, THdlObj* text);
    // Takes the path block (the folder holding the item, null for the root).
    virtual void ShowFileInfo(const uint8_t* name, const uint8_t* comment, const uint8_t* info, int16_t icon,
                              void* pathData, uint32_t pathSize);
    virtual void ShowEditUserWin(TFieldDataObj* fields);
    virtual void OpenPrivateChatFromReply(uint32_t chatID, const SUserEntry& user);
    // Refills the folder window showing that path (null and 0 for the root); false when there is none.
    virtual bool FillFolderList(const void* path, uint32_t pathSize, TFieldDataObj* fields);
    virtual bool HasPrivateChat(uint32_t chatID);
    virtual void DestroyPrivateChat(uint32_t chatID);
    virtual void FillPrivateChat(uint32_t chatID, const uint8_t* subject, TFieldDataObj* fields);
    // The tracker controller sees every hit first; true when it took it.
    virtual bool TrackerWindowHit(CWindow* window, const SHitMsgData& hit);
    // Reads a bookmark file's address and login and connects to it.
    virtual void OpenBookmark(TFileSysRefObj* ref);

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

    // The rows of the tasks window, kept here so that tasks can run before and without the window.
    CMyTaskRows mTaskRows;
    // What the windows show until they exist to show it.
    uint16_t mToolbarLook = kLookNotConnected;
    uint8_t mChatTitle[128] = {};
    uint8_t mTasksTitle[128] = {};
    uint8_t mNewsTitle[128] = {};
    THdlObj* mNewsText = nullptr;
    std::vector<SUserEntry> mOnlineUsers;

    // Destroys the tasks, news, chat and online users windows when the application goes; it comes last
    // so that it runs before the other members (the task rows) are gone.
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
};

extern CMyApplication* gApp;
