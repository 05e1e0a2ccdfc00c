#include "platform/OpenURL.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "platform/MessageBus.h"

namespace platform
{
namespace
{
OpenURLProc gOpenURLProc = nullptr;
}

bool OpenURL(const char* url, size_t size)
{
    if (!url || !size) return false;
    if (gOpenURLProc) return gOpenURLProc(url, size);
    // The freedesktop opener picks the user's handler for any scheme; it is started detached so that
    // the program neither waits for it nor reaps it.
    QProcess opener;
    opener.setProgram(QStringLiteral("xdg-open"));
    opener.setArguments(QStringList{QString::fromLatin1(url, qsizetype(size))});
    opener.setProcessEnvironment(EnvironmentForChildren());
    return opener.startDetached();
}

bool OpenFolder(const char* path, size_t size)
{
    return OpenLocalItem(path, size);
}

bool OpenLocalItem(const char* path, size_t size)
{
    if (!path || !size) return false;
    // The path is the file system's bytes; the URL escapes whatever a URL may not hold as it stands.
    const QByteArray url =
        QUrl::fromLocalFile(QString::fromUtf8(path, qsizetype(size))).toEncoded(QUrl::FullyEncoded);
    return OpenURL(url.constData(), size_t(url.size()));
}

void SetOpenURLProc(OpenURLProc proc)
{
    gOpenURLProc = proc;
}
} // namespace platform
