#include "client/app/UMyLinks.h"

#include <cstring>

#include "client/app/CMyApplication.h"
#include "framework/net/UTransport.h"

namespace
{
// What the desktop's opener is given at most.
constexpr uint32_t kMaxLink = 511;

bool IsSchemeChar(uint8_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
}

bool IsLetter(uint8_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
} // namespace

void UMyLinks::Find(const uint8_t* text, uint32_t length, std::vector<STextRun>& outRuns)
{
    if (!text || length < 4) return;
    uint32_t from = 0;
    while (from + 3 <= length)
    {
        const void* hit = std::memchr(text + from, ':', length - from);
        if (!hit) return;
        const auto colon = uint32_t(static_cast<const uint8_t*>(hit) - text);
        from = colon + 1;
        if (colon + 3 >= length || text[colon + 1] != '/' || text[colon + 2] != '/' ||
            !UTransport::_IsValidURLChar(text[colon + 3]))
            continue;
        uint32_t start = colon;
        while (start > 0 && IsSchemeChar(text[start - 1]))
            --start;
        // A scheme starts with a letter: "1.5://" is not a link, "x1.5://" is one from the x.
        while (start < colon && !IsLetter(text[start]))
            ++start;
        if (start == colon) continue;
        uint32_t end = colon + 3;
        while (end < length && end - start < kMaxLink && UTransport::_IsValidURLChar(text[end]))
            ++end;
        outRuns.push_back(STextRun{start, end - start, ETextMark::Link});
        from = end;
    }
}

void UMyLinks::Attach(CTextView* view)
{
    view->SetLinkFinder(&Find);
    view->SetLinkAction([](const std::string& url) { Open(url); });
}

void UMyLinks::Open(const std::string& url)
{
    static constexpr char kOwnScheme[] = "quenvol://";
    constexpr size_t kOwnLength = sizeof(kOwnScheme) - 1;
    if (url.size() > kOwnLength && strncasecmp(url.c_str(), kOwnScheme, kOwnLength) == 0)
    {
        if (gApp) gApp->DoGoURL(url.data(), uint32_t(url.size()));
        return;
    }
    uint32_t start = 0, end = 0;
    UTransport::LaunchURL(url.data(), uint32_t(url.size()), &start, &end);
}
