#include "client/core/UMyPrefsFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"

const uint8_t UMyPrefsFile::kFileName[] = "\x0D"
                                          "Quenvol Prefs";

namespace
{
// Offsets of the fixed block.
enum : uint32_t
{
    kOffVersion = 0,
    kOffWinVis = 2,
    kOffWinRect = 4,
    kOffSound = 180,
    kOffIconID = 184,
    kOffIconRand1 = 186,
    kOffIconRand2 = 188,
    kOffIconCRC = 192,
    kOffTotalUploaded = 196,
    kOffTotalDownloaded = 200,
    kOffTotalOnline = 204,
    kOffTotalChat = 208,
    kOffOptions = 212,
    kOffAutoResponse = 216,
    kOffUserName = 344,
    kOffColorChat = 504,
    kOffColorNews = 518,
    kOffFirewall = 532,
};
constexpr uint32_t kRectSize = 16;
constexpr uint32_t kIconSealSize = 8;

void PutLE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void PutLE32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

uint16_t GetLE16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t GetLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A length-prefixed text in a field of fieldSize bytes: at most fieldSize - 1 characters, zero padded.
void PutText(uint8_t* field, uint32_t fieldSize, const uint8_t* text)
{
    std::memset(field, 0, fieldSize);
    UPString::Copy(field, fieldSize, text);
}

// The length byte of a field is not trusted: what it claims beyond the field is cut.
void GetText(const uint8_t* field, uint32_t fieldSize, uint8_t* outText)
{
    std::memset(outText, 0, fieldSize);
    UPString::SetBytes(outText, fieldSize, field + 1, std::min<uint32_t>(field[0], fieldSize - 1));
}

void PutColor(uint8_t* p, const SMyColorInfo& c)
{
    const uint16_t v[7] = {c.textColor.red,   c.textColor.green, c.textColor.blue, c.backColor.red,
                           c.backColor.green, c.backColor.blue,  c.textSize};
    for (int i = 0; i < 7; ++i)
        PutLE16(p + 2 * i, v[i]);
}

SMyColorInfo GetColor(const uint8_t* p)
{
    return SMyColorInfo{{GetLE16(p), GetLE16(p + 2), GetLE16(p + 4)},
                        {GetLE16(p + 6), GetLE16(p + 8), GetLE16(p + 10)},
                        GetLE16(p + 12)};
}

uint32_t IconSeal(uint16_t iconID, uint16_t rand1, uint32_t rand2)
{
    uint8_t bytes[kIconSealSize];
    PutLE16(bytes, iconID);
    PutLE16(bytes + 2, rand1);
    PutLE32(bytes + 4, rand2);
    return UMemory::CRC(bytes, sizeof(bytes), 0xFFFFFFFF);
}

} // namespace

void UMyPrefsFile::SetDefaults(SMyPrefs& prefs)
{
    prefs.winVis = uint16_t((1u << kPrefsWinToolbar) | (1u << kPrefsWinTasks) | (1u << kPrefsWinNews) |
                            (1u << kPrefsWinChat) | (1u << kPrefsWinConnectedUsers));
    for (SRect& r : prefs.winRect)
        r = SRect{};
}

void UMyPrefsFile::Encode(const SMyPrefs& prefs, uint8_t* outBytes)
{
    const SMySettings& s = prefs.settings;
    std::memset(outBytes, 0, kFixedSize);
    PutLE16(outBytes + kOffVersion, kVersion);
    PutLE16(outBytes + kOffWinVis, prefs.winVis);
    for (uint32_t i = 0; i < kPrefsWinCount; ++i)
    {
        uint8_t* r = outBytes + kOffWinRect + i * kRectSize;
        PutLE32(r, uint32_t(prefs.winRect[i].left));
        PutLE32(r + 4, uint32_t(prefs.winRect[i].top));
        PutLE32(r + 8, uint32_t(prefs.winRect[i].right));
        PutLE32(r + 12, uint32_t(prefs.winRect[i].bottom));
    }
    PutLE32(outBytes + kOffSound, SoundToBits(s.sound));
    const auto iconID = uint16_t(~s.iconID);
    PutLE16(outBytes + kOffIconID, iconID);
    PutLE16(outBytes + kOffIconRand1, prefs.iconRand1);
    PutLE32(outBytes + kOffIconRand2, prefs.iconRand2);
    PutLE32(outBytes + kOffIconCRC, IconSeal(iconID, prefs.iconRand1, prefs.iconRand2));
    PutLE32(outBytes + kOffTotalUploaded, prefs.totals.totalBytesUploaded);
    PutLE32(outBytes + kOffTotalDownloaded, prefs.totals.totalBytesDownloaded);
    PutLE32(outBytes + kOffTotalOnline, prefs.totals.totalSecsOnline);
    PutLE32(outBytes + kOffTotalChat, prefs.totals.totalChatBytes);
    uint32_t options = 0;
    for (const auto& [bit, on] : {std::pair{kPrefsShowPrivMsgAtBack, s.showPrivMsgAtBack},
                                  std::pair{kPrefsQueueTransfers, s.queueTransfers},
                                  std::pair{kPrefsShowJoinLeave, s.showJoinLeaveInChat},
                                  std::pair{kPrefsRefusePrivateMsg, s.refusePrivateMsg},
                                  std::pair{kPrefsRefusePrivateChat, s.refusePrivateChat},
                                  std::pair{kPrefsAutomaticResponse, s.automaticResponse}})
        if (on) options |= bit;
    PutLE32(outBytes + kOffOptions, options);
    PutText(outBytes + kOffAutoResponse, sizeof(s.automaticResponseText), s.automaticResponseText);
    PutText(outBytes + kOffUserName, sizeof(s.userName), s.userName);
    PutColor(outBytes + kOffColorChat, s.colorChat);
    PutColor(outBytes + kOffColorNews, s.colorNews);
    PutText(outBytes + kOffFirewall, sizeof(s.firewall), s.firewall);
}

