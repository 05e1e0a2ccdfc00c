#include "client/chat/UMyChatLine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
// Servers pad or cut the speaker's name to this many characters.
constexpr uint32_t kServerNameWidth = 13;

uint8_t Lower(uint8_t c)
{
    return (c >= 'A' && c <= 'Z') ? uint8_t(c + ('a' - 'A')) : c;
}

// Letters of every kind (accented ones are above 0x7F) and digits make words.
bool IsWordByte(uint8_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c >= 0x80;
}

bool StartsWith(const uint8_t* p, uint32_t n, const uint8_t* with, uint32_t w)
{
    return w <= n && std::memcmp(p, with, w) == 0;
}

// Where the speaker's name starts and ends, and where what was said starts; false for a line of the
// client's own or one the server wrote.
bool SplitSpeaker(const uint8_t* p, uint32_t n, uint32_t& nameStart, uint32_t& nameEnd, uint32_t& textStart)
{
    uint32_t i = 0;
    while (i < n && (p[i] == '\r' || p[i] == ' '))
        ++i;
    if (i + 4 <= n && std::memcmp(p + i, "*** ", 4) == 0)
    {
        nameStart = i + 4;
        nameEnd = nameStart;
        while (nameEnd < n && p[nameEnd] != ' ')
            ++nameEnd;
        textStart = nameEnd;
        return nameEnd > nameStart;
    }
    if (i + 4 <= n && std::memcmp(p + i, "<<<", 3) == 0) return false;
    const void* colon = std::memchr(p + i, ':', n - i);
    if (!colon) return false;
    nameStart = i;
    nameEnd = uint32_t(static_cast<const uint8_t*>(colon) - p);
    textStart = nameEnd + 1;
    return nameEnd > nameStart;
}

bool IsOwn(const uint8_t* p, uint32_t n, uint32_t nameStart, uint32_t nameEnd, bool action,
           const uint8_t* own)
{
    if (!own || !own[0]) return false;
    const uint32_t len = nameEnd - nameStart;
    if (len == own[0] && std::memcmp(p + nameStart, own + 1, len) == 0) return true;
    // A server that cuts names shows only their start.
    if (!action && own[0] > kServerNameWidth && len == kServerNameWidth &&
        std::memcmp(p + nameStart, own + 1, len) == 0)
        return true;
    // An action line's name ends at the first blank: a name with blanks is matched by its whole length.
    return action && StartsWith(p + nameStart, n - nameStart, own + 1, own[0]);
}
} // namespace

bool UMyChatLine::HasWord(const uint8_t* text, uint32_t length, const std::string& word)
{
    const auto w = uint32_t(word.size());
    if (!w || w > length) return false;
    for (uint32_t i = 0; i + w <= length; ++i)
    {
        if (i > 0 && IsWordByte(text[i - 1]) && IsWordByte(uint8_t(word[0]))) continue;
        uint32_t k = 0;
        while (k < w && Lower(text[i + k]) == uint8_t(word[k]))
            ++k;
        if (k < w) continue;
        if (i + w < length && IsWordByte(text[i + w]) && IsWordByte(uint8_t(word[w - 1]))) continue;
        return true;
    }
    return false;
}

std::vector<std::string> UMyChatLine::SplitWords(const std::string& list)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : list + " ")
    {
        if (c == ' ' || c == ',' || c == '\t')
        {
            if (!word.empty()) words.push_back(word);
            word.clear();
        }
        else
            word.push_back(char(Lower(uint8_t(c))));
    }
    return words;
}

SMyChatLine UMyChatLine::Decorate(const void* line, uint32_t length, const SMyChatLineStyle& style)
{
    const auto* p = static_cast<const uint8_t*>(line);
    SMyChatLine out;
    // The time goes after the carriage return that starts the line.
    uint32_t lead = 0;
    while (lead < length && p[lead] == '\r')
        ++lead;
    out.text.assign(reinterpret_cast<const char*>(p), lead);
    if (style.timeStamps)
    {
        char stamp[16];
        std::snprintf(stamp, sizeof(stamp), "[%02d:%02d] ", std::clamp(style.hour, 0, 99),
                      std::clamp(style.minute, 0, 99));
        out.text += stamp;
    }
    const auto shift = uint32_t(out.text.size()) - lead;
    out.text.append(reinterpret_cast<const char*>(p + lead), length - lead);

    uint32_t nameStart = 0, nameEnd = 0, textStart = 0;
    if (!SplitSpeaker(p, length, nameStart, nameEnd, textStart)) return out;
    const bool action = textStart == nameEnd;
    out.own = IsOwn(p, length, nameStart, nameEnd, action, style.ownName);
    if (out.own)
    {
        const uint32_t nameLength =
            action ? std::min<uint32_t>(style.ownName[0], length - nameStart) : nameEnd - nameStart;
        out.runs.push_back(STextRun{nameStart + shift, nameLength, ETextMark::Bold});
        return out;
    }
    if (!style.mentions) return out;
    const uint8_t* said = p + textStart;
    const uint32_t saidLength = length - textStart;
    bool named = false;
    if (style.ownName && style.ownName[0])
    {
        std::string own(reinterpret_cast<const char*>(style.ownName + 1), style.ownName[0]);
        for (char& c : own)
            c = char(Lower(uint8_t(c)));
        named = HasWord(said, saidLength, own);
    }
    for (size_t i = 0; !named && i < style.words.size(); ++i)
        named = HasWord(said, saidLength, style.words[i]);
    if (named)
    {
        out.mention = true;
        out.runs.push_back(STextRun{lead, uint32_t(out.text.size()) - lead, ETextMark::Mention});
    }
    return out;
}
