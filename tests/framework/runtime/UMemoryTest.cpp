// Handles, byte helpers, checksums and the pointer list.
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "framework/runtime/CVoidPtrList.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

namespace
{
std::string HandleContents(THdlObj* h)
{
    StHandleLocker lock(h);
    return std::string(reinterpret_cast<const char*>(lock.Data()), UMemory::GetSize(h));
}

THdlObj* HandleOf(const char* text)
{
    return UMemory::NewHandle(text, uint32_t(strlen(text)));
}

template <class F>
void ExpectFailure(int16_t type, int16_t id, F f)
{
    try
    {
        f();
        ADD_FAILURE() << "no error raised, expected " << type << "/" << id;
    }
    catch (const SError& e)
    {
        EXPECT_EQ(e.type, type);
        EXPECT_EQ(e.id, id);
    }
}
} // namespace

TEST(Handles, InsertRemoveAndReplaceClampTheirRanges)
{
    StHandle h(HandleOf("hello"));
    EXPECT_EQ(UMemory::Insert(h.Get(), 99, "!", 1), 5u);
    EXPECT_EQ(HandleContents(h.Get()), "hello!");
    EXPECT_EQ(UMemory::Insert(h.Get(), 0, ">", 1), 0u);
    EXPECT_EQ(UMemory::Remove(h.Get(), 6, 100), 6u);
    EXPECT_EQ(HandleContents(h.Get()), ">hello");
    EXPECT_EQ(UMemory::Remove(h.Get(), 50, 1), 6u); // past the end: nothing
    EXPECT_EQ(UMemory::Replace(h.Get(), 1, 100, "bye", 3), 1u);
    EXPECT_EQ(HandleContents(h.Get()), ">bye");
    // Inserting a part of the handle into itself must not read moved memory.
    StHandleLocker lock(h.Get());
    const void* inside = lock.Data() + 1;
    UMemory::Insert(h.Get(), 4, inside, 3);
    EXPECT_EQ(HandleContents(h.Get()), ">byebye");
}

TEST(Handles, ReadingIsToleratedOutOfRange)
{
    StHandle h(UMemory::NewHandleClear(6));
    UMemory::WriteLong(h.Get(), 2, 0x01020304);
    EXPECT_EQ(UMemory::ReadLong(h.Get(), 2), 0x01020304u);
    EXPECT_EQ(UMemory::ReadLong(h.Get(), 3), 0u);
    UMemory::WriteLong(h.Get(), 3, 0xFFFFFFFF); // would run past the end: ignored
    EXPECT_EQ(UMemory::ReadLong(h.Get(), 2), 0x01020304u);
    EXPECT_EQ(UMemory::ReadWord(h.Get(), 5), 0u);
    EXPECT_EQ(UMemory::ReadLong(nullptr, 0), 0u);
    char buf[8];
    EXPECT_EQ(UMemory::Read(h.Get(), 4, buf, 8), 2u);
    EXPECT_EQ(UMemory::Read(h.Get(), 6, buf, 8), 0u);
}

TEST(Handles, ExhaustionAndNullArgumentsRaiseTheirErrors)
{
    ExpectFailure(3, 101, [] { UMemory::NewHandle(0x80000000u); });
    ExpectFailure(1, 2, [] { UMemory::New(0u); });
    ExpectFailure(1, 2, [] { UMemory::Append(nullptr, "a", 1); });
    ExpectFailure(1, 2, [] { UMemory::Lock(nullptr); });
    UMemory::Dispose(static_cast<THdlObj*>(nullptr));
    UMemory::Unlock(nullptr);
    EXPECT_EQ(UMemory::Reallocate(static_cast<TPtrObj*>(nullptr), 0), nullptr);
}

TEST(Handles, DiscardedContentsAreReportedWhenTheHandleIsReclaimed)
{
    StHandle h(HandleOf("data"));
    UMemory::SetDiscardable(h.Get());
    EXPECT_FALSE(UMemory::ClearDiscardable(h.Get()));
    UMemory::SetDiscardable(h.Get());
    UMemory::PurgeDiscardable();
    EXPECT_TRUE(UMemory::ClearDiscardable(h.Get()));
    EXPECT_EQ(UMemory::GetSize(h.Get()), 4u);
}

TEST(ByteHelpers, CompareOrdersByLengthFirstThenUnsignedBytes)
{
    EXPECT_EQ(UMemory::Compare("ab", 2, "b", 1), 1);
    EXPECT_EQ(UMemory::Compare("b", 1, "ab", 2), -1);
    EXPECT_EQ(UMemory::Compare("\x80", "\x01", 1), 1);
    EXPECT_EQ(UMemory::Compare("ab", 2, "ab", 2), 0);
}

