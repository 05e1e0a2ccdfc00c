// The flattened stream and resume records: produced, consumed in pieces, resumed and refused.
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "framework/files/FlattenFormat.h"
#include "framework/runtime/CByteReader.h"
#include "framework/runtime/UError.h"
#include "tests/framework/files/FilesTestSupport.h"

namespace
{
std::string FlattenAll(TFileSysRefObj* ref, uint32_t pieceSize)
{
    std::string out;
    std::vector<char> buffer(pieceSize);
    for (;;)
    {
        uint32_t n = UFileSys::ProcessFlatten(ref, buffer.data(), pieceSize);
        out.append(buffer.data(), n);
        if (n < pieceSize) break;
    }
    EXPECT_EQ(UFileSys::ProcessFlatten(ref, buffer.data(), pieceSize), 0u);
    return out;
}

uint32_t BE32(const std::string& s, size_t at)
{
    return CByteReader(s.data() + at, 4).Read32();
}
uint16_t BE16(const std::string& s, size_t at)
{
    return CByteReader(s.data() + at, 2).Read16();
}

std::string ForkHeader(const char* type, uint32_t size, uint32_t compression = 0)
{
    uint8_t h[16] = {};
    std::memcpy(h, type, 4);
    WriteBE32(h + 4, compression);
    WriteBE32(h + 12, size);
    return std::string(reinterpret_cast<char*>(h), 16);
}

std::string StreamHeader(const char* code = "FILP", uint16_t version = 1)
{
    uint8_t h[24] = {};
    std::memcpy(h, code, 4);
    WriteBE16(h + 4, version);
    WriteBE16(h + 22, 2);
    return std::string(reinterpret_cast<char*>(h), 24);
}

std::string ResumeRecord(uint16_t count, const std::vector<std::pair<const char*, uint32_t>>& entries)
{
    std::string r(42, '\0');
    std::memcpy(r.data(), "RFLT", 4);
    r[5] = 1;
    r[40] = char(count >> 8);
    r[41] = char(count);
    for (auto& [type, held] : entries)
    {
        std::string e(16, '\0');
        std::memcpy(e.data(), type, 4);
        WriteBE32(reinterpret_cast<uint8_t*>(e.data() + 4), held);
        r += e;
    }
    return r;
}

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = char(gen());
    return s;
}
} // namespace

class FlattenTest : public FilesTest
{
protected:
    TFileSysRefObj* FileRef(const std::string& name)
    {
        std::string path = PathOf(name);
        return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
    }
    // Unflattens the stream into a fresh file fed in pieces of the given size; returns the file.
    std::string Unflatten(const std::string& stream, size_t pieceSize, const std::string& name = "out")
    {
        WriteFile(name, "");
        StFileSysRef ref(FileRef(name));
        UFileSys::StartUnflatten(ref.Get());
        for (size_t at = 0; at < stream.size(); at += pieceSize)
        {
            size_t n = std::min(pieceSize, stream.size() - at);
            UFileSys::ProcessUnflatten(ref.Get(), stream.data() + at, uint32_t(n));
        }
        UFileSys::StopUnflatten(ref.Get());
        return ReadFile(PathOf(name));
    }
};

TEST_F(FlattenTest, EmptyTextFileLayout)
{
    WriteFile("a.txt", "");
    StFileSysRef ref(FileRef("a.txt"));
    UFileSys::StartFlatten(ref.Get());
    EXPECT_TRUE(UFileSys::IsFlattening(ref.Get()));
    EXPECT_EQ(UFileSys::GetFlattenSize(ref.Get()), 135u);
    std::string s = FlattenAll(ref.Get(), 1000);
    ASSERT_EQ(s.size(), 135u);
    EXPECT_EQ(s.substr(0, 4), "FILP");
    EXPECT_EQ(BE16(s, 4), 1);
    EXPECT_EQ(s.substr(6, 16), std::string(16, '\0'));
    EXPECT_EQ(BE16(s, 22), 2);
    EXPECT_EQ(s.substr(24, 4), "INFO");
    EXPECT_EQ(BE32(s, 28), 0u);
    EXPECT_EQ(BE32(s, 36), 79u);
    EXPECT_EQ(s.substr(40, 12), "MWINTEXTttxt");
    EXPECT_EQ(s.substr(52, 58), std::string(58, '\0'));
    EXPECT_EQ(BE16(s, 110), 5);
    EXPECT_EQ(s.substr(112, 5), "a.txt");
    EXPECT_EQ(BE16(s, 117), 0);
    EXPECT_EQ(s.substr(119, 4), "DATA");
    EXPECT_EQ(BE32(s, 131), 0u);

    UFileSys::Close(ref.Get());
    EXPECT_FALSE(UFileSys::IsFlattening(ref.Get()));
    EXPECT_SERROR(UFileSys::GetFlattenSize(ref.Get()), kErrTypeGeneral, 3);
}

