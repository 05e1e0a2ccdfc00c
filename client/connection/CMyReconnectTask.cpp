#include "client/connection/CMyReconnectTask.h"

CMyReconnectTask::CMyReconnectTask(std::function<void()> onStart, std::function<void()> onStop)
    : CMyTask(nullptr), mOnStart(std::move(onStart)), mOnStop(std::move(onStop))
{
    // Waiting in the queue's stage is what lets the tasks window's Start reach the row.
    mStage = 0;
    mIsStandAlone = 1;
}

CMyReconnectTask::~CMyReconnectTask()
{
    if (mOnStop) mOnStop();
}

void CMyReconnectTask::Show(const uint8_t* text)
{
    SetRowText(0, 0, "%#s", text);
}

void CMyReconnectTask::Dismiss()
{
    mOnStop = nullptr;
    delete this;
}

void CMyReconnectTask::Process()
{
    if (mStage != 1) return;
    mStage = 0;
    if (mOnStart) mOnStart();
}
