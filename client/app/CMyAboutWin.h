// The about window: the program's picture, name and version, and the usage totals of every session so
// far on its status line.
#pragma once

#include <cstdint>

#include "framework/ui/CWindow.h"

struct SMyStatistics;
class CLabelView;
class CButtonView;

class CMyAboutWin : public CWindow
{
public:
    enum : uint32_t
    {
        kHitOK = 1,
    };
    static constexpr int16_t kPicture = 128;

    CMyAboutWin();
    void SetStatus(const void* text, uint32_t length);
    CLabelView* GetStatusLine() const { return mStatus; }
    CButtonView* GetOKButton() const { return mOK; }

    // Shows the window modally with the totals until OK, the close box or quitting.
    static void Run(const SMyStatistics& totals);
    // "%#s %#s, %#s uploaded, %#s chat, %#s online"
    static uint32_t FormatUsageLine(const SMyStatistics& totals, uint8_t* outText, uint32_t maxSize);

private:
    CLabelView* mStatus = nullptr;
    CButtonView* mOK = nullptr;
};
