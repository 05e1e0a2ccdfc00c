// The message a later start sends to the running client: "QVdo", the number of items, then each item as
// its size and its bytes (counts and sizes 16-bit, most significant byte first). Only programs of the
// same user can connect, but whatever connects is read as untrusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform
{
// Limits of one hand-off, which the receiver enforces on whatever connects.
inline constexpr uint32_t kHandOffMaxItems = 64;
inline constexpr uint32_t kHandOffMaxItemSize = 4096;

// The items must be within the limits and hold no NUL.
std::vector<uint8_t> MakeHandOffMessage(const std::vector<std::string>& items);

enum class EHandOffParse
{
    Incomplete, // a beginning of a message: more bytes may complete it
    Complete,   // exactly one message; outItems holds its items
    Bad,        // no more bytes can make this a message
};
// Reads what arrived so far. Counts and sizes are checked before anything is kept, and a message with
// bytes after its end, or with a NUL inside an item, is refused whole.
EHandOffParse ParseHandOffMessage(const uint8_t* bytes, size_t size, std::vector<std::string>& outItems);
} // namespace platform
