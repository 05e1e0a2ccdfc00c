// The download of one server file: the request gives a reference number and the size of the flattened
// stream, and the bytes then come on the transfer connection and are written through the files layer
// into the file's partial file (UMyPartialFile). Complete and whole, the partial file takes the final
// name; stopped, cut short or short of what the stream announced, it stays with what it holds so that
// the download can be resumed later.
#pragma once

#include <cstdint>

#include "client/transfers/CMyTransferTask.h"

struct THdlObj;
struct TFileSysRefObj;

class CMyDownloadFileTask : public CMyTransferTask
{
public:
    // `path` is the server folder's path record (null and 0 for the root). `destFile` names the local
    // target under its final name (cloned). `resume`: `destFile` is the partial file to continue.
    // Without `createFile` the caller made the partial file already; it is found where the partial-file
    // rule puts it, and so is one the user chose to start over.
    CMyDownloadFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                        TFileSysRefObj* destFile, bool resume, bool queued, bool createFile);
    // Closes the connection; a partial file that received nothing is deleted, one with data stays.
    ~CMyDownloadFileTask() override;
    // A queued file transfer waits for the user as much as for the transfers before it.
    bool CanUserStart() const override { return true; }

private:
    uint16_t RequestType() const override;
    void BeforeRequest() override;
    bool TakeTransferReply() override;
    void Stream() override;
    void Complete();
    void DescribeDownload(const void* path, uint32_t pathSize, const uint8_t* fileName, bool hadData);

    TFileSysRefObj* mFile = nullptr;
    THdlObj* mResumeData = nullptr;
    uint8_t mFinalName[256] = {};
};
