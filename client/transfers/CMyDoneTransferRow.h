// The row of a finished transfer, kept in view until the user clears it: greyed, "Done", and the way to
// what arrived (Open, Show in Folder). It does no work and outlives the session (a stand-alone, parked
// task); the transfer queue makes it in the place of the transfer's own row.
#pragma once

#include <cstdint>
#include <string>

#include "client/core/CMyTask.h"
#include "client/core/UMyTransferQueueFile.h"

class CMyDoneTransferRow : public CMyTask
{
public:
    // `text` is length-prefixed; the row of `finished` (when it still shows one) becomes this row's.
    CMyDoneTransferRow(const SMyTransferRecord& record, const uint8_t* text, CMyTask* finished);

    bool IsParked() const override { return true; }
    bool IsKeptFinished() const override { return true; }

    SMyTransferRecord::EKind Kind() const { return mKind; }
    // The local item: the downloaded file or folder, or the file that was uploaded.
    const std::string& LocalPath() const { return mLocalPath; }
    bool GetLocalItem(std::string& outPath) const override
    {
        if (mLocalPath.empty()) return false;
        outPath = mLocalPath;
        return true;
    }

private:
    SMyTransferRecord::EKind mKind;
    std::string mLocalPath;
};
