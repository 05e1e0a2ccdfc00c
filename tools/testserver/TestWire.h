// Server-side wire helpers of the local test server, written independently of the client's codecs so
// that tests compare the client against a second implementation of the byte formats.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct STestPartHeader
{
    uint8_t flags = 0;
    uint8_t isReply = 0;
    uint16_t type = 0;
    uint32_t id = 0;
    uint32_t error = 0;
    uint32_t totalSize = 0;
    uint32_t dataSize = 0;
};

// A transaction as the server received it (parts of one id joined).
struct STestTransaction
{
    STestPartHeader header;
    std::string body;
};

namespace testwire
{
std::string BE16(uint16_t v);
std::string BE32(uint32_t v);
uint16_t ReadBE16(const std::string& s, size_t at);
uint32_t ReadBE32(const std::string& s, size_t at);
std::string EncodeHeader(const STestPartHeader& h);
STestPartHeader DecodeHeader(const std::string& s, size_t at);
// One transaction's parts: the body cut into `parts` pieces (at least 1 byte each while there are bytes),
// each with its own header; with zeroSizeHeaders an empty header of the same id precedes every part.
std::string EncodeTransaction(STestPartHeader h, const std::string& body, uint32_t parts = 1,
                              bool zeroSizeHeaders = false);

// A field list builder.
class CFields
{
public:
    CFields& Add(uint16_t id, const std::string& data);
    CFields& AddInteger(uint16_t id, int32_t value);
    std::string Bytes() const;
    // Fields of an encoded list in order; stops at the first field that does not fit.
    static std::vector<std::pair<uint16_t, std::string>> Parse(const std::string& list);
    static std::string Find(const std::string& list, uint16_t id);

private:
    std::vector<std::pair<uint16_t, std::string>> mFields;
};

std::string FileEntry(uint32_t type, uint32_t creator, uint32_t size, const std::string& name);
std::string UserEntry(uint16_t id, int16_t icon, uint16_t flags, const std::string& name);
} // namespace testwire
