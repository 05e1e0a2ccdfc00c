// The about box with the usage statistics of every session so far.
#pragma once

#include <cstdint>

class CMyApplication;

class CMyAboutWin
{
public:
    static void Run(const CMyApplication& app);
    // "%#s %#s, %#s uploaded, %#s chat, %#s online"
    static uint32_t FormatUsageLine(const CMyApplication& app, uint8_t* outText, uint32_t maxSize);
};
