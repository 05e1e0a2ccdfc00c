// The two kinds of entry the tracker controller keeps: the trackers the user queries, and the servers
// they reported.
#pragma once

#include <cstdint>
#include <string>

// One tracker of the user's list. Strings are length-prefixed, in the client's character set.
struct STrackServerInfo
{
    uint8_t Login[256] = {};
    uint8_t Pass[256] = {};
    uint8_t Address[256] = {};
    uint8_t Name[256] = {};
    uint8_t Comments[256] = {};
    // "Connecting...", "Refused" or the tracker's announced total; never stored.
    uint8_t Status[256] = {};
    int16_t hasAccount = 0;
    // Queried on refresh: the tick in the list.
    int16_t useServer = 0;
    // Unique in this run, never stored: the listing task finds its entry by it.
    int16_t ID = 0;
    // Servers this tracker added to the list first since the last reset.
    uint32_t CurrentCount = 0;
    uint32_t TotalCount = 0;
};

// One server as a tracker reported it. Texts are kept as received, with lower-case copies for searching.
struct STrackInfo
{
    uint8_t Address[4] = {}; // IPv4, network order
    uint16_t Port = 0;
    uint16_t uCount = 0; // users online
    uint16_t Flags = 0;
    uint32_t Reserved = 0;
    uint8_t User[50] = {}; // uCount in decimal, length-prefixed, for drawing
    std::string Name;
    std::string Desc;
    std::string SearchName;
    std::string SearchDesc;
};