TEST_F(FlattenTest, LongNameIsCutAndStartingTwiceIsRefused)
{
    const std::string name = std::string(66, 'n') + ".jpg";
    WriteFile(name, "xyz");
    StFileSysRef ref(FileRef(name));
    UFileSys::StartFlatten(ref.Get());
    EXPECT_SERROR(UFileSys::StartFlatten(ref.Get()), kErrTypeGeneral, 3);
    EXPECT_SERROR(UFileSys::StartUnflatten(ref.Get()), kErrTypeGeneral, 3);
    std::string s = FlattenAll(ref.Get(), 7);
    EXPECT_EQ(BE32(s, 36), 74u + 63);
    EXPECT_EQ(BE16(s, 110), 63);
    EXPECT_EQ(s.substr(112, 63), name.substr(0, 63));
    EXPECT_EQ(s.substr(44, 8), "JPEGGKON");
    EXPECT_EQ(s.substr(s.size() - 3), "xyz");
}

TEST_F(FlattenTest, ResumeRecords)
{
    const std::string contents = RandomBytes(3000, 1);
    WriteFile("f.bin", contents);
    {
        StFileSysRef ref(FileRef("f.bin"));
        std::string record = ResumeRecord(2, {{"DATA", 1000}});
        UFileSys::ResumeFlatten(ref.Get(), record.data(), uint32_t(record.size()));
        EXPECT_EQ(UFileSys::GetFlattenSize(ref.Get()), 56u + 79 + 2000);
        std::string s = FlattenAll(ref.Get(), 4096);
        EXPECT_EQ(BE32(s, 24 + 16 + 79 + 12), 2000u);
        EXPECT_EQ(s.substr(s.size() - 2000), contents.substr(1000));
    }
    {
        StFileSysRef ref(FileRef("f.bin"));
        // Other entries are ignored; the count says more than is there.
        std::string record = ResumeRecord(9, {{"INFO", 7}, {"DATA", 5000}});
        UFileSys::ResumeFlatten(ref.Get(), record.data(), uint32_t(record.size()));
        std::string s = FlattenAll(ref.Get(), 4096);
        EXPECT_EQ(s.size(), 56u + 79);
        EXPECT_EQ(BE32(s, s.size() - 4), 0u);
    }
    {
        // An entry that lies past the record's end is not read: the whole file goes.
        StFileSysRef ref(FileRef("f.bin"));
        std::string record = ResumeRecord(1, {{"DATA", 1000}});
        UFileSys::ResumeFlatten(ref.Get(), record.data(), uint32_t(record.size()) - 1);
        EXPECT_EQ(UFileSys::GetFlattenSize(ref.Get()), 56u + 79 + 3000);
    }
    StFileSysRef ref(FileRef("f.bin"));
    std::string record = ResumeRecord(2, {{"DATA", 1000}});
    EXPECT_SERROR(UFileSys::ResumeFlatten(ref.Get(), record.data(), 41), kErrTypeGeneral, 2);
    std::string badCode = record;
    badCode[0] = 'X';
    EXPECT_SERROR(UFileSys::ResumeFlatten(ref.Get(), badCode.data(), 58), kErrTypeGeneral, 8);
    std::string badVersion = record;
    badVersion[5] = 2;
    EXPECT_SERROR(UFileSys::ResumeFlatten(ref.Get(), badVersion.data(), 58), kErrTypeGeneral, 7);
    EXPECT_FALSE(UFileSys::IsOpen(ref.Get()));
}

