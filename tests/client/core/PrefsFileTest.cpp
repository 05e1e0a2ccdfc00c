// The preferences file: its byte layout, the defaults for files that cannot be used, the icon's seal, the
// tracker block's place, and a write that fails part way.
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "client/core/UMyPrefsFile.h"
#include "framework/files/StFileSysRef.h"
#include "framework/runtime/SError.h"
#include "tests/client/prefs/PrefsTestSupport.h"

namespace
{
const std::string kFile = "Quenvol Prefs";

// Every field different from its neighbours and from zero.
SMyPrefs FullPrefs()
{
    SMyPrefs p;
    p.winVis = 0x7F;
    for (uint32_t i = 0; i < kPrefsWinCount; ++i)
        p.winRect[i] =
            SRect{int32_t(10 * i + 1), int32_t(-20 - int32_t(i)), int32_t(300 + i), int32_t(0x12345678 + i)};
    SMySettings& s = p.settings;
    s.sound = UMyPrefsFile::SoundFromBits(0x2A5);
    s.iconID = 2001;
    p.iconRand1 = 0x1234;
    p.iconRand2 = 0x5555AAAA;
    p.totals.totalBytesUploaded = 0x01020304;
    p.totals.totalBytesDownloaded = 0xFFFFFFFE;
    p.totals.totalSecsOnline = 86400 * 3;
    p.totals.totalChatBytes = 77;
    // Every option but the queue.
    s.showPrivMsgAtBack = s.showJoinLeaveInChat = s.refusePrivateMsg = s.refusePrivateChat = true;
    s.automaticResponse = true;
    s.queueTransfers = false;
    SetText(s.automaticResponseText, std::string(127, 'r'));
    SetText(s.userName, "Ms. Name \xA5");
    s.colorChat = SMyColorInfo{{1, 2, 3}, {0xFFFF, 0xFFFE, 0xFFFD}, 14};
    s.colorNews = SMyColorInfo{{100, 200, 300}, {400, 500, 600}, 50};
    SetText(s.firewall, "socks.example.org:1081");
    return p;
}

std::string EncodedPrefs(const SMyPrefs& p)
{
    std::string bytes(UMyPrefsFile::kFixedSize, '\0');
    UMyPrefsFile::Encode(p, reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
}

void ExpectDefaults(const SMyPrefs& p)
{
    EXPECT_EQ(p.winVis, 0x2F); // toolbar, tasks, news, chat, online users
    for (const SRect& r : p.winRect)
        EXPECT_FALSE(r.IsValid());
    EXPECT_EQ(p.settings.userName[0], 0);
    EXPECT_EQ(p.totals.totalSecsOnline, 0u);
}

uint32_t LE32(const std::string& b, size_t at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

class PrefsFileTest : public PrefsFolderTest
{
protected:
    bool Read(SMyPrefs& out, const UMyPrefsFile::TrackerProc& tracker = nullptr)
    {
        return UMyPrefsFile::Read(kFSProgramFolder, out, tracker);
    }
    void Write(const SMyPrefs& p, const UMyPrefsFile::TrackerProc& tracker = nullptr)
    {
        UMyPrefsFile::Write(kFSProgramFolder, p, tracker);
    }
};
} // namespace

TEST_F(PrefsFileTest, EveryFieldSurvivesAWriteAndARead)
{
    const SMyPrefs written = FullPrefs();
    Write(written);
    SMyPrefs read;
    ASSERT_TRUE(Read(read));
    EXPECT_EQ(EncodedPrefs(read), EncodedPrefs(written));
    EXPECT_EQ(read.winVis, written.winVis);
    for (uint32_t i = 0; i < kPrefsWinCount; ++i)
    {
        EXPECT_EQ(read.winRect[i].left, written.winRect[i].left);
        EXPECT_EQ(read.winRect[i].top, written.winRect[i].top);
        EXPECT_EQ(read.winRect[i].right, written.winRect[i].right);
        EXPECT_EQ(read.winRect[i].bottom, written.winRect[i].bottom);
    }
    const SMySettings &r = read.settings, &w = written.settings;
    EXPECT_EQ(UMyPrefsFile::SoundToBits(r.sound), 0x2A5u);
    EXPECT_EQ(r.iconID, 2001);
    EXPECT_EQ(read.totals.totalBytesUploaded, written.totals.totalBytesUploaded);
    EXPECT_EQ(read.totals.totalBytesDownloaded, written.totals.totalBytesDownloaded);
    EXPECT_EQ(read.totals.totalSecsOnline, written.totals.totalSecsOnline);
    EXPECT_EQ(read.totals.totalChatBytes, written.totals.totalChatBytes);
    EXPECT_EQ(r.showPrivMsgAtBack, w.showPrivMsgAtBack);
    EXPECT_EQ(r.queueTransfers, w.queueTransfers);
    EXPECT_EQ(r.showJoinLeaveInChat, w.showJoinLeaveInChat);
    EXPECT_EQ(r.refusePrivateMsg, w.refusePrivateMsg);
    EXPECT_EQ(r.refusePrivateChat, w.refusePrivateChat);
    EXPECT_EQ(r.automaticResponse, w.automaticResponse);
    EXPECT_EQ(Text(r.automaticResponseText), std::string(127, 'r'));
    EXPECT_EQ(Text(r.userName), "Ms. Name \xA5");
    EXPECT_EQ(std::memcmp(&r.colorChat, &w.colorChat, sizeof(SMyColorInfo)), 0);
    EXPECT_EQ(std::memcmp(&r.colorNews, &w.colorNews, sizeof(SMyColorInfo)), 0);
    EXPECT_EQ(Text(r.firewall), "socks.example.org:1081");
}

TEST_F(PrefsFileTest, FieldsSitAtTheirOffsetsLittleEndian)
{
    SMyPrefs p = FullPrefs();
    std::string b = EncodedPrefs(p);
    // Option bits nobody knows are not written back.
    b[213] = char(0xFF);
    SMyPrefs withUnknownBits;
    ASSERT_TRUE(UMyPrefsFile::Decode(b.data(), uint32_t(b.size()), withUnknownBits));
    b = EncodedPrefs(withUnknownBits);
    ASSERT_EQ(b.size(), 788u);
    EXPECT_EQ(b.substr(0, 4), std::string("\x07\x00\x7F\x00", 4));
    EXPECT_EQ(LE32(b, 4), 1u);                            // toolbar left
    EXPECT_EQ(LE32(b, 4 + 16 * 5 + 12), 0x12345678u + 5); // online users bottom
    EXPECT_EQ(LE32(b, 180), 0x2A5u);
    EXPECT_EQ(uint8_t(b[184]) | uint8_t(b[185]) << 8, uint16_t(~2001));
    EXPECT_EQ(LE32(b, 196), 0x01020304u);
    EXPECT_EQ(LE32(b, 212), uint32_t(kPrefsKnownOptions & ~kPrefsQueueTransfers));
    EXPECT_EQ(uint8_t(b[216]), 127);
    EXPECT_EQ(b.substr(344, 11), "\x0AMs. Name \xA5");
    EXPECT_EQ(b.substr(376, 128), std::string(128, '\0'));
    EXPECT_EQ(b.substr(504, 4), std::string("\x01\x00\x02\x00", 4));
    EXPECT_EQ(b.substr(516, 2), std::string("\x0E\x00", 2)); // chat text size
    EXPECT_EQ(b.substr(530, 2), std::string("\x32\x00", 2)); // news text size
    EXPECT_EQ(b.substr(532, 6), "\x16socks");
    EXPECT_EQ(b.substr(660, 128), std::string(128, '\0'));
}

TEST_F(PrefsFileTest, AShortFileAnotherVersionOrNoFileGiveTheDefaultsQuietly)
{
    SMyPrefs p;
    EXPECT_FALSE(Read(p)); // no file at all
    ExpectDefaults(p);

    const std::string good = EncodedPrefs(FullPrefs());
    WriteUserFile(kFile, good.substr(0, 787));
    EXPECT_FALSE(Read(p));
    ExpectDefaults(p);

    std::string v6 = good;
    v6[0] = 6;
    WriteUserFile(kFile, v6);
    EXPECT_FALSE(Read(p));
    ExpectDefaults(p);

    // A folder where the file should be is no file either.
    std::filesystem::remove(UserPath(kFile));
    std::filesystem::create_directories(UserPath(kFile));
    EXPECT_FALSE(Read(p));
    ExpectDefaults(p);
}

TEST_F(PrefsFileTest, AnIconEditedByHandFallsBackToTheDefault)
{
    for (size_t at : {184u, 186u, 189u, 195u})
    {
        std::string b = EncodedPrefs(FullPrefs());
        b[at] = char(b[at] ^ 0x01);
        WriteUserFile(kFile, b);
        SMyPrefs p;
        ASSERT_TRUE(Read(p));
        EXPECT_EQ(p.settings.iconID, 414) << "byte " << at;
        EXPECT_EQ(Text(p.settings.userName), "Ms. Name \xA5"); // the rest of the block stays
    }
}

TEST_F(PrefsFileTest, TextLengthsThatRunPastTheirFieldsAreCut)
{
    std::string b = EncodedPrefs(FullPrefs());
    b[344] = char(200); // the name's length byte
    b[532] = char(255); // the firewall's
    WriteUserFile(kFile, b);
    SMyPrefs p;
    ASSERT_TRUE(Read(p));
    EXPECT_EQ(p.settings.userName[0], 31);
    EXPECT_EQ(p.settings.firewall[0], 127);
    EXPECT_EQ(Text(p.settings.userName).substr(0, 10), "Ms. Name \xA5");
}

TEST_F(PrefsFileTest, TheTrackerBlockFollowsTheFixedBlockAndItsDamageCostsOnlyTheTrackers)
{
    const std::string block = "tracker block";
    Write(FullPrefs(),
          [&](TFileSysRefObj* file, uint32_t offset)
          {
              EXPECT_EQ(offset, 788u);
              UFileSys::Write(file, offset, block.data(), uint32_t(block.size()));
          });
    EXPECT_EQ(ReadUserFile(kFile).substr(788), block);

    std::string seen;
    SMyPrefs p;
    ASSERT_TRUE(Read(p,
                     [&](TFileSysRefObj* file, uint32_t offset)
                     {
                         char buffer[64];
                         seen.assign(buffer, UFileSys::Read(file, offset, buffer, sizeof(buffer)));
                     }));
    EXPECT_EQ(seen, block);

    ASSERT_TRUE(Read(p, [](TFileSysRefObj*, uint32_t) { Fail(kErrTypeGeneral, 1); }));
    EXPECT_EQ(Text(p.settings.userName), "Ms. Name \xA5");

    // A file too short for the fixed block gives the tracker code nothing to read.
    WriteUserFile(kFile, std::string(100, '\0'));
    bool called = false;
    EXPECT_FALSE(Read(p, [&](TFileSysRefObj*, uint32_t) { called = true; }));
    EXPECT_FALSE(called);
}

TEST_F(PrefsFileTest, AWriteThatFailsPartWayLeavesThePreviousFileIntact)
{
    Write(FullPrefs());
    const std::string before = ReadUserFile(kFile);

    SMyPrefs changed = FullPrefs();
    SetText(changed.settings.userName, "someone else");
    EXPECT_THROW(Write(changed,
                       [](TFileSysRefObj* file, uint32_t offset)
                       {
                           UFileSys::Write(file, offset, "half", 4);
                           Fail(kErrTypeFileSys, 106); // the disk is full
                       }),
                 SError);
    EXPECT_EQ(ReadUserFile(kFile), before);
    EXPECT_FALSE(UserFileExists(kFile + ".new"));

    // A temporary file left by a crash does not stop the next write.
    WriteUserFile(kFile + ".new", "left over");
    Write(changed);
    SMyPrefs p;
    ASSERT_TRUE(Read(p));
    EXPECT_EQ(Text(p.settings.userName), "someone else");
    EXPECT_FALSE(UserFileExists(kFile + ".new"));
}

TEST(PrefsSound, BitsFollowTheSwitchesInOrder)
{
    for (uint32_t bit = 0; bit < 10; ++bit)
        EXPECT_EQ(UMyPrefsFile::SoundToBits(UMyPrefsFile::SoundFromBits(1u << bit)), 1u << bit);
    const SMySoundPrefs s = UMyPrefsFile::SoundFromBits(0x101);
    EXPECT_TRUE(s.playSounds);
    EXPECT_TRUE(s.error);
    EXPECT_FALSE(s.chat);
    EXPECT_EQ(UMyPrefsFile::SoundToBits(UMyPrefsFile::SoundFromBits(0xFFFFFFFF)), 0x3FFu);
}
