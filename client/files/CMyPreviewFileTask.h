// The preview of a server text file: asks for the file as a preview, receives the beginning of its
// bytes on a transfer connection and pours them into a preview window as they come. At most 64 KiB are
// taken; then the task closes the connection, whatever the server still has to send.
#pragma once

#include <memory>
#include <vector>

#include "client/core/CMyTask.h"
#include "client/core/CMyTransferProgress.h"

class CMyPreviewWin;
class CMyTransferConnection;

class CMyPreviewFileTask : public CMyTransactTask
{
public:
    static constexpr uint32_t kMaxPreviewSize = 65536;

    // `path` is the folder's path record (null and 0 for the root); a queued task waits for the tasks
    // created before it.
    CMyPreviewFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName, bool queued);
    // Closes the connection; a window that got no text goes too, one with text stays for the user.
    ~CMyPreviewFileTask() override;

    void Process() override;
    // Starts a queued preview now.
    void Start() { StartQueued(); }
    // The window is going first.
    void EndPreviewWin() { mPreviewWin = nullptr; }
    CMyPreviewWin* GetPreviewWin() const { return mPreviewWin; }
    uint32_t GetTotalSize() const { return mTotalSize; }
    uint32_t GetDownloadedSize() const { return mDownloadedSize; }

private:
    void SendPreviewRequest();
    void TakeReplyAndConnect();
    void SendHandshakeAndOpenWindow();
    void Receive();

    CMyPreviewWin* mPreviewWin = nullptr;
    std::unique_ptr<CMyTransferConnection> mConnection;
    uint32_t mStartSecs = 0;
    uint32_t mTotalSize = 0;
    uint32_t mDownloadedSize = 0;
    uint32_t mRefNum = 0;
    CMyTransferProgress mProgress;
    uint8_t mFileName[32] = {};
    bool mWasQueued;
    std::vector<uint8_t> mBuffer;
};