TEST_F(FlattenTest, RoundTripInPiecesOfAnySize)
{
    const std::string contents = RandomBytes(70000, 2);
    WriteFile("src.dat", contents);
    StFileSysRef ref(FileRef("src.dat"));
    UFileSys::StartFlatten(ref.Get());
    const std::string stream = FlattenAll(ref.Get(), 333);
    ASSERT_EQ(stream.size(), UFileSys::GetFlattenSize(ref.Get()));

    EXPECT_EQ(Unflatten(stream, stream.size(), "whole"), contents);
    EXPECT_EQ(Unflatten(stream, 1, "bytes"), contents);
    EXPECT_EQ(Unflatten(stream, 4095, "odd"), contents);
}

TEST_F(FlattenTest, ResumedDownloadAppendsAfterThePartialFile)
{
    const std::string contents = RandomBytes(3000, 3);
    WriteFile("src.dat", contents);
    WriteFile("part.qpf", contents.substr(0, 1000));
    StFileSysRef part(FileRef("part.qpf"));
    StHandle record(UFileSys::ResumeUnflatten(part.Get()));
    ASSERT_EQ(UMemory::GetSize(record.Get()), 58u);
    std::string recordBytes(58, '\0');
    UMemory::Read(record.Get(), 0, recordBytes.data(), 58);
    EXPECT_EQ(recordBytes.substr(0, 6), std::string("RFLT\0\1", 6));
    EXPECT_EQ(BE16(recordBytes, 40), 2);
    EXPECT_EQ(recordBytes.substr(42, 4), "DATA");
    EXPECT_EQ(BE32(recordBytes, 46), 1000u);

    StFileSysRef src(FileRef("src.dat"));
    UFileSys::ResumeFlatten(src.Get(), recordBytes.data(), 58);
    const std::string stream = FlattenAll(src.Get(), 512);
    EXPECT_TRUE(UFileSys::ProcessUnflatten(part.Get(), stream.data(), uint32_t(stream.size())));
    UFileSys::StopUnflatten(part.Get());
    EXPECT_EQ(ReadFile(PathOf("part.qpf")), contents);
}

TEST_F(FlattenTest, ExtraForksAndLongInformationForksAreSkipped)
{
    std::string stream = StreamHeader() + ForkHeader("INFO", 1000) + std::string(1000, 'i') +
                         ForkHeader("DATA", 5) + "hello" + ForkHeader("MACR", 10) + std::string(10, 'r');
    EXPECT_EQ(Unflatten(stream, 1), "hello");
    EXPECT_EQ(Unflatten(stream, stream.size()), "hello");

    // A size-0 call changes nothing, before and after the stream.
    WriteFile("z", "");
    StFileSysRef ref(FileRef("z"));
    UFileSys::StartUnflatten(ref.Get());
    EXPECT_FALSE(UFileSys::ProcessUnflatten(ref.Get(), nullptr, 0));
    EXPECT_FALSE(UFileSys::ProcessUnflatten(ref.Get(), stream.data(), 30));
    EXPECT_FALSE(UFileSys::ProcessUnflatten(ref.Get(), nullptr, 0));
    EXPECT_TRUE(UFileSys::ProcessUnflatten(ref.Get(), stream.data() + 30, uint32_t(stream.size() - 30)));
    EXPECT_TRUE(UFileSys::ProcessUnflatten(ref.Get(), nullptr, 0));
    UFileSys::StopUnflatten(ref.Get());
    UFileSys::StopUnflatten(ref.Get());
    EXPECT_EQ(ReadFile(PathOf("z")), "hello");
}

