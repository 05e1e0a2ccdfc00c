#include "platform/OpenURL.h"

#include <QProcess>
#include <QString>
#include <QStringList>

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
    return QProcess::startDetached(QStringLiteral("xdg-open"),
                                   QStringList{QString::fromLatin1(url, qsizetype(size))});
}

void SetOpenURLProc(OpenURLProc proc)
{
    gOpenURLProc = proc;
}
} // namespace platform
