// The upload of one local file: the request names it in the server folder, the reply gives a reference
// number (and, for a resumed upload, the server's record of what it already holds), and the flattened
// file then goes out on a transfer connection in pieces that grow while the network drains them. The
// server's close ends the upload: before every byte was handed over it is an early end, after that the
// upload is complete.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "client/core/CMyTask.h"
#include "client/core/CMyTransferProgress.h"

struct TFileSysRefObj;
class CMyTransferConnection;

class CMyUploadFileTask : public CMyTransactTask
{
public:
    static constexpr uint32_t kFirstSendSize = 51200;
    static constexpr uint32_t kMaxSendSize = 2097152;

    // `path` is the server folder to upload into (null and 0 for the root); `file` is cloned. `resume`
    // asks the server to continue its partial copy.
    CMyUploadFileTask(const void* path, uint32_t pathSize, TFileSysRefObj* file, bool resume, bool queued);
    // Closes the connection; a stopped upload leaves the server's partial copy to the server.
    ~CMyUploadFileTask() override;

    void Process() override;
    // Starts a queued upload now, whatever its place.
    void Start() { StartQueued(); }
    bool CanUserStart() const override { return true; }

    uint32_t GetTotalSize() const { return mTotalSize; }
    uint32_t GetUploadedSize() const { return mUploadedSize; }

private:
    void Step();
    void SendUploadRequest();
    void TakeReplyAndConnect();
    bool SendHandshake();
    void Send();
    void ShowProgress();
    void Complete();

    std::unique_ptr<CMyTransferConnection> mConnection;
    TFileSysRefObj* mFile = nullptr;
    uint32_t mStartSecs = 0;
    uint32_t mTotalSize = 0;
    uint32_t mUploadedSize = 0;
    uint32_t mSendSize = kFirstSendSize;
    uint32_t mSendSecs = 0;
    uint32_t mRefNum = 0;
    CMyTransferProgress mProgress;
    uint8_t mFileName[32] = {};
    std::vector<uint8_t> mPath; // the server folder, whose window shows the file once it is there
    bool mDisplayedFinish = false;
    bool mWasQueued;
};
