// The readable source form of resources (see resources/README.md) and the items it describes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rezbuild
{
struct SItem
{
    uint32_t type;
    uint32_t id;
    std::string bytes;
    std::string origin; // "file:line", for messages
};

struct SSource
{
    std::vector<SItem> items;
    // Files read by 'file' lines, so that the build knows to run again when one changes.
    std::vector<std::string> dependencies;
};

// Parses one source text. Relative paths of 'file' lines are taken from baseFolder. On failure returns
// false with "name:line: what" in outError.
bool ParseSource(const std::string& text, const std::string& name, const std::string& baseFolder,
                 SSource& out, std::string& outError);

// A value's source text to resource bytes: UTF-8 becomes Mac OS Roman and escapes give their bytes. On
// failure returns false with the reason in outError.
bool ConvertValue(const std::string& value, std::string& out, std::string& outError);

// The "IVA1" list body for (id, text) pairs; the pairs need not be sorted but ids must be unique.
std::string BuildIDList(std::vector<std::pair<uint32_t, std::string>> entries);
} // namespace rezbuild