TEST(ByteHelpers, SearchFindsFirstAndLastOccurrences)
{
    const char* data = "abcabc";
    EXPECT_EQ(UMemory::Search("ca", 2, data, 6), data + 2);
    EXPECT_EQ(UMemory::Search("", 0, data, 6), nullptr);
    EXPECT_EQ(UMemory::SearchByte('c', data, 6), data + 2);
    EXPECT_EQ(UMemory::SearchByteBackwards('a', data, 6), data + 3);
    const uint32_t longs[] = {1, 7, 7};
    EXPECT_EQ(UMemory::SearchLongArray(7, longs, 3), longs + 1);
    EXPECT_EQ(UMemory::SearchLongArray(7, nullptr, 3), nullptr);
}

TEST(ByteHelpers, SearchAndReplaceAllNeverSearchesWhatItInserted)
{
    StHandle h(HandleOf("abab"));
    EXPECT_EQ(UMemory::SearchAndReplaceAll(h.Get(), 0, "ab", 2, "x", 1), 2u);
    EXPECT_EQ(HandleContents(h.Get()), "xx");
    StHandle g(HandleOf("aXa"));
    EXPECT_EQ(UMemory::SearchAndReplaceAll(g.Get(), 0, "a", 1, "aa", 2), 2u);
    EXPECT_EQ(HandleContents(g.Get()), "aaXaa");
    StHandle one(HandleOf("a.b.c"));
    EXPECT_EQ(UMemory::SearchAndReplaceAll(one.Get(), 2, ".", 1, "/", 1), 1u);
    EXPECT_EQ(HandleContents(one.Get()), "a.b/c");
    EXPECT_EQ(UMemory::SearchAndReplaceAll(one.Get(), 5, "a", 1, "b", 1), 0u);
    StHandle same(HandleOf("abcabc"));
    EXPECT_EQ(UMemory::SearchAndReplaceAll(same.Get(), 1, "bc", 2, "XY", 2), 2u);
    EXPECT_EQ(HandleContents(same.Get()), "aXYaXY");
}

TEST(Checksums, KnownValues)
{
    EXPECT_EQ(UMemory::CRC("abc", 3, 0), 0x2C17398Cu);
    EXPECT_EQ(UMemory::AdlerSum("abc", 3, 1), 0x024D0127u);
    EXPECT_EQ(UMemory::Checksum("\xFF\xFF\x02", 3), 0x200u);
    // Long input crosses the reduction interval of the Adler sums.
    std::string big(100000, '\xFF');
    uint32_t a = 1, b = 0;
    for (unsigned char c : big)
    {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(UMemory::AdlerSum(big.data(), uint32_t(big.size()), 1), (b << 16) | a);
}

TEST(PtrList, GrowsByEightAndShrinksWhenSparse)
{
    CVoidPtrList list;
    int items[60];
    for (int i = 0; i < 8; ++i)
        list.AddItem(&items[i]);
    EXPECT_EQ(list.GetCapacity(), 8u);
    EXPECT_EQ(list.AddItem(&items[8]), 9u);
    EXPECT_EQ(list.GetCapacity(), 16u);
    for (int i = 9; i < 48; ++i)
        list.AddItem(&items[i]);
    EXPECT_EQ(list.GetCapacity(), 48u);
    // 48 slots: the shrink comes when more than 32 are unused.
    for (int i = 0; i < 15; ++i)
        list.RemoveItemAt(1);
    EXPECT_EQ(list.GetCapacity(), 48u);
    list.RemoveItemAt(1);
    EXPECT_EQ(list.GetItemCount(), 32u);
    EXPECT_EQ(list.GetCapacity(), 48u);
    list.RemoveItemAt(1); // 31 items, 17 unused
    for (int i = 0; i < 16; ++i)
        list.RemoveItemAt(1);
    EXPECT_EQ(list.GetItemCount(), 15u);
    EXPECT_EQ(list.GetCapacity(), 16u);
}

TEST(PtrList, IndexesAreOneBasedAndAbsentItemsGiveZero)
{
    CVoidPtrList list;
    int a, b, c;
    EXPECT_EQ(list.RemoveItemAt(0), nullptr);
    list.AddItem(&a);
    list.AddItem(&b);
    EXPECT_EQ(list.GetItemIndex(&b), 2u);
    EXPECT_EQ(list.GetItemIndex(&c), 0u);
    EXPECT_EQ(list.RemoveItem(&c), 0u);
    EXPECT_EQ(list.RemoveItem(nullptr), 0u);
    EXPECT_EQ(list.RemoveItemAt(3), nullptr);
    EXPECT_THROW(list.AddItem(nullptr), SError);
}

TEST(PtrList, SortOrdersByTheProcedure)
{
    CPtrList<int> list;
    int values[] = {5, 3, 9, 1, 7, 3};
    for (int& v : values)
        list.AddItem(&v);
    list.Sort([](void* a, void* b, void*) { return *static_cast<int*>(a) - *static_cast<int*>(b); }, nullptr);
    int last = -1;
    for (int* v : list)
    {
        EXPECT_LE(last, *v);
        last = *v;
    }
    EXPECT_THROW(list.Sort(nullptr, nullptr), SError);
}
