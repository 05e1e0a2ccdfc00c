#include "client/core/UMyRecentServers.h"

#include <algorithm>
#include <cstring>

#include "client/core/UMyDesktopSettings.h"
#include "framework/runtime/SError.h"

const char UMyRecentServers::kFileName[] = "recent-servers";

namespace
{
const uint8_t kRecentFileNameP[] = "\x0e"
                                   "recent-servers";

// A field may hold any byte but the control characters, which would break the line or the dialog.
bool IsPrintable(const std::string& text)
{
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return uint8_t(c) < 0x20 || uint8_t(c) == 0x7F; });
}

bool TakeField(const std::string& text, uint8_t* out, uint32_t capacity)
{
    if (text.size() >= capacity || !IsPrintable(text)) return false;
    out[0] = uint8_t(text.size());
    std::memcpy(out + 1, text.data(), text.size());
    return true;
}

std::string Field(const uint8_t* pstring)
{
    return std::string(reinterpret_cast<const char*>(pstring + 1), pstring[0]);
}

// The kept password as the file holds it, and back; false for a field that is not one.
std::string PasswordField(const uint8_t* password)
{
    static const char kHex[] = "0123456789abcdef";
    std::string field;
    for (uint32_t i = 1; i <= password[0]; ++i)
    {
        const uint8_t inverted = uint8_t(~password[i]);
        field += kHex[inverted >> 4];
        field += kHex[inverted & 15];
    }
    return field;
}

bool TakePassword(const std::string& field, uint8_t* out, uint32_t capacity)
{
    if (field.size() % 2 || field.size() / 2 >= capacity) return false;
    auto digit = [](char c) -> int
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    out[0] = uint8_t(field.size() / 2);
    for (size_t i = 0; i < field.size(); i += 2)
    {
        const int high = digit(field[i]), low = digit(field[i + 1]);
        if (high < 0 || low < 0) return false;
        out[1 + i / 2] = uint8_t(~uint8_t(high << 4 | low));
    }
    return true;
}

bool SameAddress(const SMyRecentServer& a, const SMyRecentServer& b)
{
    return a.address[0] == b.address[0] && std::memcmp(a.address + 1, b.address + 1, a.address[0]) == 0;
}
} // namespace

std::vector<SMyRecentServer> UMyRecentServers::Parse(const void* bytes, uint32_t size)
{
    std::vector<SMyRecentServer> servers;
    const std::string text(static_cast<const char*>(bytes), std::min(size, kMaxSize));
    size_t start = 0;
    while (start < text.size() && servers.size() < kMaxServers)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) continue;
        const size_t tab3 = line.find('\t', tab2 + 1);
        SMyRecentServer server;
        if (!TakeField(line.substr(0, tab1), server.address, sizeof(server.address)) || !server.address[0] ||
            !TakeField(line.substr(tab1 + 1, tab2 - tab1 - 1), server.login, sizeof(server.login)) ||
            !TakeField(line.substr(tab2 + 1, tab3 == std::string::npos ? tab3 : tab3 - tab2 - 1),
                       server.bookmark, sizeof(server.bookmark)))
            continue;
        if (tab3 != std::string::npos)
        {
            if (!TakePassword(line.substr(tab3 + 1), server.password, sizeof(server.password))) continue;
            server.keepPassword = true;
        }
        if (std::any_of(servers.begin(), servers.end(),
                        [&](const SMyRecentServer& known) { return SameAddress(known, server); }))
            continue;
        servers.push_back(server);
    }
    return servers;
}

std::string UMyRecentServers::Format(const std::vector<SMyRecentServer>& servers)
{
    std::string text;
    for (const SMyRecentServer& server : servers)
    {
        const std::string address = Field(server.address), login = Field(server.login),
                          bookmark = Field(server.bookmark);
        // What could not be read back is not written.
        if (address.empty() || !IsPrintable(address) || !IsPrintable(login) || !IsPrintable(bookmark))
            continue;
        text += address + '\t' + login + '\t' + bookmark;
        if (server.keepPassword) text += '\t' + PasswordField(server.password);
        text += '\n';
    }
    return text;
}

std::vector<SMyRecentServer> UMyRecentServers::Read()
{
    try
    {
        const std::string bytes = UMyDesktopSettings::ReadConfigFile(kRecentFileNameP, kMaxSize);
        return Parse(bytes.data(), uint32_t(bytes.size()));
    }
    catch (const SError&)
    {
        return {};
    }
}

void UMyRecentServers::Remember(const SMyRecentServer& server)
{
    std::vector<SMyRecentServer> servers = Read();
    servers.erase(std::remove_if(servers.begin(), servers.end(),
                                 [&](const SMyRecentServer& known) { return SameAddress(known, server); }),
                  servers.end());
    servers.insert(servers.begin(), server);
    if (servers.size() > kMaxServers) servers.resize(kMaxServers);
    UMyDesktopSettings::WriteConfigFile(kRecentFileNameP, Format(servers));
}
