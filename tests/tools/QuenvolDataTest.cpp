// The built data file holds everything the client opens by number.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UIDVarArray.h"
#include "framework/runtime/URez.h"
#include "platform/Folders.h"

namespace
{
constexpr uint32_t kEMSG = FourCC("EMSG");
constexpr uint32_t kMSGB = FourCC("MSGB");

const std::vector<std::pair<uint32_t, std::vector<uint32_t>>> kErrorIDs = {
    {1, {1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 14}},
    {3, {101, 102}},
    {4, {101, 102, 103, 104, 105, 106, 110, 111, 112, 115, 116, 117, 119, 124, 125, 128, 129}},
    {6, {100, 101, 102, 103, 104}},
    {8, {100, 101, 102, 103, 104, 106, 107, 109, 111, 112}},
};

// Boxes whose callers pass one name or text, and those whose callers pass nothing.
const std::vector<uint32_t> kBoxesWithArgument = {133, 134, 136, 137, 139, 140, 142, 143, 144, 147, 149};
const std::vector<uint32_t> kBoxesWithout = {128, 129, 131, 132, 135, 138, 146, 148, 150};
// Boxes whose callers act on button 1 versus anything else need a second button to say no.
const std::vector<uint32_t> kQuestions = {133, 134, 140, 144, 147, 149, 150};

bool IsFile(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// QUENVOL_TEST_DATA names the file or the folder holding it; without it, look beside the test program.
std::string DataFilePath()
{
    if (const char* env = std::getenv("QUENVOL_TEST_DATA"); env && env[0])
        return IsFile(env) ? std::string(env) : std::string(env) + "/quenvol.dat";
    return platform::ProgramFolder() + "/quenvol.dat";
}

struct SBox
{
    int16_t numbers[6];
    std::vector<std::string> texts; // only those that fit, in order
};

SBox ReadBox(THdlObj* h)
{
    StHandleLocker lock(h);
    const uint8_t* p = lock.Data();
    const uint32_t size = UMemory::GetSize(h);
    SBox box{};
    EXPECT_GE(size, 12u);
    if (size < 12) return box;
    for (int i = 0; i < 6; ++i)
        box.numbers[i] = int16_t((p[2 * i] << 8) | p[2 * i + 1]);
    for (uint32_t pos = 12; pos < size && pos + 1 + p[pos] <= size && box.texts.size() < 5; pos += 1 + p[pos])
        box.texts.emplace_back(reinterpret_cast<const char*>(p + pos + 1), p[pos]);
    return box;
}

class QuenvolDataTest : public testing::Test
{
protected:
    void SetUp() override
    {
        mPath = DataFilePath();
        ASSERT_TRUE(IsFile(mPath)) << "no data file at " << mPath;
        mRez = URez::AddFileToSearchChain(mPath.c_str());
    }
    void TearDown() override { URez::Dispose(mRez); }

    std::string mPath;
    TRezObj* mRez = nullptr;
};
} // namespace

TEST_F(QuenvolDataTest, EveryErrorHasAText)
{
    for (const auto& [type, ids] : kErrorIDs)
    {
        ASSERT_EQ(URez::SearchChain(kEMSG, type), mRez) << "no list for type " << type;
        THdlObj* list = URez::LoadItem(mRez, kEMSG, type);
        for (uint32_t id : ids)
        {
            char text[256];
            const uint32_t n = UIDVarArray::GetItem(list, id, text, sizeof(text));
            EXPECT_GT(n, 10u) << type << "/" << id;
            EXPECT_NE(std::string(text, n).find('.'), std::string::npos) << type << "/" << id;
        }
        URez::ReleaseItem(mRez, kEMSG, type);
    }
}

TEST_F(QuenvolDataTest, ErrorDisplayFindsTheTexts)
{
    char text[256];
    const uint32_t n = UError::GetMessage(SError(kErrTypeTransport, 101), text, sizeof(text));
    EXPECT_EQ(std::string(text, n), "The server could not be found.  Check the address.");
    const uint32_t m = UError::GetMessage(SError(kErrTypeFileSys, 117), text, sizeof(text));
    // The apostrophe is the Mac OS Roman right single quote.
    EXPECT_EQ(std::string(text, m), "You don\xD5t have permission to do that.");
}

TEST_F(QuenvolDataTest, EveryMessageBoxIsThereAndFitsItsCaller)
{
    std::vector<uint32_t> all = kBoxesWithArgument;
    all.insert(all.end(), kBoxesWithout.begin(), kBoxesWithout.end());
    EXPECT_EQ(all.size(), 20u);
    for (uint32_t number : all)
    {
        SCOPED_TRACE(number);
        StRezLoader loader(nullptr, kMSGB, number);
        const SBox box = ReadBox(loader.Handle());
        ASSERT_EQ(box.texts.size(), 5u);
        EXPECT_FALSE(box.texts[0].empty()) << "title";
        EXPECT_FALSE(box.texts[1].empty()) << "message";
        EXPECT_FALSE(box.texts[2].empty()) << "button 1";
        const bool hasArgument = box.texts[1].find("%#s") != std::string::npos;
        const bool wantsArgument = std::find(kBoxesWithArgument.begin(), kBoxesWithArgument.end(), number) !=
                                   kBoxesWithArgument.end();
        EXPECT_EQ(hasArgument, wantsArgument);
        // No other conversion: callers pass exactly one string or nothing.
        EXPECT_EQ(box.texts[1].find('%', hasArgument ? box.texts[1].find("%#s") + 1 : 0), std::string::npos);
        const bool question = std::find(kQuestions.begin(), kQuestions.end(), number) != kQuestions.end();
        EXPECT_EQ(!box.texts[3].empty(), question) << "second button";
        const int16_t sound = box.numbers[2];
        EXPECT_TRUE(sound == 0 || sound == 1 || (sound >= 128 && sound <= 136)) << sound;
    }
    // The resume question offers resume, start over and cancel.
    StRezLoader loader(nullptr, kMSGB, 133);
    EXPECT_FALSE(ReadBox(loader.Handle()).texts[4].empty());
}

TEST_F(QuenvolDataTest, IconsTheClientTakesByItselfAreDrawn)
{
    // Icons no user picks from a list, so a missing one shows only as a blank row: the default user
    // icon, those the hidden commands set, and the one the "pork" command sets.
    static constexpr char kTypes[][5] = {"ICON", "IC16", "IC24", "IC32", "IC48", "IC96"};
    for (uint32_t id : {414, 410, 158, 139, 2019, 134, 154})
        for (const auto& type : kTypes)
            EXPECT_EQ(URez::SearchChain(FourCC(type), id), mRez) << type << " " << id;
}

TEST(QuenvolDataFileTest, FoundBesideTheProgram)
{
    // The build puts the data file beside every program in its bin folder, tests included.
    if (!IsFile(platform::ProgramFolder() + "/quenvol.dat")) GTEST_SKIP() << "not built beside the test";
    const uint8_t name[] = "\x0Bquenvol.dat";
    TRezObj* rez = URez::AddProgramFileToSearchChain(name);
    EXPECT_EQ(URez::SearchChain(kMSGB, 128), rez);
    URez::Dispose(rez);
}
