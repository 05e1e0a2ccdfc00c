#include "tools/rezbuild/WindSource.h"

#include <cstdint>
#include <map>

#include "tools/rezbuild/RezSource.h"

namespace rezbuild
{
namespace
{
constexpr uint32_t kVersion = 10;

enum class EField
{
    Numbers,
    Text,
};

struct SKind
{
    std::vector<std::pair<EField, int>> fields; // a text field has a count of 1
    bool block = false;                         // ctrv; a scrl only when its first word is 2
};

const std::map<std::string, SKind>& Kinds()
{
    static const std::map<std::string, SKind> kinds = {
        {"butn", {{{EField::Numbers, 1}, {EField::Text, 1}}}},
        {"chek", {{{EField::Text, 1}, {EField::Numbers, 3}}}},
        {"ctrv", {{}, true}},
        {"gbox", {{{EField::Text, 1}, {EField::Numbers, 1}}}},
        {"ibtn", {{{EField::Numbers, 1}}}},
        {"labl", {{{EField::Text, 1}}}},
        {"pict", {{{EField::Numbers, 1}}}},
        {"popb", {}},
        {"prog", {{{EField::Numbers, 2}}}},
        {"scrl", {{{EField::Numbers, 8}}}},
        {"text", {{{EField::Text, 1}, {EField::Numbers, 8}}}},
    };
    return kinds;
}

void AppendFieldBE(std::string& out, uint32_t v, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(char(uint8_t(v >> shift)));
}

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;)
    {
        const size_t at = line.find(separator, start);
        std::string part = line.substr(start, at == std::string::npos ? std::string::npos : at - start);
        const size_t b = part.find_first_not_of(" \t");
        const size_t e = part.find_last_not_of(" \t");
        parts.push_back(b == std::string::npos ? std::string() : part.substr(b, e - b + 1));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

bool ParseNumber(const std::string& text, int64_t min, int64_t max, int64_t& out)
{
    if (text.empty()) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() > 11) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i)
    {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    out = text[0] == '-' ? -v : v;
    return out >= min && out <= max;
}

// Any number of blank-separated numbers.
bool ParseNumberList(const std::string& field, int64_t min, int64_t max, std::vector<int64_t>& out)
{
    out.clear();
    std::string word;
    for (size_t i = 0; i <= field.size(); ++i)
    {
        if (i < field.size() && field[i] != ' ' && field[i] != '\t')
        {
            word.push_back(field[i]);
            continue;
        }
        if (word.empty()) continue;
        int64_t v;
        if (!ParseNumber(word, min, max, v)) return false;
        out.push_back(v);
        word.clear();
    }
    return true;
}

bool ParseNumbers(const std::string& field, size_t count, int64_t min, int64_t max, std::vector<int64_t>& out)
{
    return ParseNumberList(field, min, max, out) && out.size() == count;
}

class CBuilder
{
public:
    CBuilder(const std::vector<std::pair<int, std::string>>& lines) : mLines(lines) {}

    bool Build(std::string& out)
    {
        if (mLines.empty()) return Fail(0, "a window description needs a 'window' line");
        if (!Window(out)) return false;
        if (mNext >= mLines.size()) return Fail(mLines.back().first, "the window has no view");
        if (!View(out)) return false;
        if (mNext < mLines.size())
        {
            const auto& [number, text] = mLines[mNext];
            std::vector<std::string> words = Split(text, ' ');
            int64_t size;
            if (words.size() != 2 || words[0] != "size" || !ParseNumber(words[1], 1, 0x7FFFFFFF, size))
                return Fail(number, "only a 'size BYTES' line may follow the window's one root view");
            if (uint64_t(size) > out.size())
                return Fail(number, "the description is only " + std::to_string(out.size()) + " bytes");
            out.resize(size_t(size));
            if (++mNext < mLines.size()) return Fail(mLines[mNext].first, "nothing may follow 'size'");
        }
        return true;
    }

    int errorLine = 0;
    std::string error;

private:
    bool Fail(int line, const std::string& what)
    {
        errorLine = line;
        error = what;
        return false;
    }

    bool Text(int line, const std::string& field, std::string& out, size_t max)
    {
        std::string why;
        if (!ConvertValue(field, out, why)) return Fail(line, why);
        if (out.size() > max) return Fail(line, "text longer than " + std::to_string(max) + " bytes");
        return true;
    }

    bool Rect(int line, const std::string& field, std::string& out)
    {
        std::vector<int64_t> r;
        if (!ParseNumbers(field, 4, -32768, 32767, r))
            return Fail(line, "expected the rectangle as four 16-bit numbers: left top right bottom");
        for (int64_t v : r)
            AppendFieldBE(out, uint32_t(v), 2);
        return true;
    }

