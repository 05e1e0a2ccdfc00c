// The hidden command window (Ctrl+F12): a command word, a blank and an argument. The words are not
// written anywhere in the program: a word is known by the checksum of its lower-case form (with its
// length byte, from -37), so that reading the program does not give them away.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "client/app/CMyAboutWin.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/chat/CMySecretWin.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/UModalLoop.h"

namespace
{
enum : uint32_t
{
    kWordStatistics = 0x09757337,
    kWordSetIcon = 0x1F00BEFF,
    kWordIcon1 = 0x18353838,
    kWordIcon2 = 0x15761EE1,
    kWordIcon3 = 0x11B70356,
    kWordIcon4 = 0x0FF05353,
    kWordIcon5 = 0x0B314EE4,
    kWordSendBuffer = 0x3C56787F,
    kWordPork = 0xDED5149A,
    kWordScramble = 0x60129D18,
    kWordRating = 0x8AFF7F22,
    kWordNothing = 0xD05B8748,
};
constexpr uint32_t kWordSeed = uint32_t(-37);

// The icons that only these commands give; "set icon" refuses them.
constexpr uint16_t kHiddenIcons[] = {410, 158, 139, 2019, 134};
constexpr uint32_t kMinSendBuffer = 16384;
// A socket asks the system for this at most, whatever number was typed.
constexpr uint64_t kMaxSendBuffer = 64u * 1024 * 1024;

bool IsRefusedIcon(int32_t icon)
{
    return std::find(std::begin(kHiddenIcons), std::end(kHiddenIcons), icon) != std::end(kHiddenIcons) ||
           (icon >= 1000 && icon <= 1003);
}

void SendPublicChat(TTransactObj* tpt, bool asAction, const void* text, uint32_t size)
{
    StFieldData fields;
    if (asAction) UFieldData::AddInteger(fields, kFieldChatOptions, 1);
    UFieldData::AddField(fields, kFieldData, text, size);
    UTransact::SendTransaction(tpt, kTranChatSend, fields);
}

// "announces a LEECH RATING of >>>> " and the ratio of the larger total to the smaller, negative when
// more went up than came down. 0xB0 is the infinity sign.
uint32_t FormatRating(uint32_t downloaded, uint32_t uploaded, uint8_t* out, uint32_t maxSize)
{
    static const char kPrefix[] = "announces a LEECH RATING of >>>> ";
    if (downloaded == 0 || uploaded == 0)
    {
        const char* tail = downloaded == uploaded ? "0" : uploaded == 0 ? "\xB0" : "-\xB0";
        return UText::Format(out, maxSize, "%s%s", kPrefix, tail);
    }
    // The quotient of 32-bit totals can pass the largest signed 32-bit number.
    const int64_t ratio =
        downloaded > uploaded ? int64_t(downloaded / uploaded) : -int64_t(uploaded / downloaded);
    const auto shown = int32_t(std::clamp<int64_t>(ratio, -INT32_MAX, INT32_MAX));
    return UText::Format(out, maxSize, "%s%li", kPrefix, shown);
}
} // namespace

void CMyApplication::DoSecret()
{
    uint8_t entry[256];
    {
        CMySecretWin dialog;
        dialog.Place(kPlaceCenterScreen);
        dialog.Show();
        dialog.BringToFront();
        const SModalResult result = UModalLoop::RunWindow(
            dialog, [](uint32_t hit) { return hit == CMySecretWin::kHitExecute || hit == kHitCloseBox; });
        if (!result.Is(CMySecretWin::kHitExecute)) return;
        dialog.GetInfo(entry);
    }

    // The word runs to the first blank; the argument starts after the blanks that follow it.
    const uint8_t* text = entry + 1;
    const uint32_t length = entry[0];
    uint32_t wordEnd = 0;
    while (wordEnd < length && text[wordEnd] != ' ')
        ++wordEnd;
    uint32_t argStart = wordEnd;
    while (argStart < length && text[argStart] == ' ')
        ++argStart;
    uint8_t word[256], argument[256];
    UPString::SetBytes(word, text, wordEnd);
    UText::MakeLowercase(word + 1, wordEnd);
    UPString::SetBytes(argument, text + argStart, length - argStart);
    const bool canSend = mSession.IsConnected();
    TTransactObj* tpt = mSession.Transactor();

    switch (UMemory::CRC(word, 1u + word[0], kWordSeed))
    {
    case kWordStatistics:
        if (canSend)
        {
            mSession.AddOnlineTime();
            uint8_t line[256];
            const uint32_t size = CMyAboutWin::FormatUsageLine(mStatistics, line, sizeof(line));
            SendPublicChat(tpt, false, line, size);
        }
        break;
    case kWordSetIcon:
    {
        const int32_t icon = UText::TextToInteger(argument + 1, argument[0]);
        if (IsRefusedIcon(icon))
            USound::Beep();
        else
            mSettings.iconID = uint16_t(icon);
        break;
    }
    case kWordIcon1:
    case kWordIcon2:
    case kWordIcon3:
    case kWordIcon4:
    case kWordIcon5:
    {
        static constexpr uint32_t kWords[] = {kWordIcon1, kWordIcon2, kWordIcon3, kWordIcon4, kWordIcon5};
        const uint32_t crc = UMemory::CRC(word, 1u + word[0], kWordSeed);
        mSettings.iconID =
            kHiddenIcons[std::find(std::begin(kWords), std::end(kWords), crc) - std::begin(kWords)];
        break;
    }
    case kWordSendBuffer:
    {
        const int64_t kilobytes = UText::TextToInteger(argument + 1, argument[0]);
        const uint64_t bytes = uint64_t(std::max<int64_t>(kilobytes, 0)) * 1024;
        UTransport::SetSendBufferSize(uint32_t(std::clamp<uint64_t>(bytes, kMinSendBuffer, kMaxSendBuffer)));
        break;
    }
    case kWordPork:
        if (canSend)
        {
            static const uint8_t kBacon[] = "\x05"
                                            "Bacon";
            StFieldData fields;
            UFieldData::AddInteger(fields, kFieldUserIconID, 154);
            UFieldData::AddPString(fields, kFieldUserName, kBacon);
            UTransact::SendTransaction(tpt, kTranSetClientUserInfo, fields);
            mChat.SetPorkMode();
        }
        break;
    case kWordScramble:
        mChat.SetScrambling(argument);
        break;
    case kWordRating:
        if (canSend)
        {
            uint8_t line[128];
            const uint32_t size = FormatRating(mStatistics.totalBytesDownloaded,
                                               mStatistics.totalBytesUploaded, line, sizeof(line));
            SendPublicChat(tpt, true, line, size);
        }
        break;
    case kWordNothing:
        break;
    default:
        USound::Beep();
        break;
    }
}
