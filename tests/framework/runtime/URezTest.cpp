#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"

namespace
{
constexpr uint32_t kEMSG = FourCC("EMSG");
constexpr uint32_t kMSGB = FourCC("MSGB");
constexpr uint32_t kSOUN = FourCC("SOUN");

void PutBE32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    out[at] = uint8_t(v >> 24);
    out[at + 1] = uint8_t(v >> 16);
    out[at + 2] = uint8_t(v >> 8);
    out[at + 3] = uint8_t(v);
}

void AppendBE32(std::vector<uint8_t>& out, uint32_t v)
{
    out.resize(out.size() + 4);
    PutBE32(out, out.size() - 4, v);
}

struct SItem
{
    uint32_t type;
    uint32_t id;
    std::string bytes;
};

// Writes a container with one type group per item, in the order given, so that tests can also hand the
// reader unsorted and split groups.
std::vector<uint8_t> BuildContainer(const std::vector<SItem>& items)
{
    std::vector<uint8_t> file(32, 0);
    std::memcpy(file.data(), "NQRZ", 4);
    file[5] = 1;
    std::vector<uint32_t> offsets;
    for (const auto& item : items)
    {
        offsets.push_back(item.bytes.empty() ? 0 : uint32_t(file.size()));
        file.insert(file.end(), item.bytes.begin(), item.bytes.end());
    }
    const uint32_t mapOffset = uint32_t(file.size());
    AppendBE32(file, mapOffset);
    AppendBE32(file, uint32_t(items.size()));
    for (size_t i = 0; i < items.size(); ++i)
    {
        AppendBE32(file, items[i].type);
        AppendBE32(file, 1);
        AppendBE32(file, items[i].id);
        AppendBE32(file, 0xC0000005); // the top attribute bits must be tolerated
        AppendBE32(file, uint32_t(items[i].bytes.size()));
        AppendBE32(file, offsets[i]);
    }
    PutBE32(file, 24, uint32_t(file.size() - mapOffset));
    PutBE32(file, 28, mapOffset - 32);
    return file;
}

// A resource file in memory; counts reads so that tests can tell a reload from a cached handle.
struct SMemFile
{
    std::vector<uint8_t> bytes;
    int reads = 0;
};

uint32_t MemRead(void* ref, uint32_t offset, void* buffer, uint32_t size)
{
    SMemFile* f = static_cast<SMemFile*>(ref);
    ++f->reads;
    if (offset >= f->bytes.size()) return 0;
    const uint32_t n = std::min<uint32_t>(size, uint32_t(f->bytes.size() - offset));
    std::memcpy(buffer, f->bytes.data() + offset, n);
    return n;
}

uint32_t MemSize(void* ref)
{
    return uint32_t(static_cast<SMemFile*>(ref)->bytes.size());
}

TRezObj* Open(SMemFile& f)
{
    return URez::New(MemRead, nullptr, MemSize, nullptr, nullptr, &f);
}

std::string Contents(THdlObj* h)
{
    StHandleLocker lock(h);
    return std::string(reinterpret_cast<const char*>(lock.Data()), UMemory::GetSize(h));
}

void ExpectError(const std::function<void()>& f, int16_t type, int16_t id)
{
    try
    {
        f();
        ADD_FAILURE() << "no error, expected " << type << "/" << id;
    }
    catch (const SError& e)
    {
        EXPECT_EQ(e.type, type);
        EXPECT_EQ(e.id, id);
    }
}

std::vector<std::string> gDebugTexts;
void RecordDebug(const char* text)
{
    gDebugTexts.push_back(text);
}

class URezTest : public testing::Test
{
protected:
    void SetUp() override
    {
        gDebugTexts.clear();
        UError::SetDebugProc(RecordDebug);
    }
    void TearDown() override { UError::SetDebugProc(nullptr); }
};

const std::vector<SItem> kSample = {
    {kMSGB, 131, "lost"}, {kEMSG, 4, "four"}, {kEMSG, 1, "one"}, {kSOUN, 128, ""}, {kEMSG, 8, "eight"}};
} // namespace

