#include "client/chat/CMyChat.h"

#include <cstring>
#include <random>

#include "client/chat/UMyChatScram.h"

void CMyChat::SetScrambling(const uint8_t* key)
{
    if (!key || key[0] != UMyChatScram::kKeyLength)
    {
        mScramChat = false;
        return;
    }
    if (!mScramTable) mScramTable = std::make_unique<uint8_t[]>(256);
    if (!mUnscramTable) mUnscramTable = std::make_unique<uint8_t[]>(256);
    UMyChatScram::MakeTables(key + 1, mScramTable.get(), mUnscramTable.get());
    mScramChat = true;
}

void CMyChat::ScrambleOutgoing(std::string& text) const
{
    if (!mScramChat || !mScramTable) return;
    UMyChatScram::Scramble(reinterpret_cast<uint8_t*>(text.data()), uint32_t(text.size()), mScramTable.get());
    text.push_back(char(UMyChatScram::kEndMarker));
}

void CMyChat::UnscrambleIncoming(uint8_t* line, uint32_t size) const
{
    if (!mScramChat || !mUnscramTable || size == 0 || line[size - 1] != UMyChatScram::kEndMarker) return;
    // The server put the speaker's name and a colon before the text; the text starts there.
    if (void* colon = std::memchr(line, ':', size - 1))
    {
        const auto start = uint32_t(static_cast<uint8_t*>(colon) - line);
        UMyChatScram::Scramble(line + start, size - 1 - start, mUnscramTable.get());
        line[size - 1] = UMyChatScram::kShownMarker;
    }
}

const char* CMyChat::PorkLine()
{
    static const char* const kPorkLines[] = {"doze frogz are gunna pay", "pork pork", "pork pork pork",
                                             "pork pork pork pork", "pork"};
    static std::minstd_rand random{std::random_device{}()};
    return kPorkLines[std::uniform_int_distribution<int>(1, 5)(random) - 1];
}
