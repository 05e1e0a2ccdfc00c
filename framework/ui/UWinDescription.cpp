#include "framework/ui/UWinDescription.h"

#include <algorithm>

#include "framework/runtime/CByteReader.h"

namespace
{
constexpr uint32_t kTrailerSize = 8;

SRect ReadRect(CByteReader& in)
{
    const int16_t left = int16_t(in.Read16()), top = int16_t(in.Read16());
    const int16_t right = int16_t(in.Read16()), bottom = int16_t(in.Read16());
    return SRect{left, top, right, bottom};
}

// The count is checked against what is left before anything is allocated for it.
bool ReadWords(CByteReader& in, std::vector<uint32_t>& out, uint32_t count)
{
    if (in.Left() / 4 < count) return false;
    out.resize(count);
    for (uint32_t& w : out)
        w = in.Read32();
    return true;
}

// A 16-bit length and its characters. One that would run past the end is an empty text and its length
// is not consumed: older descriptions end that way.
void ReadCountedText(CByteReader& in, std::string& out)
{
    out.clear();
    if (in.HasString16()) out = in.ReadString16();
}

// A nested view, read by ParseView from where the reader stands.
bool ReadChild(CByteReader& in, SViewDesc& child, uint32_t depth)
{
    const uint8_t* cursor = in.Here();
    uint32_t left = in.Left();
    if (!UWinDescription::ParseView(cursor, left, child, depth)) return false;
    return in.Skip(in.Left() - left);
}

bool ReadKindPart(CByteReader& in, SViewDesc& v, uint32_t depth)
{
    switch (v.kind)
    {
    case kViewKindButton:
        if (!ReadWords(in, v.words, 1)) return false;
        ReadCountedText(in, v.text);
        return true;
    case kViewKindCheckBox:
        ReadCountedText(in, v.text);
        return ReadWords(in, v.words, 3);
    case kViewKindGroupBox:
        ReadCountedText(in, v.text);
        return ReadWords(in, v.words, 1);
    case kViewKindIconButton:
    case kViewKindPicture:
        return ReadWords(in, v.words, 1);
    case kViewKindLabel:
        ReadCountedText(in, v.text);
        return true;
    case kViewKindProgress:
        return ReadWords(in, v.words, 2);
    case kViewKindPopup:
    {
        const uint32_t count = in.Read32();
        // The count is not trusted for any allocation: each item must be there to be read.
        for (uint32_t i = 0; i < count && in.Ok(); ++i)
        {
            std::string item = in.ReadString8();
            const uint16_t selected = in.Read16();
            if (in.Ok()) v.items.emplace_back(std::move(item), selected != 0);
        }
        return in.Ok();
    }
    case kViewKindContainer:
    {
        if (!ReadWords(in, v.words, 4) || !in.Skip(8)) return false;
        const uint32_t count = v.words[3];
        for (uint32_t i = 0; i < count; ++i)
        {
            SViewDesc child;
            if (!ReadChild(in, child, depth + 1)) return false;
            v.children.push_back(std::move(child));
        }
        return true;
    }
    case kViewKindScroller:
    case kViewKindTextBox:
    {
        if (v.kind == kViewKindTextBox) ReadCountedText(in, v.text);
        if (!ReadWords(in, v.words, 8)) return false;
        v.scrollerOptions = UWinDescription::ScrollerOptions(v.words);
        if (v.kind == kViewKindScroller && v.words[0] == 2)
        {
            SViewDesc content;
            if (!ReadChild(in, content, depth + 1)) return false;
            v.children.push_back(std::move(content));
        }
        return true;
    }
    default:
        return false;
    }
}
} // namespace

uint16_t UWinDescription::ScrollerOptions(const std::vector<uint32_t>& w)
{
    if (w.size() < 8) return 0;
    uint16_t options = 0;
    if (w[1]) options |= 1;
    if (w[2]) options |= 2;
    if (w[3]) options |= 4;
    if (!w[4]) options |= 64;
    if (w[5]) options |= 8;
    if (w[7]) options |= 16;
    return options;
}

bool UWinDescription::ParseView(const uint8_t*& cursor, uint32_t& remaining, SViewDesc& out, uint32_t depth)
{
    if (!cursor || remaining < kMinViewSize || depth > kMaxDepth) return false;
    CByteReader in(cursor, remaining);
    SViewDesc v;
    v.kind = in.Read32();
    v.bounds = ReadRect(in);
    v.id = in.Read32();
    v.command = in.Read32();
    const uint32_t sizing = in.Read32();
    if (!in.Ok()) return false;
    v.sizing = uint8_t(sizing);
    if (!ReadKindPart(in, v, depth)) return false;
    // The trailing bytes are not needed, and the last view of a description may lack some of them.
    in.Skip(std::min(kTrailerSize, in.Left()));
    out = std::move(v);
    cursor += in.Offset();
    remaining -= in.Offset();
    return true;
}

bool UWinDescription::Parse(const void* data, uint32_t size, SWinDesc& out)
{
    if (!data || size < kHeaderSize) return false;
    CByteReader in(data, size);
    SWinDesc w;
    if (in.Read32() != kVersion) return false;
    in.Skip(4);
    const uint32_t kind = in.Read32();
    const uint32_t style = in.Read32();
    in.Skip(8);
    w.bounds = ReadRect(in);
    in.Skip(8);
    w.title = in.ReadString8();
    if (!in.Ok()) return false;
    w.kind = kind;
    w.style = style;
    const uint8_t* cursor = in.Here();
    uint32_t left = in.Left();
    if (!ParseView(cursor, left, w.root)) return false;
    out = std::move(w);
    return true;
}
