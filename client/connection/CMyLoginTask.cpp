#include "client/connection/CMyLoginTask.h"

#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"

CMyLoginTask::CMyLoginTask(const uint8_t* login, const uint8_t* password) : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Logging in...");
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserLogin, login);
    UFieldRecords::AddComplementedPString(mFieldData, kFieldUserPassword, password);
    UFieldData::AddPString(mFieldData, kFieldUserName, gApp->mUserName);
    UFieldData::AddInteger(mFieldData, kFieldUserIconID, gApp->mIconID);
    SendRequest(kTranLogin);
    gApp->SetTaskProgress(this, 1, 2, nullptr);
}

void CMyLoginTask::Process()
{
    if (!TakeCheckedReply()) return;
    USound::PlayEvent(kSoundLogin, gApp->mSoundPrefs.login);
    FinishRequest();
}
