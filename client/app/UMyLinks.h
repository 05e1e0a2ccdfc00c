// Links in the texts the client shows (chat, private chat, messages, news, client information): where
// they are, and what a click on one does. A quenvol:// address connects in this client; anything else
// goes to the desktop's opener.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ui/CTextView.h"

class UMyLinks
{
public:
    // A link is a scheme, "://" and at least one more character; it runs as far as the characters a URL
    // may hold go, and no further than the opener takes.
    static void Find(const uint8_t* text, uint32_t length, std::vector<STextRun>& outRuns);
    // Links in the view are found, drawn and opened.
    static void Attach(CTextView* view);
    static void Open(const std::string& url);
};
