// The fixed block of the preferences file, in host order. UMyPrefsFile turns it into the 788 little-endian
// bytes at the start of the file and back.
#pragma once

#include <cstdint>

#include "client/widgets/SMyColorInfo.h"
#include "framework/ui/Geometry.h"

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
    uint16_t version;
    uint16_t winVis;
    SRect winRect[kPrefsWinCount];
    uint32_t sound; // the SMySoundPrefs bits, playSounds at bit 0
    // The icon number, complemented and sealed with two random numbers and a checksum over the three, so
    // that an icon edited into the file by hand falls back to the default.
    uint16_t iconID;
    uint16_t iconRand1;
    uint32_t iconRand2;
    uint32_t iconCRC;
    uint32_t totalUploaded;
    uint32_t totalDownloaded;
    uint32_t totalOnline;
    uint32_t totalChat;
    uint32_t options;
    // Length-prefixed texts; a length that does not fit its field is cut when read.
    uint8_t automaticResponseText[128];
    uint8_t userName[32];
    SMyColorInfo colorChat;
    SMyColorInfo colorNews;
    uint8_t firewall[128];
};
