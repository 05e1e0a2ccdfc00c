#include "platform/HostLookup.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <map>
#include <netdb.h>
#include <netinet/in.h>
#include <system_error>
#include <thread>

namespace platform
{
namespace
{
struct SPendingLookup
{
    HostLookupProc proc;
    void* context;
};

// Keyed by lookup id. An aborted lookup leaves the map, so a late answer finds nobody.
std::map<int, SPendingLookup>& Pending()
{
    static std::map<int, SPendingLookup> pending;
    return pending;
}

// Made on the main thread (the first lookup's start makes it), where the answers are to be handled.
QObject& Receiver()
{
    static QObject* receiver = new QObject; // answers may come until the process ends
    return *receiver;
}

void Answer(int id, int error, uint32_t addressBE)
{
    auto it = Pending().find(id);
    if (it == Pending().end()) return;
    SPendingLookup lookup = it->second;
    Pending().erase(it);
    try
    {
        lookup.proc(lookup.context, id, error, addressBE);
    }
    catch (...)
    {
    }
}

// On a thread of its own: the resolver blocks for as long as the name servers take, and the one thread
// must not wait for them. Only the answer crosses back, through the main thread's queue.
void LookUp(QObject* receiver, int id, QByteArray host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int error = getaddrinfo(host.constData(), nullptr, &hints, &found);
    uint32_t addressBE = 0;
    if (error == 0)
    {
        error = EAI_NONAME;
        for (const addrinfo* a = found; a; a = a->ai_next)
            if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in))
            {
                addressBE = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
                error = 0;
                break;
            }
        freeaddrinfo(found);
    }
    QMetaObject::invokeMethod(
        receiver, [id, error, addressBE] { Answer(id, error, addressBE); }, Qt::QueuedConnection);
}
} // namespace

int StartHostLookup(const char* name, size_t size, HostLookupProc proc, void* context)
{
    if (!name || !size || !proc) return 0;
    static int lastID = 0;
    const int id = lastID = lastID == INT32_MAX ? 1 : lastID + 1;
    // A name with letters beyond ASCII goes to the resolver in its ASCII form, as the name servers know
    // it. One that has no such form (or holds a zero byte) is no host's name, and is answered so, later
    // like every answer.
    const QByteArray host = QUrl::toAce(QString::fromLatin1(name, qsizetype(size)));
    if (host.isEmpty() || host.contains('\0'))
        QMetaObject::invokeMethod(
            &Receiver(), [id] { Answer(id, EAI_NONAME, 0); }, Qt::QueuedConnection);
    else
        try
        {
            std::thread(LookUp, &Receiver(), id, host).detach();
        }
        catch (const std::system_error&)
        {
            return 0;
        }
    Pending()[id] = SPendingLookup{proc, context};
    return id;
}

void AbortHostLookup(int lookupID)
{
    // The lookup's thread cannot be stopped inside the resolver: its answer is left to come and be
    // ignored.
    Pending().erase(lookupID);
}
} // namespace platform
