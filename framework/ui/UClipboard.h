// The clipboard's text in the client's character set.
#pragma once

#include <cstdint>
#include <string>

class UClipboard
{
public:
    static void SetText(const void* text, uint32_t length);
    static std::string GetText();
    static bool HasText();
};
