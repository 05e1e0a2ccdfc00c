// The one application object: session state, the long-lived windows, and the dispatch of every command,
// hit and message of the client.
#pragma once

#include <cstdint>

#include "client/SMyColorInfo.h"
#include "client/SMySoundPrefs.h"
#include "client/SMyUserAccess.h"
#include "framework/net/SInternetNameAddress.h"
#include "framework/runtime/CApplication.h"
#include "framework/runtime/CVoidPtrList.h"

struct THdlObj;
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
    virtual void KillFinishedTasks();
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

protected:
    void InstallKeyCommands();
    // The five long-lived windows are hidden, never destroyed, when closed.
    bool IsLongLivedWindow(const CWindow* window) const;
    void ShowOrBringToFront(CWindow* window);
    void PlaySound(int16_t sound, bool enabled);
};

extern CMyApplication* gApp;