TEST_F(FlattenTest, OnlyAWholeStreamWithItsDataForkIsComplete)
{
    const std::string whole =
        StreamHeader() + ForkHeader("INFO", 10) + std::string(10, 'i') + ForkHeader("DATA", 5) + "hello";
    // Where a transfer may stop: inside the stream header, in the information fork, right after it,
    // inside the data fork's header and inside its data.
    for (size_t cut : {size_t(0), size_t(6), size_t(45), size_t(50), size_t(60), whole.size() - 1})
    {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        WriteFile("cut", "");
        StFileSysRef ref(FileRef("cut"));
        UFileSys::StartUnflatten(ref.Get());
        if (cut) UFileSys::ProcessUnflatten(ref.Get(), whole.data(), uint32_t(cut));
        EXPECT_FALSE(UFileSys::IsUnflattenComplete(ref.Get()));
    }
    WriteFile("whole", "");
    StFileSysRef ref(FileRef("whole"));
    UFileSys::StartUnflatten(ref.Get());
    UFileSys::ProcessUnflatten(ref.Get(), whole.data(), uint32_t(whole.size()));
    EXPECT_TRUE(UFileSys::IsUnflattenComplete(ref.Get()));
    // An empty data fork is whole as soon as its header came.
    WriteFile("empty", "");
    StFileSysRef empty(FileRef("empty"));
    const std::string emptyFile = StreamHeader() + ForkHeader("DATA", 0);
    UFileSys::StartUnflatten(empty.Get());
    UFileSys::ProcessUnflatten(empty.Get(), emptyFile.data(), uint32_t(emptyFile.size()));
    EXPECT_TRUE(UFileSys::IsUnflattenComplete(empty.Get()));
    EXPECT_SERROR(UFileSys::IsUnflattenComplete(nullptr), kErrTypeGeneral, 2);
}

TEST_F(FlattenTest, BadStreamsAreRefusedAndNothingIsWritten)
{
    std::string debugText;
    static std::string* gText = nullptr;
    gText = &debugText;
    UError::SetDebugProc([](const char* text) { *gText = text; });

    struct SCase
    {
        std::string stream;
        int16_t id;
    };
    const std::string body = ForkHeader("DATA", 4) + "data";
    const SCase cases[] = {
        {StreamHeader("FILQ") + body, 8},
        {StreamHeader("FILP", 2) + body, 7},
        {StreamHeader() + ForkHeader("DATA", 4, 1) + "data", 8},
    };
    for (const SCase& c : cases)
    {
        WriteFile("bad", "");
        StFileSysRef ref(FileRef("bad"));
        UFileSys::StartUnflatten(ref.Get());
        EXPECT_SERROR(UFileSys::ProcessUnflatten(ref.Get(), c.stream.data(), uint32_t(c.stream.size())),
                      kErrTypeGeneral, c.id);
        // A refused stream stays refused.
        EXPECT_SERROR(UFileSys::ProcessUnflatten(ref.Get(), "data", 4), kErrTypeGeneral, c.id);
        UFileSys::StopUnflatten(ref.Get());
        EXPECT_EQ(ReadFile(PathOf("bad")), "");
    }
    EXPECT_EQ(debugText, "UFileSys::ProcessUnflatten - unknown compression type");
    UError::SetDebugProc(nullptr);

    StFileSysRef missing(FileRef("missing"));
    EXPECT_SERROR(UFileSys::StartUnflatten(missing.Get()), kErrTypeFileSys, 103);
    EXPECT_FALSE(UFileSys::IsOpen(missing.Get()));
    EXPECT_SERROR(UFileSys::ProcessUnflatten(missing.Get(), "x", 1), kErrTypeGeneral, 3);

    // Making the file for a stream never writes into one that is there: that could be someone's file.
    WriteFile("taken", "mine");
    StFileSysRef taken(FileRef("taken"));
    EXPECT_SERROR(UFileSys::CreateAndStartUnflatten(taken.Get()), kErrTypeFileSys, 115);
    EXPECT_FALSE(UFileSys::IsOpen(taken.Get()));
    EXPECT_EQ(ReadFile(PathOf("taken")), "mine");
    UFileSys::CreateAndStartUnflatten(missing.Get());
    EXPECT_SERROR(UFileSys::CreateAndStartUnflatten(missing.Get()), kErrTypeGeneral, 3);
    const std::string whole = StreamHeader() + body;
    EXPECT_TRUE(UFileSys::ProcessUnflatten(missing.Get(), whole.data(), uint32_t(whole.size())));
    UFileSys::StopUnflatten(missing.Get());
    EXPECT_EQ(ReadFile(PathOf("missing")), "data");
}

