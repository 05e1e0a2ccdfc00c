#include "platform/HostLookup.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <arpa/inet.h>
#include <map>
#include <netdb.h>

namespace platform
{
namespace
{
struct SPendingLookup
{
    HostLookupProc proc;
    void* context;
};

// Keyed by Qt's lookup id. An aborted lookup leaves the map, so a late answer finds nobody.
std::map<int, SPendingLookup>& Pending()
{
    static std::map<int, SPendingLookup> pending;
    return pending;
}

QObject& Receiver()
{
    static QObject* receiver = new QObject; // answers may come until the process ends
    return *receiver;
}

void Answer(const QHostInfo& info)
{
    auto it = Pending().find(info.lookupId());
    if (it == Pending().end()) return;
    SPendingLookup lookup = it->second;
    Pending().erase(it);
    int error = EAI_NONAME;
    uint32_t addressBE = 0;
    if (info.error() == QHostInfo::UnknownError) error = EAI_FAIL;
    if (info.error() == QHostInfo::NoError)
        for (const QHostAddress& a : info.addresses())
        {
            bool isV4 = false;
            quint32 v4 = a.toIPv4Address(&isV4);
            if (!isV4) continue;
            addressBE = htonl(v4);
            error = 0;
            break;
        }
    try
    {
        lookup.proc(lookup.context, info.lookupId(), error, addressBE);
    }
    catch (...)
    {
    }
}
} // namespace

int StartHostLookup(const char* name, size_t size, HostLookupProc proc, void* context)
{
    if (!name || !size || !proc) return 0;
    QString host = QString::fromLatin1(name, qsizetype(size));
    int id = QHostInfo::lookupHost(host, &Receiver(), Answer);
    if (id == 0) return 0;
    Pending()[id] = SPendingLookup{proc, context};
    return id;
}

void AbortHostLookup(int lookupID)
{
    auto it = Pending().find(lookupID);
    if (it == Pending().end()) return;
    // The answer is left to come and be ignored: Qt's own abort drops the lookup without freeing the
    // receiver it holds for it, which leaks on every abort.
    Pending().erase(it);
}
} // namespace platform
