#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
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
} // namespace platform