TEST_F(FlattenTest, AnUnnamedFileAppearsUnderItsNameOnlyWholeAndNeverOverAnother)
{
    WriteFile("src.bin", RandomBytes(70000, 3));
    StFileSysRef src(FileRef("src.bin"));
    UFileSys::StartFlatten(src.Get());
    const std::string stream = FlattenAll(src.Get(), 4096);
    auto names = [&]
    {
        std::set<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(mRoot))
            found.insert(e.path().filename().string());
        return found;
    };
    const std::set<std::string> before = names();

    StFileSysRef copy(FileRef("copy.bin"));
    if (!UFileSys::StartUnflattenUnnamed(copy.Get())) GTEST_SKIP() << "no unnamed files on this file system";
    EXPECT_SERROR(UFileSys::StartUnflattenUnnamed(copy.Get()), kErrTypeGeneral, 3);
    EXPECT_TRUE(UFileSys::ProcessUnflatten(copy.Get(), stream.data(), uint32_t(stream.size())));
    // Written whole and not named yet: nobody sees it, under any name.
    EXPECT_EQ(names(), before);
    UFileSys::NameUnflattened(copy.Get());
    EXPECT_FALSE(UFileSys::IsOpen(copy.Get()));
    EXPECT_EQ(ReadFile(PathOf("copy.bin")), ReadFile(PathOf("src.bin")));

    // Stopped before it is named, it leaves nothing behind.
    StFileSysRef stopped(FileRef("stopped.bin"));
    ASSERT_TRUE(UFileSys::StartUnflattenUnnamed(stopped.Get()));
    UFileSys::ProcessUnflatten(stopped.Get(), stream.data(), 5000);
    UFileSys::StopUnflatten(stopped.Get());
    EXPECT_FALSE(std::filesystem::exists(PathOf("stopped.bin")));
    EXPECT_SERROR(UFileSys::NameUnflattened(stopped.Get()), kErrTypeGeneral, 3);

    // Let go of unnamed and unstopped, it takes its file and the folder it held open with it.
    auto openDescriptors = []
    { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    const auto open = openDescriptors();
    {
        StFileSysRef dropped(FileRef("dropped.bin"));
        ASSERT_TRUE(UFileSys::StartUnflattenUnnamed(dropped.Get()));
        UFileSys::ProcessUnflatten(dropped.Get(), stream.data(), 5000);
    }
    EXPECT_EQ(openDescriptors(), open);

    // A name taken while the stream came keeps what it holds.
    StFileSysRef raced(FileRef("raced.bin"));
    ASSERT_TRUE(UFileSys::StartUnflattenUnnamed(raced.Get()));
    UFileSys::ProcessUnflatten(raced.Get(), stream.data(), uint32_t(stream.size()));
    WriteFile("raced.bin", "theirs");
    EXPECT_SERROR(UFileSys::NameUnflattened(raced.Get()), kErrTypeFileSys, 115);
    EXPECT_FALSE(UFileSys::IsOpen(raced.Get()));
    EXPECT_EQ(ReadFile(PathOf("raced.bin")), "theirs");
    std::set<std::string> after = before;
    after.insert({"copy.bin", "raced.bin"});
    EXPECT_EQ(names(), after);
}

TEST_F(FlattenTest, FilesOfFourGigabytesAreRefused)
{
    // Sparse files: nothing is written to disk.
    WriteFile("big", "");
    std::filesystem::resize_file(PathOf("big"), uint64_t(1) << 32);
    StFileSysRef big(FileRef("big"));
    EXPECT_SERROR(UFileSys::StartFlatten(big.Get()), kErrTypeGeneral, 10);
    EXPECT_FALSE(UFileSys::IsOpen(big.Get()));
    EXPECT_FALSE(UFileSys::IsFlattening(big.Get()));
    EXPECT_SERROR(UFileSys::ResumeUnflatten(big.Get()), kErrTypeGeneral, 10);
    EXPECT_FALSE(UFileSys::IsOpen(big.Get()));

    // Just below 4 GiB the file fits but the stream with its headers would not.
    WriteFile("almost", "");
    std::filesystem::resize_file(PathOf("almost"), (uint64_t(1) << 32) - 100);
    StFileSysRef almost(FileRef("almost"));
    EXPECT_SERROR(UFileSys::StartFlatten(almost.Get()), kErrTypeGeneral, 10);
    // Resumed far enough in, the rest fits again.
    std::string record = ResumeRecord(1, {{"DATA", 1000}});
    UFileSys::ResumeFlatten(almost.Get(), record.data(), uint32_t(record.size()));
    EXPECT_EQ(UFileSys::GetFlattenSize(almost.Get()), uint32_t((uint64_t(1) << 32) - 100 - 1000 + 56 + 80));
}
