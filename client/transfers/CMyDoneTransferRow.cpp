#include "client/transfers/CMyDoneTransferRow.h"

#include "client/core/CMyTaskHost.h"

CMyDoneTransferRow::CMyDoneTransferRow(const SMyTransferRecord& record, const uint8_t* text,
                                       CMyTask* finished)
    : CMyTask(nullptr), mKind(record.kind), mLocalPath(record.localPath)
{
    mIsStandAlone = 1;
    if (finished) Host().HandRowOver(finished, this);
    Host().SetTaskProgress(this, 1, 1, text);
}
