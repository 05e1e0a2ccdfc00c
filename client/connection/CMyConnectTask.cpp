#include "client/connection/CMyConnectTask.h"

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/connection/CMyLoginTask.h"
#include "client/news/CMyNewsTasks.h"
#include "client/users/CMyUserTasks.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/UApplication.h"

CMyConnectTask::CMyConnectTask()
    : CMyTask(reinterpret_cast<const uint8_t*>("\x17"
                                               "Connecting to Server..."))
{
    gApp->MakeTransactor();
    gApp->ScheduleTaskProcess();
}

CMyConnectTask::~CMyConnectTask()
{
    // Stopped or failed before the connection was up: nothing of it may stay behind.
    if (!mIsFinished && gApp)
    {
        gApp->DisposeTransactor();
        gApp->ShowNotConnected();
    }
}

void CMyConnectTask::Process()
{
    if (mStage == 1)
    {
        gApp->StartTransactorConnect();
        gApp->ShowConnecting();
        gApp->SetTaskProgress(this, 1, 3, nullptr);
        mStage = 2;
        return;
    }
    if (mStage != 2) return;
    uint16_t status;
    try
    {
        status = UTransact::GetConnectStatus(gApp->mTpt);
    }
    catch (const SError& error)
    {
        if (error.type == kErrTypeGeneral && error.id == 7)
        {
            // The box tells the user; the error itself must not add a second alert.
            UApplication::PostMessage(kMsgVersionRefused);
            FailSilent(kErrTypeGeneral, 7);
        }
        throw;
    }
    if (status == 2)
        gApp->SetTaskProgress(this, 2, 3, nullptr);
    else if (status == 3)
    {
        gApp->SetTaskProgress(this, 3, 3, nullptr);
        Finish();
        gApp->ShowConnected();
        new CMyLoginTask(gApp->mUserLogin, gApp->mUserPassword);
        new CMyGetOnlineUsersTask();
        new CMyGetNewsTask();
    }
}
