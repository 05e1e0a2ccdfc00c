// The upload of one local file: the request names it in the server folder, the reply gives a reference
// number (and, for a resumed upload, the server's record of what it already holds), and the flattened
// file then goes out on the transfer connection in pieces that grow while the network drains them. The
// server's orderly close after it took every byte ends the upload; any other end leaves the server's
// partial copy to be resumed.
#pragma once

#include <cstdint>
#include <vector>

#include "client/transfers/CMyTransferTask.h"
#include "client/transfers/CMyUploadStream.h"

struct TFileSysRefObj;

class CMyUploadFileTask : public CMyTransferTask
{
public:
    // A resume record larger than this is not one this client can take.
    static constexpr uint32_t kMaxResumeRecord = 1024;

    // `path` is the server folder to upload into (null and 0 for the root); `file` is cloned. `resume`
    // asks the server to continue its partial copy. `serverName` (length-prefixed) is the name the file
    // gets there; null for the local file's own.
    CMyUploadFileTask(const void* path, uint32_t pathSize, TFileSysRefObj* file, bool resume, bool queued,
                      const uint8_t* serverName = nullptr);
    // Closes the connection; a stopped upload leaves the server's partial copy to the server.
    ~CMyUploadFileTask() override;
    // The server's file of the name is deleted first (the user chose to replace it), then the upload
    // goes. Call it right after making the task.
    void ReplaceFirst();
    // A queued file transfer waits for the user as much as for the transfers before it.
    bool CanUserStart() const override { return true; }

private:
    uint16_t RequestType() const override;
    void BeforeRequest() override;
    bool TakeTransferReply() override;
    void Stream() override;
    void ShowUploadProgress();

    CMyUploadStream mStream;
    bool mReplace = false;
    COwner<TFieldDataObj, UFieldData::Dispose> mUploadFields; // the upload's, while the delete goes
    std::vector<uint8_t> mPath; // the server folder, whose window shows the file once it is there
    bool mDisplayedFinish = false;
};
