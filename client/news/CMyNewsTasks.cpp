#include "client/news/CMyNewsTasks.h"

#include "client/app/CMyApplication.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/UMemory.h"

namespace
{
// The news can be long and the server slow to gather it.
constexpr uint32_t kNewsTimeoutMs = 400000;
} // namespace

CMyGetNewsTask::CMyGetNewsTask() : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Transferring news...");
    SendRequest(kTranGetNews, kNewsTimeoutMs);
}

void CMyGetNewsTask::Process()
{
    ShowReplyProgress();
    if (!TakeCheckedReply()) return;
    const uint32_t size = UFieldData::GetFieldSize(mFieldData, kFieldData);
    StHandle text(UMemory::NewHandle(size));
    {
        StHandleLocker lock(text.Get());
        UFieldData::GetField(mFieldData, kFieldData, lock.Data(), size);
    }
    // The window copies the bytes; the block is not kept anywhere else.
    if (CMyTextWin* news = gApp->Features().Windows().News()) news->SetTextHandle(text.Get());
    Finish();
}

CMyPostNewsTask::CMyPostNewsTask(const void* data, uint32_t dataSize) : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Posting message...");
    UFieldData::AddField(mFieldData, kFieldData, data, dataSize);
    SendRequest(kTranPostNews);
    SetProgress(1, 2);
}

void CMyPostNewsTask::Process()
{
    if (TakeCheckedReply()) FinishRequest();
}

CMyBroadcastTask::CMyBroadcastTask(const void* data, uint32_t dataSize) : CMyTransactTask(nullptr)
{
    SetRowText(0, 0, "Broadcasting...");
    UFieldData::AddField(mFieldData, kFieldData, data, dataSize);
    SendRequest(kTranUserBroadcast);
    SetProgress(1, 2);
}

void CMyBroadcastTask::Process()
{
    if (TakeCheckedReply()) FinishRequest();
}