    bool Window(std::string& out)
    {
        const auto& [line, text] = mLines[mNext++];
        const std::vector<std::string> parts = Split(text, '|');
        std::vector<int64_t> head;
        if (parts.size() != 3 || parts[0].compare(0, 7, "window ") != 0 ||
            !ParseNumbers(parts[0].substr(7), 2, 0, 0xFFFFFFFF, head))
            return Fail(line, "expected 'window KIND STYLE | LEFT TOP RIGHT BOTTOM | TITLE'");
        AppendFieldBE(out, kVersion, 4);
        AppendFieldBE(out, 0, 4);
        AppendFieldBE(out, uint32_t(head[0]), 4);
        AppendFieldBE(out, uint32_t(head[1]), 4);
        out.append(8, '\0');
        if (!Rect(line, parts[1], out)) return false;
        out.append(8, '\0');
        std::string title;
        if (!Text(line, parts[2], title, 255)) return false;
        out.push_back(char(uint8_t(title.size())));
        out += title;
        return true;
    }

    // One view and, for a block, the views inside it up to its "}".
    bool View(std::string& out)
    {
        const auto& [line, raw] = mLines[mNext++];
        std::string text = raw;
        bool opensBlock = false;
        if (!text.empty() && text.back() == '{')
        {
            opensBlock = true;
            text.pop_back();
        }
        std::vector<std::string> parts = Split(text, '|');
        const auto kind = Kinds().find(parts[0]);
        if (kind == Kinds().end()) return Fail(line, "unknown view kind '" + parts[0] + "'");
        if (parts.size() < 3) return Fail(line, "expected 'KIND | LEFT TOP RIGHT BOTTOM | ID ...'");
        out += parts[0];
        if (!Rect(line, parts[1], out)) return false;
        std::vector<int64_t> ids;
        if (!ParseNumberList(parts[2], 0, 0xFFFFFFFF, ids) || ids.empty() || ids.size() > 3)
            return Fail(line, "expected the view id, then the command code and sizing flags if any");
        ids.resize(3, 0);
        for (int64_t v : ids)
            AppendFieldBE(out, uint32_t(v), 4);

        const std::vector<std::string> fields(parts.begin() + 3, parts.end());
        bool block = kind->second.block;
        if (parts[0] == "popb")
        {
            AppendFieldBE(out, uint32_t(fields.size()), 4);
            for (const std::string& field : fields)
            {
                const size_t blank = field.find(' ');
                int64_t selected;
                if (blank == std::string::npos || !ParseNumber(field.substr(0, blank), 0, 1, selected))
                    return Fail(line, "expected each item as 'SELECTED TEXT' with SELECTED 0 or 1");
                std::string item;
                if (!Text(line, field.substr(blank + 1), item, 255)) return false;
                out.push_back(char(uint8_t(item.size())));
                out += item;
                AppendFieldBE(out, uint32_t(selected), 2);
            }
        }
        else
        {
            if (fields.size() != kind->second.fields.size())
                return Fail(line, "'" + parts[0] + "' takes " + std::to_string(kind->second.fields.size()) +
                                      " fields after the ids");
            for (size_t i = 0; i < fields.size(); ++i)
            {
                const auto [type, count] = kind->second.fields[i];
                if (type == EField::Text)
                {
                    std::string value;
                    if (!Text(line, fields[i], value, 0xFFFF)) return false;
                    AppendFieldBE(out, uint32_t(value.size()), 2);
                    out += value;
                    continue;
                }
                std::vector<int64_t> words;
                if (!ParseNumbers(fields[i], size_t(count), INT32_MIN, 0xFFFFFFFF, words))
                    return Fail(line, "expected " + std::to_string(count) + " numbers in field " +
                                          std::to_string(i + 1));
                for (int64_t w : words)
                    AppendFieldBE(out, uint32_t(w), 4);
                if (parts[0] == "scrl") block = words[0] == 2;
            }
        }
        if (block != opensBlock)
            return Fail(line, block ? "this view holds views: end its line with '{'"
                                    : "this view holds no views: no '{'");
        if (!block)
        {
            out.append(8, '\0');
            return true;
        }

        // A container's count comes before its views, so it is written once they are known.
        size_t countAt = 0;
        if (parts[0] == "ctrv")
        {
            out.append(12, '\0');
            countAt = out.size();
            AppendFieldBE(out, 0, 4);
            out.append(8, '\0');
        }
        uint32_t count = 0;
        for (;;)
        {
            if (mNext >= mLines.size()) return Fail(line, "the block has no '}'");
            if (mLines[mNext].second == "}")
            {
                ++mNext;
                break;
            }
            if (!View(out)) return false;
            ++count;
        }
        if (parts[0] == "scrl" && count != 1) return Fail(line, "a scroller holds exactly one view");
        if (countAt)
            for (int i = 0; i < 4; ++i)
                out[countAt + size_t(i)] = char(uint8_t(count >> (24 - 8 * i)));
        out.append(8, '\0');
        return true;
    }

    const std::vector<std::pair<int, std::string>>& mLines;
    size_t mNext = 0;
};
} // namespace

bool BuildWindowDescription(const std::vector<std::pair<int, std::string>>& lines, std::string& outBytes,
                            int& outErrorLine, std::string& outError)
{
    CBuilder builder(lines);
    std::string bytes;
    if (!builder.Build(bytes))
    {
        outErrorLine = builder.errorLine;
        outError = builder.error;
        return false;
    }
    outBytes = std::move(bytes);
    return true;
}
} // namespace rezbuild
