// The tracker listing protocol's bytes: the hello each way and the server records of a server-list
// message. Everything here reads bytes a tracker sent and checks every bound.
#pragma once

#include <cstdint>
#include <string>

struct SMyTrackedServer
{
    uint8_t address[4]; // network order
    uint16_t port;
    uint16_t users;
    std::string name;
    std::string desc;
};

class UMyTrackerWire
{
public:
    static constexpr uint16_t kTrackerPort = 5498;
    static constexpr uint16_t kVersion = 1;
    static constexpr uint32_t kHelloSize = 6;
    static constexpr uint32_t kMsgHeaderSize = 4;
    static constexpr uint16_t kMsgServerList = 1;
    // A server-list body starts with the total and two bytes nobody reads.
    static constexpr uint32_t kListHeadSize = 4;
    static constexpr uint32_t kMinRecordSize = 12;

    static void MakeHello(uint8_t out[kHelloSize]);
    // Raises 1/8 for another magic and 1/7 for another version.
    static void CheckHello(const uint8_t hello[kHelloSize]);
    // The record at ioOffset of a server-list body (after its four head bytes). False when it is not
    // wholly inside the data; then nothing is read and parsing of that body stops.
    static bool ReadServerRecord(const uint8_t* data, uint32_t size, uint32_t& ioOffset,
                                 SMyTrackedServer& out);
    // Record bytes as a tracker sends them, for the test tracker and tests. Texts are cut to 255 bytes.
    static std::string MakeServerRecord(const uint8_t address[4], uint16_t port, uint16_t users,
                                        const std::string& name, const std::string& desc);
};
