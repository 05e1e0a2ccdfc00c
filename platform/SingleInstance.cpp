#include "platform/SingleInstance.h"

#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/HandOffMessage.h"
#include "platform/Socket.h"

namespace platform
{
namespace
{
constexpr char kLockName[] = "/quenvol-instance.lock";
constexpr char kSocketName[] = "/quenvol-instance.socket";
constexpr uint8_t kTaken = 'Y';
// Connections that have not yet said all they have to say; more than this are turned away.
constexpr size_t kMaxPeers = 16;
// While the client that holds the lock is still setting up its socket, a later start tries again.
constexpr int kRetryMs = 50;

int OpenLocalSocket(int& outFD)
{
    outFD = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    return outFD < 0 ? errno : 0;
}

bool MakeAddress(const std::string& path, sockaddr_un& outAddress)
{
    std::memset(&outAddress, 0, sizeof outAddress);
    outAddress.sun_family = AF_UNIX;
    if (path.size() >= sizeof outAddress.sun_path) return false;
    std::memcpy(outAddress.sun_path, path.data(), path.size());
    return true;
}

bool PeerIsThisUser(int fd)
{
    ucred cred{};
    socklen_t len = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == getuid();
}
} // namespace

int InstanceFolder(std::string& outFolder)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
    {
        outFolder = runtime;
        return 0;
    }
    // Without a runtime folder the socket needs a place that no other user can reach or replace.
    const std::string folder = "/tmp/quenvol-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    struct stat st
    {
    };
    if (lstat(folder.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0) return EACCES;
    outFolder = folder;
    return 0;
}

struct InstanceObj
{
    struct SPeer
    {
        InstanceObj* owner;
        int fd;
        SocketWatchObj* watch;
        std::vector<uint8_t> bytes;
    };

    int lockFD = -1;
    int listenFD = -1;
    std::string socketPath;
    SocketWatchObj* listenWatch = nullptr;
    std::vector<std::unique_ptr<SPeer>> peers;
    InstanceItemsProc proc = nullptr;
    void* context = nullptr;

    void Accept();
    void Read(SPeer* peer);
    void Drop(SPeer* peer);
};

void InstanceObj::Accept()
{
    for (;;)
    {
        int fd;
        const int err = AcceptConnection(listenFD, fd);
        if (err) return; // EAGAIN: all taken; anything else is the peer's trouble, not ours
        if (peers.size() >= kMaxPeers || !PeerIsThisUser(fd))
        {
            CloseSocket(fd);
            continue;
        }
        auto peer = std::make_unique<SPeer>(SPeer{this, fd, nullptr, {}});
        peer->watch = WatchSocket(
            fd,
            [](void* context, int)
            { static_cast<SPeer*>(context)->owner->Read(static_cast<SPeer*>(context)); },
            peer.get());
        peers.push_back(std::move(peer));
    }
}

void InstanceObj::Read(SPeer* peer)
{
    // Level-triggered: one read per notice; what is left comes with the next one.
    uint8_t buffer[4096];
    size_t got = 0;
    bool closed = false;
    const int err = ReceiveSome(peer->fd, buffer, sizeof buffer, got, closed);
    if (err == EAGAIN) return;
    if (err || closed)
    {
        Drop(peer);
        return;
    }
    peer->bytes.insert(peer->bytes.end(), buffer, buffer + got);
    std::vector<std::string> items;
    const EHandOffParse parse = ParseHandOffMessage(peer->bytes.data(), peer->bytes.size(), items);
    if (parse == EHandOffParse::Incomplete) return;
    // Nobody to take the items any more (the client is quitting): the later start hears the connection
    // close unanswered and claims its own place.
    if (parse == EHandOffParse::Complete && proc)
    {
        // The answer goes out before the items are acted on, so that the later start can end at once;
        // one byte always fits into an empty socket buffer.
        size_t sent = 0;
        SendSome(peer->fd, &kTaken, 1, sent);
        InstanceItemsProc itemsProc = proc;
        void* itemsContext = context;
        Drop(peer);
        itemsProc(itemsContext, items);
        return;
    }
    Drop(peer);
}

void InstanceObj::Drop(SPeer* peer)
{
    UnwatchSocket(peer->watch);
    CloseSocket(peer->fd);
    for (auto it = peers.begin(); it != peers.end(); ++it)
        if (it->get() == peer)
        {
            peers.erase(it);
            return;
        }
}

EInstanceClaim ClaimInstance(const std::string& folder, InstanceObj*& outInstance, int& outError)
{
    outInstance = nullptr;
    outError = 0;
    const std::string lockPath = folder + kLockName;
    const std::string socketPath = folder + kSocketName;
    sockaddr_un address;
    if (!MakeAddress(socketPath, address))
    {
        outError = ENAMETOOLONG;
        return EInstanceClaim::Failed;
    }
    int lockFD;
    do
        lockFD = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    while (lockFD < 0 && errno == EINTR);
    if (lockFD < 0)
    {
        outError = errno;
        return EInstanceClaim::Failed;
    }
    // The kernel lets go of the lock when its holder ends in any way, so a crashed client never keeps it.
    int locked;
    do
        locked = flock(lockFD, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0)
    {
        const int err = errno;
        close(lockFD);
        if (err == EWOULDBLOCK) return EInstanceClaim::Running;
        outError = err;
        return EInstanceClaim::Failed;
    }
    // Whoever left a socket here ended without removing it: holding the lock proves nobody listens.
    if (unlink(socketPath.c_str()) != 0 && errno != ENOENT)
    {
        outError = errno;
        close(lockFD);
        return EInstanceClaim::Failed;
    }
    int fd;
    if (int err = OpenLocalSocket(fd))
    {
        outError = err;
        close(lockFD);
        return EInstanceClaim::Failed;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0)
    {
        outError = errno;
        CloseSocket(fd);
        unlink(socketPath.c_str());
        close(lockFD);
        return EInstanceClaim::Failed;
    }
    auto* instance = new InstanceObj;
    instance->lockFD = lockFD;
    instance->listenFD = fd;
    instance->socketPath = socketPath;
    instance->listenWatch = WatchSocket(
        fd, [](void* context, int) { static_cast<InstanceObj*>(context)->Accept(); }, instance);
    SetReadWatch(instance->listenWatch, false);
    outInstance = instance;
    return EInstanceClaim::Claimed;
}

void SetInstanceItemsProc(InstanceObj* instance, InstanceItemsProc proc, void* context)
{
    if (!instance) return;
    instance->proc = proc;
    instance->context = context;
    // Without a receiver later starts wait in the backlog instead of being answered and forgotten.
    SetReadWatch(instance->listenWatch, proc != nullptr);
}

void ReleaseInstance(InstanceObj* instance)
{
    if (!instance) return;
    while (!instance->peers.empty())
        instance->Drop(instance->peers.back().get());
    UnwatchSocket(instance->listenWatch);
    CloseSocket(instance->listenFD);
    // Still holding the lock: no later start can have put its own socket here.
    unlink(instance->socketPath.c_str());
    close(instance->lockFD);
    delete instance;
}

struct HandOffObj
{
    std::string socketPath;
    std::vector<uint8_t> message;
    size_t sent = 0;
    int fd = -1;
    SocketWatchObj* watch = nullptr;
    QTimer retry;
    QTimer deadline;
    HandOffDoneProc proc = nullptr;
    void* context = nullptr;
    bool done = false;

