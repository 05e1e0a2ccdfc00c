// The upload of one local file: the request names it in the server folder, the reply gives a reference
// number (and, for a resumed upload, the server's record of what it already holds), and the flattened
// file then goes out on the transfer connection in pieces that grow while the network drains them. The
// server's orderly close after it took every byte ends the upload; any other end leaves the server's
// partial copy to be resumed.
#pragma once

#include <cstdint>
#include <vector>

#include "client/transfers/CMyTransferTask.h"

struct TFileSysRefObj;

class CMyUploadFileTask : public CMyTransferTask
{
public:
    static constexpr uint32_t kFirstSendSize = 51200;
    static constexpr uint32_t kMaxSendSize = 2097152;

    // `path` is the server folder to upload into (null and 0 for the root); `file` is cloned. `resume`
    // asks the server to continue its partial copy.
    CMyUploadFileTask(const void* path, uint32_t pathSize, TFileSysRefObj* file, bool resume, bool queued);
    // Closes the connection; a stopped upload leaves the server's partial copy to the server.
    ~CMyUploadFileTask() override;
    // A queued file transfer waits for the user as much as for the transfers before it.
    bool CanUserStart() const override { return true; }

private:
    uint16_t RequestType() const override;
    bool TakeTransferReply() override;
    void Stream() override;
    void SendPiece();
    void ShowUploadProgress();

    TFileSysRefObj* mFile = nullptr;
    uint32_t mSendSize = kFirstSendSize;
    uint32_t mSendSecs = 0;
    std::vector<uint8_t> mPath; // the server folder, whose window shows the file once it is there
    bool mDisplayedFinish = false;
};
