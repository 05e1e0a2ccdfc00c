#include "tools/quenvol-server/ServerConfig.h"

#include <fstream>
#include <sstream>

#include "tools/testserver/CServerModel.h"

namespace
{
bool ParseAccess(const std::string& text, SAccessBits& out)
{
    out.fill(0);
    if (text == "all")
    {
        out.fill(0xFF);
        return true;
    }
    if (text == "none") return true;
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ','))
    {
        if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos) return false;
        const unsigned long bit = std::stoul(item);
        if (bit > 63) return false;
        out[bit / 8] |= uint8_t(0x80u >> (bit % 8));
    }
    return true;
}

std::string Rest(std::istringstream& in)
{
    std::string rest;
    std::getline(in >> std::ws, rest);
    return rest;
}

void AppendLine(std::string& text, const std::string& line)
{
    // Texts travel with carriage returns between their lines.
    if (!text.empty()) text += '\r';
    text += line;
}

bool Number(const std::string& word, long low, long high, long& out)
{
    char* end = nullptr;
    out = std::strtol(word.c_str(), &end, 10);
    return !word.empty() && *end == 0 && out >= low && out <= high;
}

// "NAME | DESCRIPTION": a name is needed, the description may be empty.
bool NameAndDescription(const std::string& text, std::string& name, std::string& desc)
{
    const size_t bar = text.find('|');
    auto trim = [](std::string s)
    {
        const size_t b = s.find_first_not_of(' ');
        const size_t e = s.find_last_not_of(' ');
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    name = trim(text.substr(0, bar));
    desc = bar == std::string::npos ? std::string() : trim(text.substr(bar + 1));
    return !name.empty() && name.size() <= 255 && desc.size() <= 255;
}

bool DottedAddress(const std::string& text, uint8_t* out)
{
    std::istringstream in(text);
    std::string part;
    int count = 0;
    while (std::getline(in, part, '.'))
    {
        long v;
        if (count == 4 || !Number(part, 0, 255, v)) return false;
        out[count++] = uint8_t(v);
    }
    return count == 4;
}
} // namespace

bool ParseServerConfig(const std::string& text, CServerModel& model, std::string& outError,
                       const std::string& baseFolder)
{
    SServerTrackerConfig tracker;
    return ParseServerConfig(text, model, tracker, outError, baseFolder);
}

bool ParseServerConfig(const std::string& text, CServerModel& model, SServerTrackerConfig& tracker,
                       std::string& outError, const std::string& baseFolder)
{
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
    {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream in(line);
        std::string key;
        if (!(in >> key) || key[0] == '#') continue;
        bool ok = true;
        if (key == "guest")
        {
            const std::string value = Rest(in);
            ok = value == "yes" || value == "no";
            model.guestAllowed = value == "yes";
        }
        else if (key == "guest-access")
            ok = ParseAccess(Rest(in), model.guestAccess);
        else if (key == "account")
        {
            std::string login, password, access;
            SServerAccount account;
            ok = bool(in >> login >> password >> access) && ParseAccess(access, account.access);
            account.password = password == "-" ? "" : password;
            account.name = Rest(in);
            if (ok) model.accounts[login] = account;
        }
        else if (key == "news")
            AppendLine(model.news, Rest(in));
        else if (key == "agreement")
            AppendLine(model.agreement, Rest(in));
        else if (key == "welcome")
            AppendLine(model.welcome, Rest(in));
        else if (key == "user")
        {
            std::string id, icon, flags;
            long i = 0, c = 0, f = 0;
            ok = bool(in >> id >> icon >> flags) && Number(id, 1, 65535, i) &&
                 Number(icon, -32768, 32767, c) && Number(flags, 0, 65535, f);
            SServerUser user{uint16_t(i), int16_t(c), uint16_t(f), Rest(in)};
            ok = ok && !user.name.empty();
            if (ok) model.extraUsers.push_back(user);
        }
        else if (key == "files")
        {
            // files FOLDER: the folder shared with clients, relative to the configuration file's folder.
            std::string folder = Rest(in);
            if (!folder.empty() && folder.front() != '/' && !baseFolder.empty())
                folder = baseFolder + "/" + folder;
            ok = !folder.empty() && model.ShareFolder(folder);
        }
        else if (key == "tracker")
        {
            std::string port;
            ok = bool(in >> port) && Number(port, 0, 65535, tracker.port);
            ok = ok && NameAndDescription(Rest(in), tracker.name, tracker.desc);
        }
        else if (key == "listed")
        {
            std::string address, port, users;
            long p = 0, u = 0;
            STestTrackedServer server;
            ok = bool(in >> address >> port >> users) && DottedAddress(address, server.address) &&
                 Number(port, 1, 65535, p) && Number(users, 0, 65535, u) &&
                 NameAndDescription(Rest(in), server.name, server.desc);
            server.port = uint16_t(p);
            server.users = uint16_t(u);
            if (ok) tracker.listed.push_back(server);
        }
        else
            ok = false;
        if (!ok)
        {
            outError = "line " + std::to_string(number) + ": cannot use \"" + line + "\"";
            return false;
        }
    }
    return true;
}

bool ReadServerConfig(const std::string& path, CServerModel& model, std::string& outError)
{
    SServerTrackerConfig tracker;
    return ReadServerConfig(path, model, tracker, outError);
}

bool ReadServerConfig(const std::string& path, CServerModel& model, SServerTrackerConfig& tracker,
                      std::string& outError)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        outError = "cannot open " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return ParseServerConfig(text.str(), model, tracker, outError, folder);
}