    void TryConnect();
    void Event(int event);
    void CloseConnection();
    void Finish(int result);
};

void HandOffObj::TryConnect()
{
    if (done) return;
    sockaddr_un address;
    if (!MakeAddress(socketPath, address))
    {
        Finish(ENAMETOOLONG);
        return;
    }
    if (int err = OpenLocalSocket(fd))
    {
        Finish(err);
        return;
    }
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    {
        const int err = errno;
        CloseConnection();
        // Not there yet, between a crashed client's socket and the new one, or a full backlog.
        if (err == ENOENT || err == ECONNREFUSED || err == EAGAIN || err == EINTR)
            retry.start(kRetryMs);
        else
            Finish(err);
        return;
    }
    watch = WatchSocket(
        fd, [](void* context, int event) { static_cast<HandOffObj*>(context)->Event(event); }, this);
    SetReadWatch(watch, true);
    SetWriteWatch(watch, true);
}

void HandOffObj::Event(int event)
{
    if (done) return;
    if (event == kSocketWritable)
    {
        size_t n = 0;
        const int err = SendSome(fd, message.data() + sent, message.size() - sent, n);
        if (err && err != EAGAIN)
        {
            Finish(err == EPIPE ? ECONNRESET : err);
            return;
        }
        sent += n;
        if (sent == message.size()) SetWriteWatch(watch, false);
        return;
    }
    uint8_t answer = 0;
    size_t got = 0;
    bool closed = false;
    const int err = ReceiveSome(fd, &answer, 1, got, closed);
    if (err == EAGAIN) return;
    if (err)
        Finish(err);
    else if (closed)
        Finish(ECONNRESET);
    else if (got == 1)
        Finish(answer == kTaken && sent == message.size() ? 0 : EPROTO);
}

void HandOffObj::CloseConnection()
{
    UnwatchSocket(watch);
    watch = nullptr;
    CloseSocket(fd);
    fd = -1;
}

void HandOffObj::Finish(int result)
{
    if (done) return;
    done = true;
    retry.stop();
    deadline.stop();
    CloseConnection();
    if (proc) proc(context, result);
}

HandOffObj* StartHandOff(const std::string& folder, const std::vector<std::string>& items, uint32_t timeoutMs,
                         HandOffDoneProc proc, void* context)
{
    auto* h = new HandOffObj;
    h->socketPath = folder + kSocketName;
    h->proc = proc;
    h->context = context;
    h->retry.setSingleShot(true);
    QObject::connect(&h->retry, &QTimer::timeout, [h] { h->TryConnect(); });
    h->deadline.setSingleShot(true);
    QObject::connect(&h->deadline, &QTimer::timeout, [h] { h->Finish(ETIMEDOUT); });
    bool fits = items.size() <= kHandOffMaxItems;
    for (const std::string& item : items)
        fits = fits && item.size() <= kHandOffMaxItemSize && item.find('\0') == std::string::npos;
    if (!fits)
    {
        // Told from the event loop like every other outcome, never from inside this call.
        QTimer::singleShot(0, &h->deadline, [h] { h->Finish(E2BIG); });
        return h;
    }
    h->message = MakeHandOffMessage(items);
    h->deadline.start(int(timeoutMs));
    h->retry.start(0);
    return h;
}

bool HandOffAwaitsAnswer(const HandOffObj* handOff)
{
    return handOff && !handOff->done && handOff->fd >= 0 && !handOff->message.empty() &&
           handOff->sent == handOff->message.size();
}

void DisposeHandOff(HandOffObj* handOff)
{
    if (!handOff) return;
    handOff->done = true;
    handOff->CloseConnection();
    delete handOff;
}
} // namespace platform
