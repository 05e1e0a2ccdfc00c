#include "client/connection/CMyConnectTask.h"

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/core/CMySession.h"
#include "client/core/CMyTaskHost.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/UApplication.h"

CMyConnectTask::CMyConnectTask()
    : CMyTask(reinterpret_cast<const uint8_t*>("\x17"
                                               "Connecting to Server..."))
{
    gApp->MakeTransactor();
    Host().ScheduleTaskProcess();
}

CMyConnectTask::~CMyConnectTask()
{
    // Stopped or failed before the connection was up: nothing of it may stay behind.
    if (!mIsFinished && gApp)
    {
        gApp->DisposeTransactor();
        gApp->ShowNotConnected();
        // A reconnect attempt the user stopped is not tried again; one that failed already waits.
        gApp->Features().Connection().Reconnect().AttemptEnded();
    }
}

bool CMyConnectTask::IsWaitingOnNetwork() const
{
    return mStage == 2 || (mStage == 1 && Host().Session().PasswordComing());
}

void CMyConnectTask::Process()
{
    if (mStage == 1)
    {
        // A bookmark whose password the keyring keeps connects once the keyring has answered: the
        // login is sent right after the connection is up.
        if (Host().Session().PasswordComing())
        {
            SetRowText(0, 3, "Looking up the password...");
            return;
        }
        gApp->StartTransactorConnect();
        gApp->ShowConnecting();
        SetProgress(1, 3);
        mStage = 2;
        return;
    }
    if (mStage != 2) return;
    uint16_t status;
    try
    {
        status = UTransact::GetConnectStatus(Host().Session().Transactor());
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
        SetProgress(2, 3);
    else if (status == 3)
    {
        SetProgress(3, 3);
        Finish();
        gApp->ShowConnected();
        gApp->Features().Connection().StartSession();
    }
}
