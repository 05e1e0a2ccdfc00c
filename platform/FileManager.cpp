#include "platform/FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QUrl>

#include "platform/MessageBus.h"
#include "platform/OpenURL.h"

namespace platform
{
namespace
{
struct SFileManagerBus
{
    CMessageBus bus{CMessageBus::EKind::Session, "file-manager"};
    uint32_t pending = 0;
};

SFileManagerBus& State()
{
    static SFileManagerBus state;
    return state;
}

// The folder that holds the item, opened with the desktop's opener.
void OpenParent(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string parent =
        slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
    OpenFolder(parent.data(), parent.size());
}
} // namespace

void ShowInFileManager(const std::string& path)
{
    if (path.empty()) return;
    QDBusConnection bus = State().bus.Bus();
    if (!bus.isConnected())
    {
        OpenParent(path);
        return;
    }
    const QString uri =
        QString::fromLatin1(QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded(QUrl::FullyEncoded));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{uri} << QString();
    ++State().pending;
    State().bus.CallWithReply(call, nullptr,
                              [path](const QDBusMessage& reply, bool)
                              {
                                  --State().pending;
                                  // No file manager on the bus is an error answer like any other.
                                  if (reply.type() != QDBusMessage::ReplyMessage) OpenParent(path);
                              });
}

uint32_t PendingFileManagerCalls()
{
    return State().pending;
}

void SetFileManagerBusAddress(const QString& address)
{
    State().bus.UseAddress(address);
}

void UseSessionBusForFileManager()
{
    State().bus.UseDefault();
}
} // namespace platform
