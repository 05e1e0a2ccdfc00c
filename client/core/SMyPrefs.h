// What the preferences file keeps in its fixed block, in host order: the places of the windows, the
// user's settings (those the block has room for) and the usage totals. UMyPrefsFile turns it into the
// 788 little-endian bytes at the start of the file and back.
#pragma once

#include <cstdint>

#include "client/core/SMySettings.h"
#include "client/core/SMyStatistics.h"
#include "framework/runtime/Geometry.h"

// The windows whose places the block keeps, in file order; also the bit numbers of winVis.
enum : uint32_t
{
    kPrefsWinToolbar = 0,
    kPrefsWinTasks = 1,
    kPrefsWinNews = 2,
    kPrefsWinChat = 3,
    kPrefsWinFiles = 4,
    kPrefsWinConnectedUsers = 5,
    kPrefsWinTracker = 6,
    kPrefsWinReservedA = 7,
    kPrefsWinReservedB = 8,
    kPrefsWinCount = 9,
};

// The option bits.
enum : uint32_t
{
    kPrefsShowPrivMsgAtBack = 0x01,
    kPrefsQueueTransfers = 0x02,
    kPrefsShowJoinLeave = 0x04,
    kPrefsRefusePrivateMsg = 0x08,
    kPrefsRefusePrivateChat = 0x10,
    kPrefsAutomaticResponse = 0x20,
    kPrefsKnownOptions = 0x3F,
};

struct SMyPrefs
{
    uint16_t winVis = 0;
    SRect winRect[kPrefsWinCount] = {};
    // Only the settings the block has room for are read and written; the others are left as they are.
    SMySettings settings;
    SMyStatistics totals;
    // The icon number is kept complemented and sealed with these two random numbers and a checksum
    // over the three, so that an icon edited into the file by hand falls back to the default.
    uint16_t iconRand1 = 0;
    uint32_t iconRand2 = 0;
};