TEST_F(URezTest, EmptyFileIsANewEmptyResourceFile)
{
    SMemFile f;
    TRezObj* rez = Open(f);
    EXPECT_TRUE(URez::IsChanged(rez));
    EXPECT_EQ(URez::GetTypeCount(rez), 0u);
    ExpectError([&] { URez::LoadItem(rez, kEMSG, 1); }, kErrTypeRez, 101);
    EXPECT_EQ(URez::LoadItem(rez, kEMSG, 1, true), nullptr);
    URez::Dispose(rez);

    // Without a way to read, an object is empty too.
    rez = URez::New(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(URez::IsChanged(rez));
    URez::Dispose(rez);
}

TEST_F(URezTest, ReadsSortedTablesFromUnsortedGroups)
{
    SMemFile f{BuildContainer(kSample)};
    TRezObj* rez = Open(f);
    EXPECT_FALSE(URez::IsChanged(rez));
    ASSERT_EQ(URez::GetTypeCount(rez), 3u);
    EXPECT_EQ(URez::GetIndType(rez, 0), kEMSG);
    EXPECT_EQ(URez::GetIndType(rez, 2), kSOUN);
    // The three 'EMSG' groups of one item each merge into one sorted table.
    ASSERT_EQ(URez::GetItemCount(rez, kEMSG), 3u);
    EXPECT_EQ(URez::GetIndID(rez, kEMSG, 0), 1u);
    EXPECT_EQ(URez::GetIndID(rez, kEMSG, 2), 8u);
    ExpectError([&] { URez::GetIndID(rez, kEMSG, 3); }, kErrTypeGeneral, 11);

    for (const auto& item : kSample)
    {
        THdlObj* h = URez::LoadItem(rez, item.type, item.id);
        EXPECT_EQ(Contents(h), item.bytes);
        URez::ReleaseItem(rez, item.type, item.id);
    }
    EXPECT_FALSE(URez::HasItem(rez, kEMSG, 3));
    EXPECT_FALSE(URez::HasItem(rez, kMSGB, 4));
    URez::Dispose(rez);
}

TEST_F(URezTest, NullObjects)
{
    ExpectError([] { URez::LoadItem(nullptr, kEMSG, 1); }, kErrTypeGeneral, 2);
    EXPECT_EQ(URez::LoadItem(nullptr, kEMSG, 1, true), nullptr);
    ExpectError([] { URez::HasItem(nullptr, kEMSG, 1); }, kErrTypeGeneral, 2);
    URez::ReleaseItem(nullptr, kEMSG, 1);
    URez::Dispose(nullptr);
    EXPECT_TRUE(gDebugTexts.empty());
}

TEST_F(URezTest, DamagedFilesAreRefused)
{
    const std::vector<uint8_t> good = BuildContainer({{kEMSG, 4, "four"}, {kEMSG, 6, "six"}});
    const uint32_t mapOffset = uint32_t(good.size()) - (8 + 2 * 24);
    struct SCase
    {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        int16_t type, id;
    };
    const std::vector<SCase> cases = {
        {"shorter than 40 bytes", [](auto& b) { b.resize(39); }, kErrTypeRez, 102},
        {"signature", [](auto& b) { b[0] = 'X'; }, kErrTypeGeneral, 8},
        {"version", [](auto& b) { b[5] = 2; }, kErrTypeGeneral, 7},
        {"map smaller than 8", [](auto& b) { PutBE32(b, 24, 7); }, kErrTypeRez, 102},
        {"map past the end", [](auto& b) { b.pop_back(); }, kErrTypeRez, 102},
        {"data size wraps around", [](auto& b) { PutBE32(b, 28, 0xFFFFFFF0); }, kErrTypeRez, 102},
        {"map offset not 32 + D", [&](auto& b) { PutBE32(b, mapOffset, mapOffset - 1); }, kErrTypeRez, 102},
        {"too many types", [&](auto& b) { PutBE32(b, mapOffset + 4, 0x20000000); }, kErrTypeRez, 102},
        {"group header past the map", [&](auto& b) { PutBE32(b, mapOffset + 4, 3); }, kErrTypeRez, 102},
        {"zero type", [&](auto& b) { PutBE32(b, mapOffset + 8, 0); }, kErrTypeRez, 102},
        {"too many items", [&](auto& b) { PutBE32(b, mapOffset + 12, 0x10000000); }, kErrTypeRez, 102},
        {"zero id", [&](auto& b) { PutBE32(b, mapOffset + 16, 0); }, kErrTypeRez, 102},
        {"item overlaps the map", [&](auto& b) { PutBE32(b, mapOffset + 24, 40); }, kErrTypeRez, 102},
        {"item offset wraps around", [&](auto& b) { PutBE32(b, mapOffset + 28, 0xFFFFFFFE); }, kErrTypeRez,
         102},
        {"duplicate id", [&](auto& b) { PutBE32(b, mapOffset + 40, 4); }, kErrTypeRez, 102},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        SMemFile f{good};
        c.damage(f.bytes);
        ExpectError([&] { URez::Dispose(Open(f)); }, c.type, c.id);
    }
    SMemFile f{good};
    URez::Dispose(Open(f));
}

TEST_F(URezTest, ShortReadsAreDamage)
{
    // A file whose reported size is larger than what can be read: the header read comes up short.
    SMemFile tiny{std::vector<uint8_t>(20, 0)};
    ExpectError(
        [&]
        {
            URez::New(
                MemRead, nullptr, [](void*) -> uint32_t { return 100; }, nullptr, nullptr, &tiny);
        },
        kErrTypeRez, 102);
}

TEST_F(URezTest, LoadCountsAndDiscarding)
{
    SMemFile f{BuildContainer(kSample)};
    TRezObj* rez = Open(f);
    const int readsAfterMap = f.reads;

    THdlObj* first = URez::LoadItem(rez, kEMSG, 4);
    THdlObj* second = URez::LoadItem(rez, kEMSG, 4);
    EXPECT_EQ(first, second);
    EXPECT_EQ(f.reads, readsAfterMap + 1);
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 4), 2u);

    // Memory pressure while the item is in use leaves it alone.
    UMemory::PurgeDiscardable();
    EXPECT_EQ(Contents(first), "four");

    URez::ReleaseItem(rez, kEMSG, 4);
    URez::ReleaseItem(rez, kEMSG, 4);
    EXPECT_TRUE(gDebugTexts.empty());
    // Reclaimable but still loaded: the next load reads nothing.
    EXPECT_EQ(URez::LoadItem(rez, kEMSG, 4), first);
    EXPECT_EQ(f.reads, readsAfterMap + 1);
    URez::ReleaseItem(rez, kEMSG, 4);

    URez::ReleaseItem(rez, kEMSG, 4);
    ASSERT_EQ(gDebugTexts.size(), 1u);
    EXPECT_EQ(gDebugTexts[0], "URez - ReleaseItem() called too many times");
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 4), 0u);

    // Once discarded, the next load reads the bytes again.
    UMemory::PurgeDiscardable();
    THdlObj* again = URez::LoadItem(rez, kEMSG, 4);
    EXPECT_EQ(Contents(again), "four");
    EXPECT_EQ(f.reads, readsAfterMap + 2);
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 4), 1u);

    // Unknown items are ignored on release.
    URez::ReleaseItem(rez, kEMSG, 99);
    URez::ReleaseItem(rez, FourCC("NONE"), 4);
    EXPECT_EQ(gDebugTexts.size(), 1u);

    // An item without bytes gets an empty handle and no read.
    THdlObj* empty = URez::LoadItem(rez, kSOUN, 128);
    EXPECT_EQ(UMemory::GetSize(empty), 0u);
    EXPECT_EQ(f.reads, readsAfterMap + 2);
    URez::Dispose(rez); // frees handles still in use
}

