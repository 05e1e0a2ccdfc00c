// The objects that own the client's features, in one place: the user's settings (the options dialog and
// the preferences file change them; everyone else reads them), the usage totals, the kept passwords, the
// long-lived windows, the server session, the open folder windows, the chat, the connection's start and
// comeback, the desktop (its notices and tray icon), the tracker controller, the unfinished transfers
// and the running tasks. The front holds one; the features and the tests reach the owner they need
// through it, and each owner keeps its own state.
#pragma once

#include <memory>

#include "client/app/CMyWindowSet.h"
#include "client/chat/CMyChat.h"
#include "client/connection/CMyConnection.h"
#include "client/core/CMyKeptPasswords.h"
#include "client/core/CMySession.h"
#include "client/core/CMyTaskList.h"
#include "client/core/SMySettings.h"
#include "client/core/SMyStatistics.h"
#include "client/desktop/CMyDesktop.h"
#include "client/files/CMyFolderWinList.h"
#include "client/transfers/CMyCutTransferBox.h"
#include "framework/runtime/MessageProc.h"

class CMyTracker;
class CMyTransferQueue;

class CMyFeatures
{
public:
    // The session's and the task list's messages go to `handler` with `context` (the application).
    CMyFeatures(TMessageProc handler, void* context);
    ~CMyFeatures();
    CMyFeatures(const CMyFeatures&) = delete;
    CMyFeatures& operator=(const CMyFeatures&) = delete;

    SMySettings& Settings() { return mSettings; }
    SMyStatistics& Statistics() { return mStatistics; }
    // Passwords of bookmarks, trackers and recent servers: in the keyring when there is one.
    CMyKeptPasswords& Passwords() { return mPasswords; }
    CMyWindowSet& Windows() { return mWindows; }
    CMySession& Session() { return mSession; }
    CMyFolderWinList& FolderWins() { return mFolderWins; }
    CMyChat& Chat() { return mChat; }
    CMyConnection& Connection() { return mConnection; }
    CMyDesktopHost& Desktop() { return mDesktop; }
    // Null before start-up.
    CMyTracker* Tracker() const { return mTracker.get(); }
    // The unfinished transfers, kept across sessions and runs.
    CMyTransferQueue& Transfers() { return *mTransfers; }
    // The running tasks, and the transfer limits they share.
    CMyTaskList& Tasks() { return mTaskList; }
    // A transfer cut short is told once the session is known to have stayed.
    CMyCutTransferBox& CutTransferBox() { return mCutTransferBox; }

    // At start-up, first: the preferences read the tracker block into it.
    void StartTracker();

private:
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
    CMyCutTransferBox mCutTransferBox;
    CMyDesktop mDesktop;
    std::unique_ptr<CMyTracker> mTracker;
    // Before the tasks: transfers that go tell them.
    std::unique_ptr<CMyTransferQueue> mTransfers;
    CMyTaskList mTaskList;
};
