// Non-blocking IPv4 TCP sockets and their readiness notices on the main thread. Results are 0 or an
// errno; EINTR is retried here, and "would block" is reported as EAGAIN, which callers treat as normal flow.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform
{
int OpenStreamSocket(int& outFD);
int OpenDatagramSocket(int& outFD);
void CloseSocket(int fd);
int SetSendBufferSize(int fd, int size);
// Small writes go out at once; the test server uses it to deliver bytes in pieces.
int SetNoDelay(int fd);
// TCP keep-alive: after `idleSeconds` without traffic the system probes the peer every
// `intervalSeconds`, and drops the connection after `probes` probes go unanswered.
struct SKeepAlive
{
    bool on = false;
    int idleSeconds = 0;
    int intervalSeconds = 0;
    int probes = 0;
};
int SetKeepAlive(int fd, const SKeepAlive& keepAlive);
int GetKeepAlive(int fd, SKeepAlive& outKeepAlive);

// 0 when connected at once, EINPROGRESS when the connect goes on in the background, else the failure.
int ConnectIPv4(int fd, uint32_t addressBE, uint16_t port);
// The pending error of a socket (the outcome of a background connect), 0 when none.
int TakeSocketError(int fd);
// Sends what the network takes now; EAGAIN with outSent 0 when it takes nothing. Never raises SIGPIPE.
int SendSome(int fd, const void* data, size_t size, size_t& outSent);
// Reads what is waiting. outClosed is set when the peer closed its side and nothing is left to read.
int ReceiveSome(int fd, void* buffer, size_t size, size_t& outRead, bool& outClosed);
uint32_t BytesWaiting(int fd);
// Bytes handed to the system that the peer has not acknowledged yet (sent or still queued).
uint32_t BytesUnacknowledged(int fd);
void ShutdownSocket(int fd);

// "a.b.c.d" with four decimal parts of at most 255 each, nothing else.
bool ParseDottedIPv4(const char* text, size_t size, uint32_t& outAddressBE);
uint32_t LoopbackAddressBE();

// Listening on 127.0.0.1 for the local test server; port 0 asks the system for a free one.
int ListenLoopback(uint16_t port, int& outFD, uint16_t& outPort);
// EAGAIN when nobody is waiting. The new socket is non-blocking.
int AcceptConnection(int listenFD, int& outFD);

enum : int
{
    kSocketReadable = 1,
    kSocketWritable = 2,
};
using SocketEventProc = void (*)(void* context, int event);
struct SocketWatchObj;
// Read notices are level-triggered: they come again while unread bytes remain (or the peer has closed).
// The write notice fires continuously while the socket has room, so it is switched on only while
// something waits to go out or a connect is pending.
SocketWatchObj* WatchSocket(int fd, SocketEventProc proc, void* context);
void SetReadWatch(SocketWatchObj* watch, bool on);
void SetWriteWatch(SocketWatchObj* watch, bool on);
// Safe to call from inside the watch's own notice.
void UnwatchSocket(SocketWatchObj* watch);
} // namespace platform
