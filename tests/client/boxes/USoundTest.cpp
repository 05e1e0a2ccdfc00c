// Sound resources: the header checks, the switch, and the event sounds of the data file.
#include <gtest/gtest.h>
#include <vector>

#include "client/boxes/USound.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"
#include "tests/support/RunLoopWait.h"
#include "tests/support/TestDataFile.h"

namespace
{
std::vector<uint8_t> Header(uint32_t frames, uint32_t dataSize, uint16_t channels = 1, uint16_t bytes = 2)
{
    std::vector<uint8_t> h(32, 0);
    auto put = [&](size_t at, uint32_t v)
    {
        h[at] = uint8_t(v >> 24), h[at + 1] = uint8_t(v >> 16), h[at + 2] = uint8_t(v >> 8),
        h[at + 3] = uint8_t(v);
    };
    h[0] = 'N', h[1] = 'Q', h[2] = 'S', h[3] = 'N';
    h[5] = 1;
    h[6] = uint8_t(channels);
    h[7] = uint8_t(bytes);
    put(8, 22050);
    put(12, frames);
    put(28, dataSize);
    h.resize(32 + dataSize, 0);
    return h;
}

void ExpectError(const std::vector<uint8_t>& body, int16_t type, int16_t id)
{
    SSoundHeader header;
    try
    {
        USound::ReadHeader(body.data(), uint32_t(body.size()), header);
        ADD_FAILURE() << "no error, expected " << type << "/" << id;
    }
    catch (const SError& e)
    {
        EXPECT_EQ(e.type, type);
        EXPECT_EQ(e.id, id);
    }
}
} // namespace

TEST(SoundHeader, ChecksSignatureVersionCompressionAndSizes)
{
    std::vector<uint8_t> good = Header(10, 20);
    SSoundHeader header;
    USound::ReadHeader(good.data(), uint32_t(good.size()), header);
    EXPECT_EQ(header.channels, 1);
    EXPECT_EQ(header.bytesPerSample, 2);
    EXPECT_EQ(header.sampleRate, 22050u);
    EXPECT_EQ(header.frames, 10u);
    EXPECT_EQ(header.dataSize, 20u);

    auto bad = good;
    bad[0] = 'X';
    ExpectError(bad, 1, 8);
    bad = good;
    bad[5] = 2;
    ExpectError(bad, 1, 7);
    bad = good;
    bad[27] = 1; // compressed
    ExpectError(bad, 1, 8);
    bad = good;
    bad.pop_back(); // one sample byte missing
    ExpectError(bad, 1, 9);
    ExpectError(Header(11, 20), 1, 9); // fewer bytes than the frames need
    // A size field near 2^32 must not wrap around the check.
    bad = good;
    bad[28] = bad[29] = bad[30] = bad[31] = 0xFF;
    ExpectError(bad, 1, 9);
    ExpectError(Header(0x80000000u, 0, 2, 2), 1, 9); // frames x channels x size overflows 32 bits
}

TEST(SoundPlay, SwitchedOffOrNumberZeroOrMissingIsSilentAndRaisesNothing)
{
    TRezObj* rez = UseBuiltDataFile();
    ASSERT_NE(rez, nullptr);
    USound::SetCanPlay(false);
    EXPECT_FALSE(USound::IsCanPlay());
    EXPECT_NO_THROW(USound::Play(nullptr, 128, 0));
    EXPECT_EQ(URez::GetLoadCount(rez, FourCC("SOUN"), 128), 0u);
    USound::SetCanPlay(true);
    EXPECT_NO_THROW(USound::Play(nullptr, 0, 0));
    EXPECT_NO_THROW(USound::Play(nullptr, 4000, 0)); // no such sound
    EXPECT_EQ(USound::GetPlayingCount(), 0u);
}

TEST(SoundPlay, TheEventSoundsAreShortMonoSixteenBit)
{
    UseBuiltDataFile();
    for (int16_t id = 128; id <= 136; ++id)
    {
        StRezLoader item(nullptr, FourCC("SOUN"), uint32_t(id));
        StHandleLocker lock(item.Handle());
        SSoundHeader header;
        USound::ReadHeader(lock.Data(), UMemory::GetSize(item.Handle()), header);
        EXPECT_EQ(header.bytesPerSample, 2) << id;
        EXPECT_GT(header.frames, header.sampleRate / 20) << id; // long enough to hear
        EXPECT_LT(header.frames, header.sampleRate * 1) << id;  // short enough not to annoy
    }
}

TEST(SoundPlay, TwoSoundsPlayTogetherAndReleaseTheirResources)
{
    TRezObj* rez = UseBuiltDataFile();
    if (!USound::Init()) GTEST_SKIP() << "this machine has no audio output";
    USound::SetCanPlay(true);
    USound::Play(nullptr, 129, 0);
    USound::Play(nullptr, 135, 0);
    EXPECT_EQ(USound::GetPlayingCount(), 2u);
    EXPECT_EQ(URez::GetLoadCount(rez, FourCC("SOUN"), 129), 1u);
    PumpUntil([] { return USound::GetPlayingCount() == 0; }, "the sounds to end", 5000);
    EXPECT_EQ(URez::GetLoadCount(rez, FourCC("SOUN"), 129), 0u);
}
