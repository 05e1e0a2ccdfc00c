// The download of one server file: the request gives a reference number and the size of the flattened
// stream, the bytes then come on a transfer connection and are written through the files layer into
// "<name>.qpf" beside the chosen name. Complete, the partial file takes the chosen name; stopped or cut
// short, it stays with what it holds so that the download can be resumed later.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "client/core/CMyTask.h"
#include "client/core/CMyTransferProgress.h"

struct THdlObj;
struct TFileSysRefObj;
class CMyTransferConnection;

class CMyDownloadFileTask : public CMyTransactTask
{
public:
    // `path` is the server folder's path record (null and 0 for the root). `destFile` names the local
    // target under its final name (cloned). `resume`: `destFile` is the partial file to continue.
    // `createFile`: create the partial file (otherwise the caller created it under the partial name).
    CMyDownloadFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                        TFileSysRefObj* destFile, bool resume, bool queued, bool createFile);
    // Closes the connection; a partial file that received nothing is deleted, one with data stays.
    ~CMyDownloadFileTask() override;

    void Process() override;
    // Starts a queued download now, whatever its place.
    void Start() { StartQueued(); }
    bool CanUserStart() const override { return true; }

    uint32_t GetTotalSize() const { return mTotalSize; }
    uint32_t GetDownloadedSize() const { return mDownloadedSize; }

    // The partial-file extension is taken off whatever its case; true when the name had it.
    static bool CutPartialExtension(uint8_t* name);
    // The name with the partial-file extension appended (cut so that it still fits 255 bytes).
    static void AddPartialExtension(uint8_t* name);

private:
    void Step();
    void SendDownloadRequest();
    void TakeReplyAndConnect();
    void SendHandshake();
    void Receive();
    void Complete();

    std::unique_ptr<CMyTransferConnection> mConnection;
    TFileSysRefObj* mFile = nullptr;
    THdlObj* mResumeData = nullptr;
    uint32_t mStartSecs = 0;
    uint32_t mTotalSize = 0;
    uint32_t mDownloadedSize = 0;
    uint32_t mRefNum = 0;
    CMyTransferProgress mProgress;
    uint8_t mFileName[32] = {};
    bool mWasQueued;
    std::vector<uint8_t> mBuffer;
};
