#include "client/connection/CMyLoginTask.h"

#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/core/CMySession.h"
#include "client/core/CMyTaskHost.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"

CMyLoginTask::CMyLoginTask(const uint8_t* login, const uint8_t* password) : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Logging in...");
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserLogin, login);
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserPassword, password);
    const CMySession& session = Host().Session();
    UFieldData::AddPString(mFieldData, kFieldUserName, session.UserName());
    UFieldData::AddInteger(mFieldData, kFieldUserIconID, session.IconID());
    SendRequest(kTranLogin);
    SetProgress(1, 2);
}

void CMyLoginTask::Process()
{
    if (!TakeCheckedReply()) return;
    gApp->Features().Connection().LoggedIn();
    USound::PlayEvent(kSoundLogin, gApp->Features().Settings().sound.login);
    FinishRequest();
}
