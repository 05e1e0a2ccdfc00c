// The window of a message box. It keeps the box's number and its message, so that whoever answers boxes
// (the notice queue, a test standing in for the user) can tell boxes from other modal windows and read
// them as the user does.
#pragma once

#include <cstdint>
#include <string>

#include "framework/ui/CWindow.h"

class CMyMsgBoxWin : public CWindow
{
public:
    CMyMsgBoxWin(const SRect& bounds, int16_t boxID = 0);

    // 0 for a box built from a description in memory.
    int16_t GetBoxID() const { return mBoxID; }
    void SetBoxID(int16_t boxID) { mBoxID = boxID; }
    // The message as the box shows it, in the client's character set.
    const std::string& GetMessageText() const { return mMessage; }
    void SetMessageText(const void* text, uint32_t size);

private:
    int16_t mBoxID;
    std::string mMessage;
};
