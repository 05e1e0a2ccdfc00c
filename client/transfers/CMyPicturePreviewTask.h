// The preview of a server picture (JPEG, PNG, GIF): asks for the file as a preview, takes all of its
// bytes (at most kMaxPictureSize; a larger file is not fetched and the window says so), and shows the
// decoded picture. The text preview stays as it is; this is its counterpart for pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "client/transfers/CMyPreviewTask.h"

class CMyPicturePreviewWin;

class CMyPicturePreviewTask : public CMyPreviewTask
{
public:
    static constexpr uint32_t kMaxPictureSize = 20 * 1024 * 1024;

    // `path` is the folder's path record (null and 0 for the root).
    CMyPicturePreviewTask(const void* path, uint32_t pathSize, const uint8_t* fileName, bool queued);
    // Closes the connection; the window stays with what it shows.
    ~CMyPicturePreviewTask() override;

    void EndPreviewWin() { mPreviewWin = nullptr; }
    CMyPicturePreviewWin* GetPreviewWin() const { return mPreviewWin; }

private:
    bool TakeTransferReply() override;
    void Stream() override;
    void OpenWindow();
    void ShowDecoded();

    CMyPicturePreviewWin* mPreviewWin = nullptr;
    std::vector<uint8_t> mBytes;
};
