#include "client/transfers/CMyParkedTransferRow.h"

#include "client/core/CMyTaskHost.h"
#include "client/transfers/CMyTransferQueue.h"

CMyParkedTransferRow::CMyParkedTransferRow(CMyTransferQueue& queue, const uint8_t* text, uint32_t done,
                                           uint32_t total, CMyTask* takesRowOf)
    : CMyTask(nullptr), mQueue(queue)
{
    mIsStandAlone = 1;
    if (takesRowOf) Host().HandRowOver(takesRowOf, this);
    Show(text, done, total);
}

CMyParkedTransferRow::~CMyParkedTransferRow()
{
    mQueue.RowGone(this);
}

void CMyParkedTransferRow::Show(const uint8_t* text, uint32_t done, uint32_t total)
{
    Host().SetTaskProgress(this, total ? done : 0, total, text);
}
