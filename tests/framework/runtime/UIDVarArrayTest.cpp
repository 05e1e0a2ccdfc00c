#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/runtime/UIDVarArray.h"
#include "framework/runtime/UMemory.h"

namespace
{
void AppendListBE32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void PutListBE32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = uint8_t(v >> (24 - 8 * i));
}

std::vector<uint8_t> BuildList(const std::map<uint32_t, std::string>& items)
{
    std::vector<uint8_t> list = {'I', 'V', 'A', '1', 0, 0, 0, 0, 0, 0, 0, 0};
    AppendListBE32(list, uint32_t(items.size()));
    uint32_t offset = 0;
    std::string data;
    for (const auto& [id, text] : items)
    {
        AppendListBE32(list, id);
        AppendListBE32(list, offset);
        offset += uint32_t(text.size());
        data += text;
    }
    AppendListBE32(list, 0xFFFFFFFF);
    AppendListBE32(list, offset);
    list.insert(list.end(), data.begin(), data.end());
    return list;
}

std::string Get(const std::vector<uint8_t>& list, uint32_t id, uint32_t max = 255)
{
    char out[256];
    const uint32_t n = UIDVarArray::GetItem(list.data(), uint32_t(list.size()), id, out, max);
    return std::string(out, n);
}
} // namespace

TEST(UIDVarArrayTest, FindsEveryItemByBinarySearch)
{
    std::map<uint32_t, std::string> items;
    for (uint32_t id = 100; id < 140; id += 3)
        items[id] = "text " + std::to_string(id);
    items[1] = "first";
    items[0xFFFFFFF0] = "last";
    const auto list = BuildList(items);
    for (const auto& [id, text] : items)
        EXPECT_EQ(Get(list, id), text) << id;
    EXPECT_EQ(Get(list, 0), "");
    EXPECT_EQ(Get(list, 101), "");
    EXPECT_EQ(Get(list, 0xFFFFFFFF), ""); // the end marker is not an item
    EXPECT_EQ(Get(list, 100, 4), "text");
    EXPECT_EQ(Get(list, 100, 0), "");

    StHandle h(UMemory::NewHandle(list.data(), uint32_t(list.size())));
    char out[16];
    EXPECT_EQ(UIDVarArray::GetItem(h.Get(), 1, out, sizeof(out)), 5u);
    EXPECT_EQ(std::string(out, 5), "first");
    EXPECT_EQ(UIDVarArray::GetItem(static_cast<THdlObj*>(nullptr), 1, out, sizeof(out)), 0u);
}

TEST(UIDVarArrayTest, MalformedListsYieldNothing)
{
    const auto good = BuildList({{4, "four"}, {6, "six"}});
    ASSERT_EQ(Get(good, 6), "six");
    const size_t endMarker = 16 + 8 * 2;

    auto list = good;
    list[3] = '2';
    EXPECT_EQ(Get(list, 4), "") << "signature";

    list = good;
    PutListBE32(list, 12, 0);
    EXPECT_EQ(Get(list, 4), "") << "zero count";

    list = good;
    PutListBE32(list, 12, 0x1000000);
    EXPECT_EQ(Get(list, 4), "") << "count of 2^24";

    list = good;
    PutListBE32(list, 12, 3);
    EXPECT_EQ(Get(list, 4), "") << "index longer than the list";

    list = good;
    PutListBE32(list, endMarker + 4, 8);
    EXPECT_EQ(Get(list, 6), "") << "last item runs past the end";
    EXPECT_EQ(Get(list, 4), "four") << "earlier items still fit";

    list = good;
    PutListBE32(list, 16 + 8 + 4, 0xFFFFFFFF);
    EXPECT_EQ(Get(list, 4), "") << "item ends before it starts";
    EXPECT_EQ(Get(list, 6), "");

    // Cut anywhere, the list never reads past what it was given.
    for (size_t size = 0; size < good.size(); ++size)
    {
        // An exact-size block, so that the sanitizer sees any read past it.
        std::unique_ptr<uint8_t[]> cut(new uint8_t[size]);
        std::memcpy(cut.get(), good.data(), size);
        char out[8];
        EXPECT_EQ(UIDVarArray::GetItem(size ? cut.get() : nullptr, uint32_t(size), 6, out, sizeof(out)), 0u)
            << size;
    }
    EXPECT_EQ(UIDVarArray::GetItem(nullptr, 100, 4, nullptr, 10), 0u);
}
