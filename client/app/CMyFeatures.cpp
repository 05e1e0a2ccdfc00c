#include "client/app/CMyFeatures.h"

#include "client/tracker/CMyTracker.h"
#include "client/transfers/CMyTransferQueue.h"

CMyFeatures::CMyFeatures(TMessageProc handler, void* context)
    : mSession(mSettings, mStatistics, handler, context), mFolderWins(mSession),
      mChat(mSettings, mSession, mWindows), mConnection(mSettings, mSession, mPasswords, mTaskList, mWindows),
      mCutTransferBox(
          [this](uint32_t serial) {
              return mSession.Serial() == serial && mSession.IsConnected() &&
                     !mConnection.Reconnect().IsActive();
          }),
      mDesktop(mSettings), mTransfers(std::make_unique<CMyTransferQueue>(mSession)),
      mTaskList(mSession, handler, context)
{
}

CMyFeatures::~CMyFeatures() = default;

void CMyFeatures::StartTracker()
{
    mTracker = std::make_unique<CMyTracker>();
}
