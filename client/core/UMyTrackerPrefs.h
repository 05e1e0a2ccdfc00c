// The tracker block at the end of the preferences file: the places of the two tracker windows and the
// user's trackers. Big-endian, unlike the fixed block before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/core/TrackerRecords.h"
#include "framework/runtime/Geometry.h"

struct SMyTrackerBlock
{
    SRect trackersWinBounds{};
    SRect serversWinBounds{};
    bool trackersWinVisible = false;
    bool serversWinVisible = false;
    // Login, password, address, name, comments and the two flags of each; the rest is not stored.
    std::vector<STrackServerInfo> trackers;
};

class UMyTrackerPrefs
{
public:
    static constexpr uint32_t kVersion = 3;
    static constexpr uint32_t kHeadSize = 30;
    // Strings read from a file are cut to this many characters.
    static constexpr uint8_t kMaxReadString = 254;

    // The whole block, as it goes into the file.
    static std::string Write(const SMyTrackerBlock& block);
    // Reads a block that runs to the end of the data. Raises 1/1, with nothing read, for another version
    // or a block too short for its head. A string that runs past the data is empty and takes no bytes; a
    // record whose two flags run past the data gets zeros for them. Returns the block's size value (48 and,
    // per tracker read, 9 and its string lengths).
    static uint32_t Read(const void* data, uint32_t size, SMyTrackerBlock& out);
};