TEST_F(URezTest, FileCutShortAfterOpening)
{
    SMemFile f{BuildContainer({{kEMSG, 4, "four"}})};
    TRezObj* rez = Open(f);
    f.bytes.resize(34);
    ExpectError([&] { URez::LoadItem(rez, kEMSG, 4); }, kErrTypeRez, 102);
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 4), 0u);
    URez::Dispose(rez);
}

TEST_F(URezTest, SearchChainOrder)
{
    SMemFile a{BuildContainer({{kEMSG, 4, "from a"}, {kEMSG, 6, "only a"}})};
    SMemFile b{BuildContainer({{kEMSG, 4, "from b"}, {kEMSG, 8, "only b"}})};
    TRezObj* ra = Open(a);
    TRezObj* rb = Open(b);
    EXPECT_EQ(URez::SearchChain(kEMSG, 4), nullptr);

    URez::AddSearchChainEnd(ra);
    URez::AddSearchChainEnd(rb);
    EXPECT_EQ(URez::SearchChain(kEMSG, 4), ra);
    EXPECT_EQ(URez::SearchChain(kEMSG, 8), rb);
    EXPECT_EQ(URez::SearchChain(kEMSG, 6), ra);
    EXPECT_EQ(URez::SearchChain(kEMSG, 9), nullptr);

    // Moving the first file to the end lets the other one answer.
    URez::AddSearchChainEnd(ra);
    EXPECT_EQ(URez::SearchChain(kEMSG, 4), rb);
    EXPECT_EQ(URez::SearchChain(kEMSG, 6), ra);

    URez::Dispose(rb);
    EXPECT_EQ(URez::SearchChain(kEMSG, 4), ra);
    EXPECT_EQ(URez::SearchChain(kEMSG, 8), nullptr);
    URez::Dispose(ra);
    EXPECT_EQ(URez::SearchChain(kEMSG, 4), nullptr);
}

