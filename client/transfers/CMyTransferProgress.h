// The row of a running transfer: the bar alone at first, then a text with the rate and the time left,
// rewritten only when one of the shown numbers changes.
#pragma once

#include <cstdint>
#include <cstring>

class CMyTask;

class CMyTransferProgress
{
public:
    // `pattern` holds two "%#s": the item's name and the statistics text, in that order.
    void Show(CMyTask* task, uint32_t done, uint32_t total, uint32_t elapsedSecs, const char* pattern,
              const uint8_t* name);

    // "1.4K/sec 10K/1M 11:16": rate, bytes done, bytes in all, time left. kUnknownTimeLeft shows "?".
    static constexpr uint32_t kUnknownTimeLeft = 0xFFFFFFFF;
    static void GetStatText(uint32_t xferSize, uint32_t totalSize, uint32_t bps, uint32_t etr,
                            uint8_t* outText);

    // What is shown now (kept so that an unchanged row is not redrawn).
    uint32_t mDisplayedSize = 0;
    uint32_t mDisplayedBPS = 0;
    uint32_t mDisplayedETR = 0;

private:
    // A fast transfer moves its numbers on every buffer, while the row only looks different when its
    // text or its bar's tenth of a percent does: redrawing it for every buffer costs more than the
    // transfer itself. So the row is set only when one of those changed.
    uint32_t mShownPermille = UINT32_MAX;
    uint8_t mShownText[256] = {};
};
