#include "client/app/CMyApplication.h"

#include <QApplication>
#include <QCursor>
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyAboutWin.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/UNoticeBox.h"
#include "client/boxes/USound.h"
#include "client/desktop/CMyDesktopNotices.h"
#include "client/tasks/CMyTask.h"
#include "client/tracker/CMyTracker.h"
#include "framework/files/UFileSys.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CWindow.h"

CMyApplication* gApp = nullptr;

CMyApplication::CMyApplication()
    : mIsConnected(0), mIsLeechMode(0), mScramChat(0), mSoundDisabled(0), mShowPrivMsgAtBack(0), mPorkMode(0),
      mQueueTransfers(1), mShowJoinLeaveInChat(1), mRefusePrivateMsg(0), mRefusePrivateChat(0),
      mAutomaticResponse(0)
{
    gApp = this;
    if (!USound::Init()) mSoundDisabled = 1;
    mFirewallAddress.type = kInternetNameAddressType;
    mAddress.type = kInternetNameAddressType;
    mMyAccess.SetAll();
    std::memset(&mSoundPrefs, 0xFF, sizeof(mSoundPrefs));
    mFinishTaskTimer = UTimer::New(CApplication::MessageHandler, this);
    UApplication::SetCanOpenDocuments(true);
    InstallKeyCommands();
}

CMyApplication::~CMyApplication()
{
    // Tasks leave the list as they are destroyed, and some of them still need the connection.
    while (CMyTask* task = mTaskList.GetItem(1))
        delete task;
    // After the tasks: a tracker query that goes unfinished reports to the controller.
    delete mTracker;
    mTracker = nullptr;
    delete mDesktopNotices;
    mDesktopNotices = nullptr;
    UTransact::Dispose(mTpt);
    mTpt = nullptr;
    UTimer::Dispose(mFinishTaskTimer);
    UMemory::Dispose(mAgreementText);
    delete[] mScramTable;
    delete[] mUnscramTable;
    // Private chats, invitations and the other windows of the session go with it, as at a disconnect.
    CloseSessionWindows();
    mTaskList.Clear();
    delete mToolsWin;
    if (gApp == this) gApp = nullptr;
}

void CMyApplication::DoAbout()
{
    AddOnlineTime();
    CMyAboutWin::Run(*this);
}

void CMyApplication::Timer(TTimerObj* timer)
{
    if (timer == mFinishTaskTimer) KillFinishedTasks();
}

void CMyApplication::Error(const SError& error)
{
    // Errors are notices too: a failure repeated by every transaction of a burst must not stack its
    // alerts inside each other.
    if (error.silent) return;
    if (error.type != kErrTypeTransport)
    {
        char text[400];
        const uint32_t size = UError::GetAlertText(error, text, sizeof text);
        UNoticeBox::Show(kMsgError, text, size,
                         [](const void* all, uint32_t allSize)
                         { UError::AlertText(static_cast<const char*>(all), allSize); });
        return;
    }
    UApplication::ShowWantsAttention();
    uint8_t text[256];
    text[0] = uint8_t(UError::GetMessage(error, text + 1, 255));
    ShowNoticeBox(kBoxNetworkError, text, true);
}

void CMyApplication::OpenDocument(TFileSysRefObj* ref)
{
    uint32_t type = 0, creator = 0;
    uint8_t name[256];
    UFileSys::GetTypeAndCreatorCode(ref, type, creator);
    UFileSys::GetName(ref, name);
    // Only the client's own bookmarks open; its other kinds of document each have their own refusal.
    if (creator != FourCC("QVLC"))
        MsgBox(kBoxNotOurDocument, name);
    else if (type == FourCC("QVbm"))
        OpenBookmark(ref);
    else if (type == FourCC("QVtb"))
        MsgBox(kBoxUnsupportedKind, name);
    else if (type == FourCC("QVss"))
        MsgBox(kBoxUnsupportedKind2, name);
    else
        MsgBox(kBoxNotOurDocument, name);
}

void CMyApplication::UserQuit()
{
    DoDisconnect();
    try
    {
        WritePrefs();
    }
    catch (const SError& error)
    {
        // The user hears why the settings were not saved, but a disk that refuses them must not keep the
        // program from quitting; the previous file is still there.
        Error(error);
    }
    CApplication::UserQuit();
}
