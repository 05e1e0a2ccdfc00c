// Field numbers and small helpers shared by the server model's files, written independently of the
// client's catalogue so that tests compare the client against a second reading of the protocol.
#pragma once

#include <cstdint>
#include <string>

#include "tools/testserver/CTestServer.h"
#include "tools/testserver/TestWire.h"

namespace serverfields
{
enum : uint16_t
{
    kError = 100,
    kData = 101,
    kName = 102,
    kUserID = 103,
    kIcon = 104,
    kLogin = 105,
    kPassword = 106,
    kRefNum = 107,
    kTransferSize = 108,
    kKind = 109,
    kAccess = 110,
    kFlags = 112,
    kOptions = 113,
    kChatID = 114,
    kSubject = 115,
    kFileEntry = 200,
    kFileName = 201,
    kFilePath = 202,
    kResumeData = 203,
    kTransferOptions = 204,
    kFileTypeText = 205,
    kFileCreatorText = 206,
    kFileSize = 207,
    kCreateDate = 208,
    kModifyDate = 209,
    kFileComment = 210,
    kFileNewName = 211,
    kFileNewPath = 212,
    kFileTypeCode = 213,
    kQuote = 214,
    kFolderItemCount = 220,
    kUserEntry = 300,
};

inline uint32_t Code(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
           uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

// A 16- or 32-bit integer field; anything else reads as 0.
inline int32_t Integer(const std::string& data)
{
    if (data.size() == 2) return testwire::ReadBE16(data, 0);
    if (data.size() == 4) return int32_t(testwire::ReadBE32(data, 0));
    return 0;
}

// An unsigned integer field's bytes: 2 below 65536, else 4.
inline std::string Unsigned(uint32_t value)
{
    return value < 65536 ? testwire::BE16(uint16_t(value)) : testwire::BE32(value);
}

// An error reply with the server's explanation.
inline void Refuse(STestReply& reply, const std::string& text)
{
    reply.error = 1;
    reply.body = testwire::CFields().Add(kError, text).Bytes();
}
} // namespace serverfields
