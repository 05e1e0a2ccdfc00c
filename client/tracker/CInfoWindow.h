// A server's information: name, address and description in a read-only text.
#pragma once

#include <cstdint>

#include "framework/ui/CWindow.h"

class CScrollerView;
class CTextView;
struct STrackInfo;

class CInfoWindow : public CWindow
{
public:
    CInfoWindow();
    // Appends the label and the text; every carriage return inside the text becomes the label, so that
    // each line of it starts the same way. An empty text adds nothing.
    void AddText(const uint8_t* label, const void* text, uint32_t length);
    // The lines of one server, and its name as the title.
    void ShowServer(const STrackInfo& server);
    CTextView* Text() const { return mText; }

private:
    CTextView* mText = nullptr;
    CScrollerView* mScr = nullptr;
};
