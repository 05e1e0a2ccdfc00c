#include "platform/CommandLine.h"

#include <QFile>
#include <QUrl>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
namespace
{
std::vector<std::string>& Storage()
{
    static std::vector<std::string> args;
    return args;
}

std::string WorkingFolder()
{
    std::string buffer(4096, '\0');
    if (!getcwd(buffer.data(), buffer.size())) return std::string();
    buffer.resize(buffer.find('\0'));
    return buffer;
}
} // namespace

void SetArguments(int argc, char** argv)
{
    Storage().clear();
    for (int i = 1; i < argc; ++i)
        if (argv[i]) Storage().push_back(DocumentArgument(argv[i]));
}

const std::vector<std::string>& Arguments()
{
    return Storage();
}

std::string DocumentArgument(const std::string& arg)
{
    if (arg.compare(0, 5, "file:") == 0)
    {
        const QUrl url(QString::fromLocal8Bit(arg.data(), qsizetype(arg.size())));
        // A file on another machine cannot be opened here; it stays as given and is refused later.
        const QString host = url.host();
        if (url.isValid() && url.isLocalFile() && (host.isEmpty() || host == QLatin1String("localhost")))
            return QFile::encodeName(url.path()).toStdString();
        return arg;
    }
    if (arg.empty() || arg[0] == '/') return arg;
    struct stat st
    {
    };
    if (stat(arg.c_str(), &st) != 0) return arg;
    const std::string folder = WorkingFolder();
    if (folder.empty()) return arg;
    std::string relative = arg;
    while (relative.compare(0, 2, "./") == 0)
        relative.erase(0, 2);
    return folder == "/" ? "/" + relative : folder + "/" + relative;
}
} // namespace platform
