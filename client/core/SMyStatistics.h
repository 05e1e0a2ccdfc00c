// What the client has done over all its sessions, kept by the preferences file and shown by the about
// window's usage line. The totals are 32-bit, as the file keeps them, and wrap.
#pragma once

#include <cstdint>

struct SMyStatistics
{
    uint32_t totalBytesUploaded = 0;
    uint32_t totalBytesDownloaded = 0;
    uint32_t totalSecsOnline = 0;
    uint32_t totalChatBytes = 0;
    // Not kept: the download folder in use is "Leeched Goods", and the usage line says so.
    bool isLeechMode = false;
};