bool UMyPrefsFile::Decode(const void* bytes, uint32_t size, SMyPrefs& ioPrefs)
{
    if (!bytes || size < kFixedSize) return false;
    const auto* in = static_cast<const uint8_t*>(bytes);
    if (GetLE16(in + kOffVersion) != kVersion) return false;
    SMyPrefs p = ioPrefs;
    SMySettings& s = p.settings;
    p.winVis = GetLE16(in + kOffWinVis);
    for (uint32_t i = 0; i < kPrefsWinCount; ++i)
    {
        const uint8_t* r = in + kOffWinRect + i * kRectSize;
        p.winRect[i] = SRect{int32_t(GetLE32(r)), int32_t(GetLE32(r + 4)), int32_t(GetLE32(r + 8)),
                             int32_t(GetLE32(r + 12))};
    }
    s.sound = SoundFromBits(GetLE32(in + kOffSound));
    const uint16_t iconID = GetLE16(in + kOffIconID);
    p.iconRand1 = GetLE16(in + kOffIconRand1);
    p.iconRand2 = GetLE32(in + kOffIconRand2);
    const bool sealed = IconSeal(iconID, p.iconRand1, p.iconRand2) == GetLE32(in + kOffIconCRC);
    s.iconID = sealed ? uint16_t(~iconID) : SMySettings::kDefaultIcon;
    p.totals.totalBytesUploaded = GetLE32(in + kOffTotalUploaded);
    p.totals.totalBytesDownloaded = GetLE32(in + kOffTotalDownloaded);
    p.totals.totalSecsOnline = GetLE32(in + kOffTotalOnline);
    p.totals.totalChatBytes = GetLE32(in + kOffTotalChat);
    const uint32_t options = GetLE32(in + kOffOptions);
    s.showPrivMsgAtBack = (options & kPrefsShowPrivMsgAtBack) != 0;
    s.queueTransfers = (options & kPrefsQueueTransfers) != 0;
    s.showJoinLeaveInChat = (options & kPrefsShowJoinLeave) != 0;
    s.refusePrivateMsg = (options & kPrefsRefusePrivateMsg) != 0;
    s.refusePrivateChat = (options & kPrefsRefusePrivateChat) != 0;
    s.automaticResponse = (options & kPrefsAutomaticResponse) != 0;
    GetText(in + kOffAutoResponse, sizeof(s.automaticResponseText), s.automaticResponseText);
    GetText(in + kOffUserName, sizeof(s.userName), s.userName);
    s.colorChat = GetColor(in + kOffColorChat);
    s.colorNews = GetColor(in + kOffColorNews);
    GetText(in + kOffFirewall, sizeof(s.firewall), s.firewall);
    ioPrefs = p;
    return true;
}

uint32_t UMyPrefsFile::SoundToBits(const SMySoundPrefs& s)
{
    const bool bits[] = {bool(s.playSounds), bool(s.chat),      bool(s.news),  bool(s.fileTransfer),
                         bool(s.privMsg),    bool(s.join),      bool(s.leave), bool(s.login),
                         bool(s.error),      bool(s.chatInvite)};
    uint32_t out = 0;
    for (uint32_t i = 0; i < sizeof(bits); ++i)
        if (bits[i]) out |= 1u << i;
    return out;
}

SMySoundPrefs UMyPrefsFile::SoundFromBits(uint32_t bits)
{
    SMySoundPrefs s{};
    s.playSounds = (bits >> 0) & 1;
    s.chat = (bits >> 1) & 1;
    s.news = (bits >> 2) & 1;
    s.fileTransfer = (bits >> 3) & 1;
    s.privMsg = (bits >> 4) & 1;
    s.join = (bits >> 5) & 1;
    s.leave = (bits >> 6) & 1;
    s.login = (bits >> 7) & 1;
    s.error = (bits >> 8) & 1;
    s.chatInvite = (bits >> 9) & 1;
    return s;
}

bool UMyPrefsFile::Read(TFileSysRefObj* folder, SMyPrefs& ioPrefs, const TrackerProc& readTracker)
{
    uint8_t bytes[kFixedSize];
    uint32_t got = 0;
    try
    {
        StFileSysRef file(UFileSys::New(folder, nullptr, kFileName));
        StFileOpener open(file.Get(), kFSPermRead);
        got = UFileSys::Read(file.Get(), 0, bytes, kFixedSize);
        if (got == kFixedSize && readTracker)
        {
            try
            {
                readTracker(file.Get(), kFixedSize);
            }
            catch (const SError&)
            {
                // A damaged tracker block costs the trackers only, never the settings before it.
            }
        }
    }
    catch (const SError&)
    {
        got = 0;
    }
    if (Decode(bytes, got, ioPrefs)) return true;
    SetDefaults(ioPrefs);
    return false;
}

void UMyPrefsFile::Write(TFileSysRefObj* folder, const SMyPrefs& prefs, const TrackerProc& writeTracker)
{
    uint8_t bytes[kFixedSize];
    Encode(prefs, bytes);
    UFileSys::SaveSafely(folder, kFileName, FourCC("pref"), FourCC("QVLC"),
                         [&](TFileSysRefObj* file)
                         {
                             UFileSys::Write(file, 0, bytes, kFixedSize);
                             if (writeTracker) writeTracker(file, kFixedSize);
                         });
}
