// The preview of a server text file: asks for the file as a preview, receives the beginning of its
// bytes on a transfer connection and pours them into a preview window as they come. At most 64 KiB are
// taken; then the task closes the connection, whatever the server still has to send.
#pragma once

#include "client/transfers/CMyPreviewTask.h"

class CMyPreviewWin;

class CMyPreviewFileTask : public CMyPreviewTask
{
public:
    static constexpr uint32_t kMaxPreviewSize = 65536;

    // `path` is the folder's path record (null and 0 for the root); a queued task waits for the tasks
    // created before it.
    CMyPreviewFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName, bool queued);
    // Closes the connection; a window that got no text goes too, one with text stays for the user.
    ~CMyPreviewFileTask() override;

    // The window is going first.
    void EndPreviewWin() { mPreviewWin = nullptr; }
    CMyPreviewWin* GetPreviewWin() const { return mPreviewWin; }

private:
    bool TakeTransferReply() override;
    void Connected() override;
    void Stream() override;

    CMyPreviewWin* mPreviewWin = nullptr;
};
