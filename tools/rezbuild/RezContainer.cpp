#include "tools/rezbuild/RezContainer.h"

#include <algorithm>
#include <cstdint>

namespace rezbuild
{
namespace
{
void AppendBE32(std::string& out, uint64_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(char(uint8_t(v >> shift)));
}
} // namespace

bool BuildContainer(std::vector<SItem> items, std::string& outFile, std::string& outError)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const SItem& a, const SItem& b)
                     { return a.type != b.type ? a.type < b.type : a.id < b.id; });
    for (size_t i = 0; i < items.size(); ++i)
    {
        if (items[i].type == 0 || items[i].id == 0)
        {
            outError = items[i].origin + ": type and id must not be zero";
            return false;
        }
        if (i > 0 && items[i].type == items[i - 1].type && items[i].id == items[i - 1].id)
        {
            outError = items[i].origin + ": id " + std::to_string(items[i].id) + " already given at " +
                       items[i - 1].origin;
            return false;
        }
    }

    std::string data;
    std::vector<uint64_t> offsets;
    for (const auto& item : items)
    {
        // Empty items are stored without an offset; the reader gives them an empty handle.
        offsets.push_back(item.bytes.empty() ? 0 : 32 + data.size());
        data += item.bytes;
    }

    std::string map;
    const uint64_t mapOffset = 32 + data.size();
    AppendBE32(map, mapOffset);
    size_t typeCountAt = map.size();
    AppendBE32(map, 0);
    uint32_t typeCount = 0;
    for (size_t i = 0; i < items.size();)
    {
        size_t end = i;
        while (end < items.size() && items[end].type == items[i].type)
            ++end;
        AppendBE32(map, items[i].type);
        AppendBE32(map, end - i);
        for (; i < end; ++i)
        {
            AppendBE32(map, items[i].id);
            AppendBE32(map, 0);
            AppendBE32(map, items[i].bytes.size());
            AppendBE32(map, offsets[i]);
        }
        ++typeCount;
    }
    std::string count;
    AppendBE32(count, typeCount);
    map.replace(typeCountAt, 4, count);

    if (mapOffset + map.size() > 0xFFFFFFFFu)
    {
        outError = "the resource file would exceed 4 GiB";
        return false;
    }

    outFile.assign("NQRZ");
    outFile += std::string("\0\x01", 2);
    outFile += std::string(18, '\0');
    AppendBE32(outFile, map.size());
    AppendBE32(outFile, data.size());
    outFile += data;
    outFile += map;
    return true;
}
} // namespace rezbuild