TEST_F(URezTest, ReloadSwapsTheHeldItem)
{
    SMemFile f{BuildContainer(kSample)};
    TRezObj* rez = Open(f);
    URez::AddSearchChainEnd(rez);

    SRezStub stub;
    THdlObj* one = URez::Reload(stub, kEMSG, 1);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(Contents(one), "one");
    EXPECT_EQ(stub.rez, rez);
    EXPECT_EQ(stub.id, 1u);

    // Reloading the item it holds keeps exactly one use of it.
    EXPECT_EQ(URez::Reload(stub, kEMSG, 1), one);
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 1), 1u);

    THdlObj* eight = URez::Reload(stub, kEMSG, 8);
    EXPECT_EQ(Contents(eight), "eight");
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 1), 0u);
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 8), 1u);

    EXPECT_EQ(URez::Reload(stub, kEMSG, 77), nullptr);
    EXPECT_EQ(stub.rez, nullptr);
    EXPECT_EQ(stub.handle, nullptr);
    EXPECT_EQ(URez::GetLoadCount(rez, kEMSG, 8), 0u);
    EXPECT_TRUE(gDebugTexts.empty());
    URez::Dispose(rez);
}

TEST_F(URezTest, LoaderGuard)
{
    SMemFile f{BuildContainer(kSample)};
    TRezObj* rez = Open(f);
    URez::AddSearchChainEnd(rez);
    {
        StRezLoader loader(nullptr, kMSGB, 131);
        EXPECT_EQ(loader.Rez(), rez);
        EXPECT_EQ(Contents(loader.Handle()), "lost");
        EXPECT_EQ(URez::GetLoadCount(rez, kMSGB, 131), 1u);
    }
    EXPECT_EQ(URez::GetLoadCount(rez, kMSGB, 131), 0u);
    ExpectError([] { StRezLoader loader(nullptr, kMSGB, 999); }, kErrTypeRez, 101);
    {
        StRezLoader loader(nullptr, kMSGB, 999, true);
        EXPECT_EQ(loader.Handle(), nullptr);
    }
    EXPECT_TRUE(gDebugTexts.empty());
    URez::Dispose(rez);
}

TEST_F(URezTest, FilesOnDisk)
{
    char path[] = "/tmp/quenvol-rez-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::vector<uint8_t> bytes = BuildContainer(kSample);
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    close(fd);

    TRezObj* rez = URez::AddFileToSearchChain(path);
    EXPECT_EQ(URez::SearchChain(kEMSG, 8), rez);
    THdlObj* h = URez::LoadItem(rez, kEMSG, 8);
    EXPECT_EQ(Contents(h), "eight");
    URez::ReleaseItem(rez, kEMSG, 8);
    URez::Dispose(rez);
    EXPECT_EQ(URez::SearchChain(kEMSG, 8), nullptr);
    std::remove(path);

    ExpectError([&] { URez::AddFileToSearchChain(path); }, kErrTypeFileSys, 103);
    const uint8_t missing[] = "\x18no-such-quenvol-file.dat";
    ExpectError([&] { URez::AddProgramFileToSearchChain(missing); }, kErrTypeFileSys, 103);
}
