// What the text and the picture previews share: the request for a file as a preview (its options,
// name and folder), their row texts, and the preview window's dressing (title, icon, place).
#pragma once

#include <cstdint>

#include "client/transfers/CMyTransferTask.h"

class CWindow;

class CMyPreviewTask : public CMyTransferTask
{
protected:
    // `path` is the folder's path record (null and 0 for the root); a queued task waits for the tasks
    // created before it.
    CMyPreviewTask(const void* path, uint32_t pathSize, const uint8_t* fileName, bool queued);

    uint16_t RequestType() const override;
    // Titles the window after the file, gives it the preview's icon, the smallest size given and its
    // place, and shows it.
    void ShowPreviewWin(CWindow* win, int32_t minWidth, int32_t minHeight) const;
};
