// The row of a running transfer: the bar alone at first, then a text with the rate and the time left,
// rewritten only when one of the shown numbers changes. It decides what the row should show; the task
// shows it.
#pragma once

#include <cstdint>

// A change of a task's row: its bar, and its text when `text` is set.
struct SMyRowChange
{
    uint32_t value = 0;
    uint32_t max = 0;
    bool hasText = false;
    uint8_t text[256] = {};
};

class CMyTransferProgress
{
public:
    // `pattern` holds two "%#s": the item's name and the statistics text, in that order. False when the
    // row stays as it is.
    bool Show(uint32_t done, uint32_t total, uint32_t elapsedSecs, const char* pattern, const uint8_t* name,
              SMyRowChange& outChange);
    // The bar alone (the text stays), by the same limits.
    bool ShowBar(uint32_t done, uint32_t total, SMyRowChange& outChange);
    // A resumed transfer carries only the rest of its item: `base` bytes of it were there before. The bar
    // and the sizes show the position in the whole item; the rate and the time left count what moves now.
    void SetBase(uint32_t base) { mBase = base; }
    uint32_t Base() const { return mBase; }

    // "1.4K/sec 10K/1M 11:16": rate, bytes done, bytes in all, time left. kUnknownTimeLeft shows "?".
    static constexpr uint32_t kUnknownTimeLeft = 0xFFFFFFFF;
    static void GetStatText(uint32_t xferSize, uint32_t totalSize, uint32_t bps, uint32_t etr,
                            uint8_t* outText);

    // What is shown now (kept so that an unchanged row is not redrawn).
    uint32_t mDisplayedSize = 0;
    uint32_t mDisplayedBPS = 0;
    uint32_t mDisplayedETR = 0;

private:
    // A fast transfer moves its numbers on every buffer, and redrawing its row for each one costs more
    // than the transfer itself (measured: four parallel downloads took twice as long with the tasks
    // window shown). So the bar moves in steps of a percent, and the statistics text, which shows whole
    // seconds anyway, changes at most once a second, except when the transfer got to its end.
    bool BarMoved(uint32_t permille) const;
    static uint32_t Permille(uint32_t done, uint32_t total);
    uint32_t mBase = 0;
    uint32_t mShownPermille = UINT32_MAX;
    uint32_t mShownSecs = 0;
    uint8_t mShownText[256] = {};
};
