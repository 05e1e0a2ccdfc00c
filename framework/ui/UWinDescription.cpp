#include "framework/ui/UWinDescription.h"

#include <algorithm>

namespace
{
constexpr uint32_t kTrailerSize = 8;

// Reads big-endian fields and never past the end; a read that does not fit fails and moves nothing.
class CReader
{
public:
    CReader(const uint8_t* data, uint32_t size) : mData(data), mSize(size) {}

    uint32_t Offset() const { return mOffset; }
    uint32_t Left() const { return mSize - mOffset; }

    bool Skip(uint32_t n)
    {
        if (n > Left()) return false;
        mOffset += n;
        return true;
    }
    bool Read32(uint32_t& out)
    {
        if (Left() < 4) return false;
        const uint8_t* p = mData + mOffset;
        out = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
        mOffset += 4;
        return true;
    }
    bool Read16(uint16_t& out)
    {
        if (Left() < 2) return false;
        out = uint16_t((mData[mOffset] << 8) | mData[mOffset + 1]);
        mOffset += 2;
        return true;
    }
    bool ReadRect(SRect& out)
    {
        int16_t v[4];
        if (Left() < 8) return false;
        for (int16_t& x : v)
        {
            uint16_t u;
            Read16(u);
            x = int16_t(u);
        }
        out = SRect{v[0], v[1], v[2], v[3]};
        return true;
    }
    bool ReadWords(std::vector<uint32_t>& out, uint32_t count)
    {
        if (Left() / 4 < count) return false;
        out.resize(count);
        for (uint32_t& w : out)
            Read32(w);
        return true;
    }
    // A length byte and its characters; both must be there.
    bool ReadShortString(std::string& out)
    {
        if (Left() < 1 || Left() - 1 < mData[mOffset]) return false;
        const uint8_t n = mData[mOffset];
        out.assign(reinterpret_cast<const char*>(mData + mOffset + 1), n);
        mOffset += 1u + n;
        return true;
    }
    // A 16-bit length and its characters. One that would run past the end is an empty text and its
    // length is not consumed: older descriptions end that way.
    void ReadCountedText(std::string& out)
    {
        out.clear();
        if (Left() < 2) return;
        const uint32_t n = (uint32_t(mData[mOffset]) << 8) | mData[mOffset + 1];
        if (Left() - 2 < n) return;
        out.assign(reinterpret_cast<const char*>(mData + mOffset + 2), n);
        mOffset += 2 + n;
    }
    const uint8_t* Here() const { return mData + mOffset; }

private:
    const uint8_t* mData;
    uint32_t mSize;
    uint32_t mOffset = 0;
};

bool ReadKindPart(CReader& in, SViewDesc& v, uint32_t depth)
{
    switch (v.kind)
    {
    case kViewKindButton:
        if (!in.ReadWords(v.words, 1)) return false;
        in.ReadCountedText(v.text);
        return true;
    case kViewKindCheckBox:
        in.ReadCountedText(v.text);
        return in.ReadWords(v.words, 3);
    case kViewKindGroupBox:
        in.ReadCountedText(v.text);
        return in.ReadWords(v.words, 1);
    case kViewKindIconButton:
    case kViewKindPicture:
        return in.ReadWords(v.words, 1);
    case kViewKindLabel:
        in.ReadCountedText(v.text);
        return true;
    case kViewKindProgress:
        return in.ReadWords(v.words, 2);
    case kViewKindPopup:
    {
        uint32_t count;
        if (!in.Read32(count)) return false;
        // The count is not trusted for any allocation: each item must be there to be read.
        for (uint32_t i = 0; i < count; ++i)
        {
            std::string item;
            uint16_t selected;
            if (!in.ReadShortString(item) || !in.Read16(selected)) return false;
            v.items.emplace_back(std::move(item), selected != 0);
        }
        return true;
    }
    case kViewKindContainer:
    {
        if (!in.ReadWords(v.words, 4) || !in.Skip(8)) return false;
        const uint32_t count = v.words[3];
        for (uint32_t i = 0; i < count; ++i)
        {
            const uint8_t* cursor = in.Here();
            uint32_t left = in.Left();
            SViewDesc child;
            if (!UWinDescription::ParseView(cursor, left, child, depth + 1)) return false;
            in.Skip(in.Left() - left);
            v.children.push_back(std::move(child));
        }
        return true;
    }
    case kViewKindScroller:
    case kViewKindTextBox:
    {
        if (v.kind == kViewKindTextBox) in.ReadCountedText(v.text);
        if (!in.ReadWords(v.words, 8)) return false;
        v.scrollerOptions = UWinDescription::ScrollerOptions(v.words);
        if (v.kind == kViewKindScroller && v.words[0] == 2)
        {
            const uint8_t* cursor = in.Here();
            uint32_t left = in.Left();
            SViewDesc content;
            if (!UWinDescription::ParseView(cursor, left, content, depth + 1)) return false;
            in.Skip(in.Left() - left);
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
    CReader in(cursor, remaining);
    SViewDesc v;
    uint32_t sizing;
    if (!in.Read32(v.kind) || !in.ReadRect(v.bounds) || !in.Read32(v.id) || !in.Read32(v.command) ||
        !in.Read32(sizing))
        return false;
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
    CReader in(static_cast<const uint8_t*>(data), size);
    uint32_t version, kind, style;
    SWinDesc w;
    in.Read32(version);
    if (version != kVersion) return false;
    in.Skip(4);
    in.Read32(kind);
    in.Read32(style);
    in.Skip(8);
    in.ReadRect(w.bounds);
    in.Skip(8);
    if (!in.ReadShortString(w.title)) return false;
    w.kind = kind;
    w.style = style;
    const uint8_t* cursor = in.Here();
    uint32_t left = in.Left();
    if (!ParseView(cursor, left, w.root)) return false;
    out = std::move(w);
    return true;
}
