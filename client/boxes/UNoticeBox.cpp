#include "client/boxes/UNoticeBox.h"

#include <map>
#include <string>

#include "client/boxes/MsgBox.h"
#include "client/boxes/USound.h"
#include "client/core/SMySoundPrefs.h"
#include "framework/runtime/UApplication.h"

namespace
{
struct SKind
{
    bool showing = false;
    std::string waiting; // the texts, each after a blank line but the first
    uint32_t waitingCount = 0;
    uint32_t dropped = 0;
    std::string last; // the text shown or kept last, so that a repeat is not kept again
};

std::map<uint32_t, SKind>& Kinds()
{
    static std::map<uint32_t, SKind> kinds;
    return kinds;
}

// Texts use the client's line breaks.
constexpr char kSeparator[] = "\r\r";

void KeepText(SKind& k, const void* text, uint32_t size)
{
    if (k.last.size() == size && k.last.compare(0, size, static_cast<const char*>(text), size) == 0) return;
    k.last.assign(static_cast<const char*>(text), size);
    if (k.waiting.size() + size + 2 > UNoticeBox::kMaxWaitingBytes)
    {
        ++k.dropped;
        return;
    }
    if (!k.waiting.empty()) k.waiting += kSeparator;
    k.waiting.append(static_cast<const char*>(text), size);
    ++k.waitingCount;
}

// Everything that waited, as one text, and the kind emptied.
std::string TakeWaiting(SKind& k)
{
    std::string all;
    all.swap(k.waiting);
    if (k.dropped)
    {
        all += kSeparator;
        all += '(';
        all += std::to_string(k.dropped);
        all += " more could not be kept.)";
    }
    k.waitingCount = 0;
    k.dropped = 0;
    return all;
}
} // namespace

void UNoticeBox::Show(uint32_t kind, const void* text, uint32_t size, const ShowProc& show)
{
    SKind& k = Kinds()[kind];
    if (k.showing)
    {
        KeepText(k, text, size);
        return;
    }
    // Cleared however the box ends, so that a box that failed to open does not hold back its kind.
    struct StShowing
    {
        SKind& k;
        ~StShowing()
        {
            k.showing = false;
            TakeWaiting(k);
            k.last.clear();
        }
    } showing{k};
    k.showing = true;
    k.last.assign(static_cast<const char*>(text), size);
    show(text, size);
    while ((!k.waiting.empty() || k.dropped) && !UApplication::IsQuitting())
    {
        const std::string all = TakeWaiting(k);
        show(all.data(), uint32_t(all.size()));
    }
}

bool UNoticeBox::Keep(uint32_t kind, const void* text, uint32_t size)
{
    SKind& k = Kinds()[kind];
    const bool first = !k.showing && k.waiting.empty() && !k.dropped;
    KeepText(k, text, size);
    return first;
}

void UNoticeBox::ShowWaiting(uint32_t kind, const ShowProc& show)
{
    SKind& k = Kinds()[kind];
    if (k.showing || (k.waiting.empty() && !k.dropped)) return;
    k.last.clear();
    const std::string all = TakeWaiting(k);
    Show(kind, all.data(), uint32_t(all.size()), show);
}

bool UNoticeBox::IsShowing(uint32_t kind)
{
    auto it = Kinds().find(kind);
    return it != Kinds().end() && it->second.showing;
}

uint32_t UNoticeBox::GetWaitingCount(uint32_t kind)
{
    auto it = Kinds().find(kind);
    return it == Kinds().end() ? 0 : it->second.waitingCount;
}

void UNoticeBox::ShowNumbered(int16_t boxID, const uint8_t* argument, const SMySoundPrefs* sounds)
{
    uint8_t message[256];
    FormatMsgBoxMessage(message, boxID, argument);
    Show(uint32_t(boxID), message + 1, message[0],
         [boxID, sounds](const void* text, uint32_t size)
         {
             if (sounds) USound::PlayEvent(kSoundError, sounds->error);
             MsgBoxWithText(boxID, text, size);
         });
}
