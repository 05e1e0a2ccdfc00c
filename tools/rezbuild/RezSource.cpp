#include "tools/rezbuild/RezSource.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "tools/rezbuild/MacRomanText.h"
#include "tools/rezbuild/WindSource.h"

namespace rezbuild
{
namespace
{
constexpr uint32_t kTypeEMSG = 0x454D5347; // 'EMSG'
constexpr uint32_t kTypeMSGB = 0x4D534742; // 'MSGB'
constexpr uint32_t kTypeWIND = 0x57494E44; // 'WIND'
constexpr size_t kMaxListText = 255;       // what the error display copies at most
constexpr uint64_t kMaxItemSize = 0x7FFFFFFF;

std::string Trim(const std::string& s)
{
    size_t begin = 0, end = s.size();
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t'))
        ++begin;
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t'))
        --end;
    return s.substr(begin, end - begin);
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(uint8_t(c)));
    return s;
}

void AppendBE(std::string& out, uint32_t v, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(char(uint8_t(v >> shift)));
}

bool ParseUnsigned(const std::string& text, uint64_t max, uint64_t& out)
{
    if (text.empty() || text.size() > 10) return false;
    out = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9') return false;
        out = out * 10 + uint64_t(c - '0');
    }
    return out <= max;
}

bool ParseInt16(const std::string& text, int16_t& out)
{
    const bool negative = !text.empty() && text[0] == '-';
    uint64_t magnitude;
    if (!ParseUnsigned(negative ? text.substr(1) : text, negative ? 32768 : 32767, magnitude)) return false;
    out = int16_t(negative ? -int64_t(magnitude) : int64_t(magnitude));
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

// UTF-8 runs become Mac OS Roman, escapes give bytes as they are.
bool ConvertValue(const std::string& value, std::string& out, std::string& error)
{
    out.clear();
    std::string run;
    auto flush = [&]() -> bool
    {
        std::string bytes;
        if (!Utf8ToMacRoman(run, bytes, error)) return false;
        out += bytes;
        run.clear();
        return true;
    };
    for (size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] != '\\')
        {
            run.push_back(value[i]);
            continue;
        }
        if (!flush()) return false;
        if (++i >= value.size())
        {
            error = "a backslash ends the line";
            return false;
        }
        switch (value[i])
        {
        case '\\':
            out.push_back('\\');
            break;
        case 'r':
        case 'n':
            out.push_back('\r'); // line breaks of the client's texts are carriage returns
            break;
        case 't':
            out.push_back('\t');
            break;
        case 'x':
        {
            const int high = i + 1 < value.size() ? HexDigit(value[i + 1]) : -1;
            const int low = i + 2 < value.size() ? HexDigit(value[i + 2]) : -1;
            if (high < 0 || low < 0)
            {
                error = "\\x needs two hex digits";
                return false;
            }
            out.push_back(char(high * 16 + low));
            i += 2;
            break;
        }
        default:
            error = std::string("unknown escape \\") + value[i];
            return false;
        }
    }
    return flush();
}

namespace
{
// A type code: four characters, in single quotes when it holds a blank. Consumes it from the front of rest.
bool TakeType(std::string& rest, uint32_t& outType)
{
    std::string code;
    if (!rest.empty() && rest[0] == '\'')
    {
        if (rest.size() < 6 || rest[5] != '\'') return false;
        code = rest.substr(1, 4);
        rest = Trim(rest.substr(6));
    }
    else
    {
        const size_t end = rest.find_first_of(" \t");
        code = rest.substr(0, end);
        rest = end == std::string::npos ? std::string() : Trim(rest.substr(end));
    }
    if (code.size() != 4) return false;
    outType = 0;
    for (char c : code)
    {
        if (uint8_t(c) < 0x20 || uint8_t(c) > 0x7E) return false;
        outType = (outType << 8) | uint8_t(c);
    }
    return outType != 0;
}

std::string TakeWord(std::string& rest)
{
    const size_t end = rest.find_first_of(" \t");
    std::string word = rest.substr(0, end);
    rest = end == std::string::npos ? std::string() : Trim(rest.substr(end));
    return word;
}

bool ParseID(const std::string& text, uint32_t& out)
{
    uint64_t value;
    if (!ParseUnsigned(text, 0xFFFFFFFF, value) || value == 0) return false;
    out = uint32_t(value);
    return true;
}

struct SMsgBox
{
    int16_t numbers[6] = {0, 0, 0, 0, 0, 0};
    std::string texts[5];
};

const char* const kBoxNumberKeys[6] = {"icon", "picture", "sound", "textstyle", "btntextstyle", "script"};
const char* const kBoxTextKeys[5] = {"title", "message", "button1", "button2", "button3"};

std::string BuildMsgBox(const SMsgBox& box)
{
    std::string out;
    for (int16_t n : box.numbers)
        AppendBE(out, uint16_t(n), 2);
    for (const auto& text : box.texts)
    {
        out.push_back(char(uint8_t(text.size())));
        out += text;
    }
    return out;
}

enum class EBlock
{
    None,
    List,
    Box,
    Window
};
} // namespace

std::string BuildIDList(std::vector<std::pair<uint32_t, std::string>> entries)
{
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out = "IVA1";
    out += std::string(8, '\0');
    AppendBE(out, uint32_t(entries.size()), 4);
    uint32_t offset = 0;
    for (const auto& [id, text] : entries)
    {
        AppendBE(out, id, 4);
        AppendBE(out, offset, 4);
        offset += uint32_t(text.size());
    }
    // The end marker carries the end of the last item; its id is never searched.
    AppendBE(out, 0xFFFFFFFF, 4);
    AppendBE(out, offset, 4);
    for (const auto& entry : entries)
        out += entry.second;
    return out;
}

