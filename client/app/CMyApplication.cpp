#include "client/app/CMyApplication.h"

#include "client/app/AppNumbers.h"
#include "client/app/CMyAboutWin.h"
#include "client/app/UMyCommands.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/connection/CMyLoginTask.h"
#include "client/core/CMyTask.h"
#include "client/news/CMyNewsTasks.h"
#include "client/tracker/CMyTracker.h"
#include "client/transfers/CMyTransferQueue.h"
#include "client/users/CMyUserTasks.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"

CMyApplication* gApp = nullptr;

CMyApplication::CMyApplication()
    : mFeatures(CApplication::MessageHandler, this), mSettings(mFeatures.Settings()),
      mStatistics(mFeatures.Statistics()), mPasswords(mFeatures.Passwords()), mWindows(mFeatures.Windows()),
      mSession(mFeatures.Session()), mFolderWins(mFeatures.FolderWins()), mChat(mFeatures.Chat()),
      mConnection(mFeatures.Connection()), mCutTransferBox(mFeatures.CutTransferBox()),
      mDesktop(mFeatures.Desktop()), mTransfers(&mFeatures.Transfers()), mTaskList(mFeatures.Tasks())
{
    // The requests that open every session, in this order: they belong to the connection, the users and
    // the news, which meet here.
    mConnection.SetSessionStart(
        [this]
        {
            new CMyLoginTask(mSession.UserLogin(), mSession.UserPassword());
            new CMyGetOnlineUsersTask();
            new CMyGetNewsTask();
        });
    mFolderWins.SetDownloadProc(
        [this](const void* path, uint32_t pathSize, const uint8_t* name, TFileSysRefObj* into, bool isFolder)
        {
            if (isFolder)
                return mTransfers->DownloadFolder(path, pathSize, name, into, mSettings.queueTransfers) !=
                       nullptr;
            mTransfers->DownloadFileTo(path, pathSize, name, into);
            return true;
        });
    mTransfers->SetQueuedProc([this] { return mSettings.queueTransfers; });
    mTransfers->SetEndedProc([this](const uint8_t* name, bool ok, const std::string& localPath)
                             { mDesktop.NotifyTransferEnded(name, ok, localPath); });
    // A log that cannot be written says so once a session, in the public chat, and nowhere else.
    mChat.Log().SetFailureProc(
        [this](const std::string& text)
        {
            if (CMyOldChatWin* chat = mWindows.Chat()) chat->AppendNote(text.data(), uint32_t(text.size()));
        });
    gApp = this;
    // Without an audio output the program goes on silently; start-up says so once.
    USound::Init();
    // At the end of a session its folder windows go first, then its other windows.
    mSession.AddListener(&mFolderWins);
    mSession.AddListener(&mWindows);
    UApplication::SetCanOpenDocuments(true);
    const std::vector<SKeyCmd> keys = UMyCommands::KeyTable();
    UKeyCommands::Install(keys.data(), uint32_t(keys.size()), CApplication::MessageHandler, this);
}

CMyApplication::~CMyApplication()
{
    // The members go in the reverse order of their declaration, the tasks first; what they do as they
    // go no longer reaches the application.
    if (gApp == this) gApp = nullptr;
    mTransfers->Closing();
}

void CMyApplication::DoAbout()
{
    mSession.AddOnlineTime();
    CMyAboutWin::Run(mStatistics);
}

void CMyApplication::Timer(TTimerObj* timer)
{
    if (mTaskList.IsReapTimer(timer)) KillFinishedTasks();
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
    {
        uint8_t address[256], login[32], password[32];
        ReadServerFile(ref, address, login, password);
        if (!mConnection.MayConnectElsewhere(address, name)) return;
        mSession.SetLogin(login, password);
        DoConnect(address, name);
        if (!password[0] && login[0]) mConnection.LookUpLoginPassword(address, login);
    }
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
