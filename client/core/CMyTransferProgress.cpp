#include "client/core/CMyTransferProgress.h"

#include <algorithm>
#include <cstring>

#include "framework/runtime/UText.h"

uint32_t CMyTransferProgress::Permille(uint32_t done, uint32_t total)
{
    return total ? uint32_t(uint64_t(std::min(done, total)) * 1000 / total) : 0;
}

bool CMyTransferProgress::BarMoved(uint32_t permille) const
{
    if (permille == mShownPermille) return false;
    return mShownPermille == UINT32_MAX || permille == 1000 || permille < mShownPermille ||
           permille - mShownPermille >= 10;
}

bool CMyTransferProgress::ShowBar(uint32_t done, uint32_t total, SMyRowChange& outChange)
{
    done += mBase;
    total += mBase;
    const uint32_t permille = Permille(done, total);
    if (!BarMoved(permille)) return false;
    mShownPermille = permille;
    outChange.value = done;
    outChange.max = total;
    outChange.hasText = false;
    return true;
}

bool CMyTransferProgress::Show(uint32_t done, uint32_t total, uint32_t elapsedSecs, const char* pattern,
                               const uint8_t* name, SMyRowChange& outChange)
{
    // The first second and the first kilobyte say nothing reliable about the rate.
    if (elapsedSecs == 0 || done <= 1024) return ShowBar(done, total, outChange);
    const uint32_t rate = done / elapsedSecs;
    // A rate that rounds down to nothing gives no time left to tell.
    const uint32_t secsLeft = rate ? (total > done ? total - done : 0) / rate : kUnknownTimeLeft;
    done += mBase;
    total += mBase;
    if (done == mDisplayedSize && rate == mDisplayedBPS && secsLeft == mDisplayedETR) return false;
    const uint32_t permille = Permille(done, total);
    const bool barMoved = BarMoved(permille);
    // Within the second of the last text only the bar's steps and the end are shown.
    if (mShownText[0] && elapsedSecs == mShownSecs && !barMoved && done < total) return false;
    mDisplayedSize = done;
    mDisplayedBPS = rate;
    mDisplayedETR = secsLeft;
    uint8_t stats[256], text[256];
    GetStatText(done, total, rate, secsLeft, stats);
    text[0] = uint8_t(UText::Format(text + 1, 255, pattern, name, stats));
    const bool textChanged = std::memcmp(text, mShownText, size_t(text[0]) + 1) != 0;
    if (!textChanged && !barMoved) return false;
    if (textChanged)
    {
        std::memcpy(mShownText, text, size_t(text[0]) + 1);
        mShownSecs = elapsedSecs;
    }
    if (barMoved) mShownPermille = permille;
    outChange.value = done;
    outChange.max = total;
    outChange.hasText = textChanged;
    if (textChanged) std::memcpy(outChange.text, text, size_t(text[0]) + 1);
    return true;
}

void CMyTransferProgress::GetStatText(uint32_t xferSize, uint32_t totalSize, uint32_t bps, uint32_t etr,
                                      uint8_t* outText)
{
    uint8_t rate[32], done[32], total[32], left[32];
    rate[0] = uint8_t(UText::SizeToText(bps, rate + 1, 31, UText::kSizeTenthBelow10K));
    done[0] = uint8_t(UText::SizeToText(xferSize, done + 1, 31, 0));
    total[0] = uint8_t(UText::SizeToText(totalSize, total + 1, 31, 0));
    if (etr == kUnknownTimeLeft)
    {
        left[0] = 1;
        left[1] = '?';
    }
    else
        left[0] = uint8_t(UText::SecondsToText(etr, left + 1, 31));
    outText[0] = uint8_t(UText::Format(outText + 1, 255, "%#s/sec %#s/%#s %#s", rate, done, total, left));
}