bool ParseSource(const std::string& text, const std::string& name, const std::string& baseFolder,
                 SSource& out, std::string& outError)
{
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    EBlock block = EBlock::None;
    SItem current{};
    std::map<uint32_t, std::pair<std::string, int>> listEntries; // id -> (text, line)
    SMsgBox box;
    std::map<std::string, int> boxKeysSeen;
    std::vector<std::pair<int, std::string>> windowLines;

    auto fail = [&](const std::string& what)
    {
        outError = name + ":" + std::to_string(lineNumber) + ": " + what;
        return false;
    };

    while (std::getline(lines, line))
    {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;

        if (block == EBlock::Window)
        {
            if (Lower(trimmed) != "end")
            {
                windowLines.emplace_back(lineNumber, trimmed);
                continue;
            }
            int errorLine = 0;
            std::string error;
            if (!BuildWindowDescription(windowLines, current.bytes, errorLine, error))
            {
                if (errorLine) lineNumber = errorLine;
                return fail(error);
            }
            out.items.push_back(current);
            block = EBlock::None;
            continue;
        }
        if (block != EBlock::None)
        {
            if (Lower(trimmed) == "end")
            {
                if (block == EBlock::List)
                {
                    if (listEntries.empty()) return fail("a list needs at least one entry");
                    std::vector<std::pair<uint32_t, std::string>> entries;
                    for (const auto& [id, entry] : listEntries)
                        entries.emplace_back(id, entry.first);
                    current.bytes = BuildIDList(std::move(entries));
                }
                else
                    current.bytes = BuildMsgBox(box);
                out.items.push_back(current);
                block = EBlock::None;
                continue;
            }
            const size_t equals = trimmed.find('=');
            if (equals == std::string::npos) return fail("expected 'key = value' or 'end'");
            const std::string key = Trim(trimmed.substr(0, equals));
            std::string value;
            std::string error;
            if (!ConvertValue(Trim(trimmed.substr(equals + 1)), value, error)) return fail(error);

            if (block == EBlock::List)
            {
                uint32_t id;
                if (!ParseID(key, id)) return fail("'" + key + "' is not an id from 1 to 4294967295");
                if (value.size() > kMaxListText) return fail("text longer than 255 bytes");
                auto [it, added] = listEntries.emplace(id, std::make_pair(value, lineNumber));
                if (!added)
                    return fail("id " + key + " already given on line " + std::to_string(it->second.second));
                continue;
            }

            const std::string lowerKey = Lower(key);
            if (boxKeysSeen.count(lowerKey))
                return fail("'" + key + "' already given on line " + std::to_string(boxKeysSeen[lowerKey]));
            boxKeysSeen[lowerKey] = lineNumber;
            bool known = false;
            for (int i = 0; i < 6 && !known; ++i)
                if (lowerKey == kBoxNumberKeys[i])
                {
                    known = true;
                    if (!ParseInt16(value, box.numbers[i]))
                        return fail("'" + key + "' needs a 16-bit number");
                }
            for (int i = 0; i < 5 && !known; ++i)
                if (lowerKey == kBoxTextKeys[i])
                {
                    known = true;
                    if (value.size() > 255) return fail("text longer than 255 bytes");
                    box.texts[i] = value;
                }
            if (!known) return fail("unknown message box field '" + key + "'");
            continue;
        }

        std::string rest = trimmed;
        const std::string keyword = Lower(TakeWord(rest));
        current = SItem{};
        current.origin = name + ":" + std::to_string(lineNumber);
        if (keyword == "emsg" || keyword == "msgb")
        {
            if (!ParseID(rest, current.id)) return fail("expected '" + keyword + " ID' with a non-zero id");
            if (keyword == "emsg")
            {
                current.type = kTypeEMSG;
                block = EBlock::List;
                listEntries.clear();
            }
            else
            {
                current.type = kTypeMSGB;
                block = EBlock::Box;
                box = SMsgBox{};
                boxKeysSeen.clear();
            }
        }
        else if (keyword == "wind")
        {
            if (!ParseID(rest, current.id)) return fail("expected 'wind ID' with a non-zero id");
            current.type = kTypeWIND;
            block = EBlock::Window;
            windowLines.clear();
        }
        else if (keyword == "file")
        {
            if (!TakeType(rest, current.type)) return fail("expected a four-character type code");
            if (!ParseID(TakeWord(rest), current.id)) return fail("expected a non-zero id after the type");
            if (rest.empty()) return fail("expected a file path after the id");
            const std::string path = rest[0] == '/' || baseFolder.empty() ? rest : baseFolder + "/" + rest;
            std::ifstream file(path, std::ios::binary);
            if (!file) return fail("cannot read " + path);
            current.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
            if (file.bad()) return fail("cannot read " + path);
            if (current.bytes.size() > kMaxItemSize) return fail(path + " is too large");
            out.dependencies.push_back(path);
            out.items.push_back(current);
        }
        else
            return fail("expected 'emsg', 'msgb', 'wind' or 'file'");
    }
    if (block != EBlock::None)
    {
        outError = current.origin + ": block has no 'end'";
        return false;
    }
    return true;
}
} // namespace rezbuild
