#include "client/transfers/UMyUploadNames.h"

#include <algorithm>
#include <cstring>

std::string UMyUploadNames::Key(const uint8_t* name)
{
    return name ? std::string(reinterpret_cast<const char*>(name + 1), name[0]) : std::string();
}

void UMyUploadNames::MakeFreeName(const uint8_t* name, bool isFolder,
                                  const std::function<bool(const uint8_t*)>& isTaken, uint8_t* outName)
{
    const std::string whole = Key(name);
    // An extension is what follows the last dot, unless the dot starts the name (".profile").
    const size_t dot = isFolder ? std::string::npos : whole.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? whole.substr(0, dot) : whole;
    const std::string extension = hasExtension ? whole.substr(dot) : std::string();
    // Past this many the user has more copies than a number in a name helps with: the last one is used.
    constexpr uint32_t kMaxNumber = 9999;
    for (uint32_t n = 2;; ++n)
    {
        const std::string number = " (" + std::to_string(n) + ")";
        // A long name gives up the end of its stem, never its number or its extension.
        const size_t room =
            kMaxName > number.size() + extension.size() ? kMaxName - number.size() - extension.size() : 0;
        const std::string made = stem.substr(0, std::min(stem.size(), room)) + number +
                                 extension.substr(0, kMaxName - number.size());
        const size_t length = std::min<size_t>(made.size(), kMaxName);
        outName[0] = uint8_t(length);
        std::memcpy(outName + 1, made.data(), length);
        if (n >= kMaxNumber || !isTaken(outName)) return;
    }
}
