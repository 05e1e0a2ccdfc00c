#include "client/transfers/CMyTransferProgress.h"

#include "client/app/CMyApplication.h"
#include "framework/runtime/UText.h"

void CMyTransferProgress::Show(CMyTask* task, uint32_t done, uint32_t total, uint32_t elapsedSecs,
                               const char* pattern, const uint8_t* name)
{
    // The first second and the first kilobyte say nothing reliable about the rate.
    if (elapsedSecs == 0 || done <= 1024)
    {
        gApp->SetTaskProgress(task, done, total, nullptr);
        return;
    }
    const uint32_t rate = done / elapsedSecs;
    // A rate that rounds down to nothing gives no time left to tell.
    const uint32_t secsLeft =
        rate ? (total > done ? total - done : 0) / rate : CMyApplication::kUnknownTimeLeft;
    if (done == mDisplayedSize && rate == mDisplayedBPS && secsLeft == mDisplayedETR) return;
    uint8_t stats[256], text[256];
    CMyApplication::GetTransferStatText(done, total, rate, secsLeft, stats);
    text[0] = uint8_t(UText::Format(text + 1, 255, pattern, name, stats));
    gApp->SetTaskProgress(task, done, total, text);
    mDisplayedSize = done;
    mDisplayedBPS = rate;
    mDisplayedETR = secsLeft;
}
