// The message a later start hands to the running client, as any program of the user could send it. The
// receiver reads it again after every piece that arrives, so what a beginning says must hold for the whole:
// a refused beginning stays refused, a complete message is complete only at its last byte, and what is
// taken is exactly what a later start would have sent.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/HandOffMessage.h"

using platform::EHandOffParse;
constexpr auto Parse = platform::ParseHandOffMessage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> items;
    const EHandOffParse whole = Parse(data, size, items);

    // Beginnings: a refused one would have ended the connection before the rest arrived.
    std::vector<std::string> ignored;
    for (size_t cut : {size / 2, size ? size - 1 : 0})
    {
        const EHandOffParse part = Parse(data, cut, ignored);
        if (part == EHandOffParse::Bad && whole != EHandOffParse::Bad) std::abort();
        if (part == EHandOffParse::Complete && cut < size && whole != EHandOffParse::Bad) std::abort();
    }

    // One byte more: whatever follows a complete or refused message leaves it refused.
    std::vector<uint8_t> longer(data, data + size);
    longer.push_back(size ? data[0] : 0);
    const EHandOffParse extended = Parse(longer.data(), longer.size(), ignored);
    if ((whole == EHandOffParse::Bad || whole == EHandOffParse::Complete) && extended != EHandOffParse::Bad)
        std::abort();

    if (whole != EHandOffParse::Complete) return 0;
    if (items.size() > platform::kHandOffMaxItems) std::abort();
    for (const std::string& item : items)
        if (item.size() > platform::kHandOffMaxItemSize || item.find('\0') != std::string::npos) std::abort();
    const std::vector<uint8_t> again = platform::MakeHandOffMessage(items);
    if (again.size() != size || std::memcmp(again.data(), data, size) != 0) std::abort();
    return 0;
}
