#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
std::string ProgramFolder()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0) return ".";
    std::string path(buffer, size_t(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

int MakeFolders(const std::string& path)
{
    if (path.empty()) return ENOENT;
    for (size_t pos = 1; pos <= path.size(); ++pos)
    {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string level = path.substr(0, pos);
        if (mkdir(level.c_str(), 0700) == 0 || errno == EEXIST) continue;
        return errno;
    }
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

namespace
{
// $VARIABLE when it is an absolute path, else ~/fallback; then the program's own folder in it.
int XdgFolder(const char* variable, const char* fallback, std::string& outPath)
{
    const char* xdg = std::getenv(variable);
    std::string base;
    if (xdg && xdg[0] == '/')
        base = xdg;
    else
    {
        const char* home = std::getenv("HOME");
        if (!home || !home[0]) return ENOENT;
        base = std::string(home) + "/" + fallback;
    }
    outPath = base + "/Quenvol";
    return MakeFolders(outPath);
}
} // namespace

int UserDataFolder(std::string& outPath)
{
    return XdgFolder("XDG_DATA_HOME", ".local/share", outPath);
}

int UserConfigFolder(std::string& outPath)
{
    return XdgFolder("XDG_CONFIG_HOME", ".config", outPath);
}

namespace
{
// The folder settings file is a few lines; anything larger is not one.
constexpr size_t kMaxUserDirsSize = 64 * 1024;

// The file's text, or empty when it is missing, unreadable or too large.
std::string ReadSmallFile(const std::string& path)
{
    int fd;
    do
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return std::string();
    std::string text;
    char buffer[4096];
    for (;;)
    {
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buffer, size_t(n));
        if (text.size() > kMaxUserDirsSize)
        {
            text.clear();
            break;
        }
    }
    close(fd);
    return text;
}

// The quoted value at `at` (just past the '='), with the shell's backslash escapes taken out; false when
// it is not one quoted word.
bool UnquoteValue(const std::string& line, size_t at, std::string& outValue)
{
    if (at >= line.size() || line[at] != '"') return false;
    outValue.clear();
    for (size_t i = at + 1; i < line.size(); ++i)
    {
        const char c = line[i];
        if (c == '"') return line.find_first_not_of(" \t\r", i + 1) == std::string::npos;
        if (c == '\0') return false;
        if (c == '\\')
        {
            if (++i >= line.size()) return false;
            outValue += line[i];
            continue;
        }
        outValue += c;
    }
    return false;
}
} // namespace

std::string ParseUserDirs(const std::string& text, const char* key, const std::string& home)
{
    const std::string prefix = std::string(key) + "=";
    std::string found;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line.compare(first, prefix.size(), prefix) != 0) continue;
        std::string value;
        if (!UnquoteValue(line, first + prefix.size(), value)) continue;
        // As the shell reads the file, a later line for the same folder wins.
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
        {
            if (home.empty() || home[0] != '/') continue;
            found = home + value.substr(5);
        }
        else if (!value.empty() && value[0] == '/')
            found = value;
    }
    while (found.size() > 1 && found.back() == '/')
        found.pop_back();
    return found;
}

int DesktopDownloadFolder(std::string& outPath)
{
    const char* homeText = std::getenv("HOME");
    const std::string home = homeText && homeText[0] == '/' ? homeText : "";
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string settings;
    if (config && config[0] == '/')
        settings = std::string(config) + "/user-dirs.dirs";
    else if (!home.empty())
        settings = home + "/.config/user-dirs.dirs";
    if (!settings.empty())
    {
        const std::string named = ParseUserDirs(ReadSmallFile(settings), "XDG_DOWNLOAD_DIR", home);
        if (!named.empty())
        {
            outPath = named;
            return 0;
        }
    }
    if (home.empty()) return ENOENT;
    outPath = home + "/Downloads";
    return 0;
}
} // namespace platform
