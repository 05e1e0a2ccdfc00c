#include "platform/Socket.h"

#include <QSocketNotifier>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace platform
{
namespace
{
int OpenSocket(int type, int& outFD)
{
    outFD = -1;
    int fd = socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    outFD = fd;
    return 0;
}

sockaddr_in MakeAddress(uint32_t addressBE, uint16_t port)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = addressBE;
    return sa;
}
} // namespace

int OpenStreamSocket(int& outFD)
{
    return OpenSocket(SOCK_STREAM, outFD);
}

int OpenDatagramSocket(int& outFD)
{
    return OpenSocket(SOCK_DGRAM, outFD);
}

void CloseSocket(int fd)
{
    // close() must not be retried on EINTR: the descriptor is gone either way on Linux.
    if (fd >= 0) close(fd);
}

int SetSendBufferSize(int fd, int size)
{
    return setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size) == 0 ? 0 : errno;
}

int SetNoDelay(int fd)
{
    int on = 1;
    return setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0 ? 0 : errno;
}

int SetKeepAlive(int fd, const SKeepAlive& keepAlive)
{
    const int on = keepAlive.on ? 1 : 0;
    if (setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) return errno;
    if (!on) return 0;
    const struct
    {
        int option;
        int value;
    } options[] = {{TCP_KEEPIDLE, keepAlive.idleSeconds},
                   {TCP_KEEPINTVL, keepAlive.intervalSeconds},
                   {TCP_KEEPCNT, keepAlive.probes}};
    for (const auto& o : options)
        if (setsockopt(fd, IPPROTO_TCP, o.option, &o.value, sizeof o.value) != 0) return errno;
    return 0;
}

int GetKeepAlive(int fd, SKeepAlive& outKeepAlive)
{
    int on = 0;
    socklen_t size = sizeof on;
    if (getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, &size) != 0) return errno;
    outKeepAlive.on = on != 0;
    for (auto [option, value] : {std::pair{TCP_KEEPIDLE, &outKeepAlive.idleSeconds},
                                 std::pair{TCP_KEEPINTVL, &outKeepAlive.intervalSeconds},
                                 std::pair{TCP_KEEPCNT, &outKeepAlive.probes}})
    {
        size = sizeof *value;
        if (getsockopt(fd, IPPROTO_TCP, option, value, &size) != 0) return errno;
    }
    return 0;
}

int ConnectIPv4(int fd, uint32_t addressBE, uint16_t port)
{
    sockaddr_in sa = MakeAddress(addressBE, port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return 0;
    // An interrupted connect goes on in the background; it is finished like a pending one.
    if (errno == EINTR) return EINPROGRESS;
    return errno;
}

int TakeSocketError(int fd)
{
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return errno;
    return err;
}

int SendSome(int fd, const void* data, size_t size, size_t& outSent)
{
    outSent = 0;
    for (;;)
    {
        ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n >= 0)
        {
            outSent = size_t(n);
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return EAGAIN;
        return errno;
    }
}

int ReceiveSome(int fd, void* buffer, size_t size, size_t& outRead, bool& outClosed)
{
    outRead = 0;
    outClosed = false;
    for (;;)
    {
        ssize_t n = recv(fd, buffer, size, 0);
        if (n > 0)
        {
            outRead = size_t(n);
            return 0;
        }
        if (n == 0)
        {
            outClosed = size > 0;
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return EAGAIN;
        return errno;
    }
}

uint32_t BytesWaiting(int fd)
{
    int n = 0;
    if (ioctl(fd, FIONREAD, &n) != 0 || n < 0) return 0;
    return uint32_t(n);
}

uint32_t BytesUnacknowledged(int fd)
{
    int n = 0;
    if (ioctl(fd, SIOCOUTQ, &n) != 0 || n < 0) return 0;
    return uint32_t(n);
}

void ShutdownSocket(int fd)
{
    if (fd >= 0) shutdown(fd, SHUT_RDWR);
}

bool ParseDottedIPv4(const char* text, size_t size, uint32_t& outAddressBE)
{
    uint8_t parts[4];
    size_t part = 0, i = 0;
    while (part < 4)
    {
        uint32_t value = 0;
        size_t digits = 0;
        while (i < size && text[i] >= '0' && text[i] <= '9' && digits < 4)
        {
            value = value * 10 + uint32_t(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        parts[part++] = uint8_t(value);
        if (part < 4)
        {
            if (i >= size || text[i] != '.') return false;
            ++i;
        }
    }
    if (i != size) return false;
    uint32_t be;
    std::memcpy(&be, parts, 4);
    outAddressBE = be;
    return true;
}

uint32_t LoopbackAddressBE()
{
    return htonl(INADDR_LOOPBACK);
}

int ListenLoopback(uint16_t port, int& outFD, uint16_t& outPort)
{
    int fd;
    if (int err = OpenStreamSocket(fd)) return err;
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in sa = MakeAddress(LoopbackAddressBE(), port);
    socklen_t len = sizeof sa;
    if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
    {
        int err = errno;
        close(fd);
        return err;
    }
    outFD = fd;
    outPort = ntohs(sa.sin_port);
    return 0;
}

int AcceptConnection(int listenFD, int& outFD)
{
    outFD = -1;
    for (;;)
    {
        int fd = accept4(listenFD, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0)
        {
            outFD = fd;
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return EAGAIN;
        return errno;
    }
}

struct SocketWatchObj
{
    QSocketNotifier* read;
    QSocketNotifier* write;
    SocketEventProc proc;
    void* context;
};

namespace
{
void Deliver(SocketWatchObj* watch, int event)
{
    // Nothing may unwind through Qt's dispatcher; the receivers only post messages and do not raise.
    try
    {
        watch->proc(watch->context, event);
    }
    catch (...)
    {
    }
}
} // namespace

SocketWatchObj* WatchSocket(int fd, SocketEventProc proc, void* context)
{
    auto* watch = new SocketWatchObj{nullptr, nullptr, proc, context};
    watch->read = new QSocketNotifier(fd, QSocketNotifier::Read);
    watch->write = new QSocketNotifier(fd, QSocketNotifier::Write);
    watch->write->setEnabled(false);
    QObject::connect(watch->read, &QSocketNotifier::activated, [watch] { Deliver(watch, kSocketReadable); });
    QObject::connect(watch->write, &QSocketNotifier::activated, [watch] { Deliver(watch, kSocketWritable); });
    return watch;
}

void SetReadWatch(SocketWatchObj* watch, bool on)
{
    if (watch && watch->read->isEnabled() != on) watch->read->setEnabled(on);
}

void SetWriteWatch(SocketWatchObj* watch, bool on)
{
    if (watch && watch->write->isEnabled() != on) watch->write->setEnabled(on);
}

void UnwatchSocket(SocketWatchObj* watch)
{
    if (!watch) return;
    // Qt copes with a notifier deleted from inside its own activation.
    delete watch->read;
    delete watch->write;
    delete watch;
}
} // namespace platform
