#include "platform/QuitSignals.h"

#include <cassert>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/Socket.h"

namespace platform
{
namespace
{
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The handler may only do what is safe in a signal handler: one write to a non-blocking pipe. A full pipe
// already holds a wake-up, so a failed write loses nothing.
int gWriteFD = -1;

void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    ssize_t ignored = write(gWriteFD, &byte, 1);
    (void)ignored;
    errno = saved;
}
} // namespace

struct QuitSignalsObj
{
    int readFD = -1;
    int writeFD = -1;
    SocketWatchObj* watch = nullptr;
    QuitSignalProc proc = nullptr;
    void* context = nullptr;

    void Drain();
};

void QuitSignalsObj::Drain()
{
    bool any = false;
    for (;;)
    {
        char bytes[64];
        const ssize_t n = read(readFD, bytes, sizeof bytes);
        if (n > 0)
        {
            any = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EAGAIN: all read. The write end is ours and stays open, so nothing else can end the reading.
        break;
    }
    if (any && proc) proc(context);
}

QuitSignalsObj* WatchQuitSignals(QuitSignalProc proc, void* context, int& outError)
{
    assert(gWriteFD < 0 && "one quit-signal watcher at a time");
    outError = 0;
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
    {
        outError = errno;
        return nullptr;
    }
    auto* watcher = new QuitSignalsObj{fds[0], fds[1], nullptr, proc, context};
    watcher->watch = WatchSocket(
        fds[0], [](void* context, int) { static_cast<QuitSignalsObj*>(context)->Drain(); }, watcher);
    gWriteFD = fds[1];
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls are restarted: the rest of the program need not expect EINTR from them.
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
    return watcher;
}

void StopWatchingQuitSignals(QuitSignalsObj* watcher)
{
    if (!watcher) return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
    gWriteFD = -1;
    UnwatchSocket(watcher->watch);
    close(watcher->readFD);
    close(watcher->writeFD);
    delete watcher;
}
} // namespace platform
