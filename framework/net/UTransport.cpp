#include "framework/net/UTransport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "framework/net/TransportObj.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "platform/HostLookup.h"
#include "platform/Network.h"
#include "platform/Socket.h"

using namespace transport;

struct transport::SSendBufferHead
{
    SSendBufferHead* next;
    uint32_t sent;
    uint32_t size;
};

namespace
{
// Bulk reads below 16 KiB make the system calls dominate.
constexpr uint32_t kReadChunk = 256 * 1024;
// A read smaller than this goes through the read-ahead even when it is empty.
constexpr uint32_t kSmallRead = 16 * 1024;

uint32_t gSendBufferSize = 65536;

SSendBufferHead* HeadOf(const void* buffer)
{
    return const_cast<SSendBufferHead*>(static_cast<const SSendBufferHead*>(buffer) - 1);
}

void* DataOf(SSendBufferHead* head)
{
    return head + 1;
}

// One data notice in the queue is enough: the reader takes everything that is there.
void PostDataArrived(TTransportObj* t)
{
    if (t->handler) UApplication::ReplaceMessage(kMsgDataArrived, nullptr, 0, 0, t->handler, t->context, t);
}

uint32_t ReadAheadSize(const TTransportObj* t)
{
    return t->readEnd - t->readStart;
}

void FreeQueue(TTransportObj* t)
{
    for (SSendBufferHead* b = t->queueHead; b;)
    {
        SSendBufferHead* next = b->next;
        UMemory::Dispose(static_cast<TPtrObj*>(b));
        b = next;
    }
    t->queueHead = t->queueTail = nullptr;
    t->queueCount = 0;
}

void LookupAnswered(void* context, int lookupID, int error, uint32_t addressBE)
{
    auto* t = static_cast<TTransportObj*>(context);
    if (t->firewall)
    {
        FirewallLookupAnswered(t, lookupID, error, addressBE);
        return;
    }
    if (lookupID != t->lookup) return;
    t->lookup = 0;
    if (error)
    {
        SetFailed(t, error, EStatusKind::Lookup);
        return;
    }
    if (t->status == kStatusConnecting || t->tcpUp) return;
    ConnectTo(t, addressBE, t->port, false);
}

void ConnectCompleted(TTransportObj* t)
{
    const int err = platform::TakeSocketError(t->fd);
    if (err)
    {
        SetFailed(t, err, EStatusKind::OS);
        return;
    }
    t->tcpUp = true;
    if (t->firewall)
    {
        // Still "connecting" for the owner until the firewall grants the connection.
        StartNegotiation(t);
        return;
    }
    SetConnected(t);
}

void FlushQueue(TTransportObj* t)
{
    while (SSendBufferHead* b = t->queueHead)
    {
        size_t sent = 0;
        const int err =
            platform::SendSome(t->fd, static_cast<uint8_t*>(DataOf(b)) + b->sent, b->size - b->sent, sent);
        if (err && err != EAGAIN)
        {
            // The connection is broken; the reader will see the close. Nothing queued can go out any more.
            t->sendBroken = true;
            FreeQueue(t);
            break;
        }
        b->sent += uint32_t(sent);
        if (b->sent < b->size) break;
        t->queueHead = b->next;
        if (!t->queueHead) t->queueTail = nullptr;
        --t->queueCount;
        UMemory::Dispose(static_cast<TPtrObj*>(b));
    }
    if (t->notifyReady && t->queueCount <= 1)
    {
        t->notifyReady = false;
        Post(t, kMsgReadyToSend);
    }
}

void PeerClosed(TTransportObj* t)
{
    // A peer that closed before all it was sent had arrived never took it, whatever its close looked like.
    if (platform::BytesUnacknowledged(t->fd)) t->unackedAtClose = true;
    t->peerClosed = true;
    t->connected = false;
    UpdateWatches(t);
    Post(t, kMsgDisconnected);
}

void ReadAhead(TTransportObj* t)
{
    if (!t->readAhead) t->readAhead = static_cast<uint8_t*>(UMemory::New(UTransport::kReadAheadLimit));
    if (t->readStart == t->readEnd) t->readStart = t->readEnd = 0;
    if (t->readEnd + kReadChunk > UTransport::kReadAheadLimit && t->readStart)
    {
        std::memmove(t->readAhead, t->readAhead + t->readStart, ReadAheadSize(t));
        t->readEnd -= t->readStart;
        t->readStart = 0;
    }
    const uint32_t room = UTransport::kReadAheadLimit - t->readEnd;
    if (room == 0)
    {
        UpdateWatches(t);
        return;
    }
    size_t got = 0;
    bool closed = false;
    const int err = platform::ReceiveSome(t->fd, t->readAhead + t->readEnd, room, got, closed);
    if (err == EAGAIN)
    {
        t->socketEmpty = true;
        return;
    }
    if (err || closed)
    {
        if (ReadAheadSize(t) && !t->disconnecting) PostDataArrived(t);
        if (err) t->peerReset = true;
        PeerClosed(t);
        return;
    }
    if (t->disconnecting)
    {
        t->readStart = t->readEnd = 0;
        return;
    }
    t->readEnd += uint32_t(got);
    // A read that got less than there was room for emptied the socket.
    t->socketEmpty = got < room;
    UpdateWatches(t);
    PostDataArrived(t);
}

void SocketEvent(void* context, int event)
{
    auto* t = static_cast<TTransportObj*>(context);
    if (!t->tcpUp)
    {
        // A refused connect shows as readable and writable at once; either finishes the connect.
        if (t->status == kStatusConnecting && t->lookup == 0) ConnectCompleted(t);
        return;
    }
    if (event == platform::kSocketWritable)
    {
        FlushQueue(t);
        UpdateWatches(t);
        return;
    }
    if (t->peerClosed) return;
    t->socketEmpty = false;
    if (IsNegotiating(t))
        ReadNegotiationReply(t);
    else
        ReadAhead(t);
}

void Enqueue(TTransportObj* t, SSendBufferHead* b)
{
    b->next = nullptr;
    if (t->queueTail)
        t->queueTail->next = b;
    else
        t->queueHead = b;
    t->queueTail = b;
    ++t->queueCount;
    UpdateWatches(t);
}

// Hands bytes to the network at once; returns how many it took (a failure counts as none).
uint32_t SendNow(TTransportObj* t, const void* data, uint32_t size)
{
    if (!t->tcpUp || t->peerClosed || t->sendBroken || t->disconnecting) return 0;
    size_t sent = 0;
    const int err = platform::SendSome(t->fd, data, size, sent);
    if (err && err != EAGAIN)
    {
        t->sendBroken = true;
        return 0;
    }
    return uint32_t(sent);
}

// Looking up, connecting, or waiting for the firewall's grant.
bool IsConnecting(const TTransportObj* t)
{
    return t->status == kStatusConnecting || t->lookup || DestinationLookup(t);
}
} // namespace

void transport::Post(TTransportObj* t, uint32_t msg)
{
    if (t->handler) UApplication::PostMessage(msg, nullptr, 0, 0, t->handler, t->context, t);
}

void transport::UpdateWatches(TTransportObj* t)
{
    if (!t->watch) return;
    const bool connecting = t->status == kStatusConnecting && !t->tcpUp && t->lookup == 0;
    const bool sending = t->tcpUp && !t->peerClosed && !t->sendBroken && t->queueHead;
    platform::SetWriteWatch(t->watch, connecting || sending);
    // An unconnected socket reads as "hung up" forever, so reads are watched only once TCP is up.
    platform::SetReadWatch(t->watch,
                           t->tcpUp && !t->peerClosed && ReadAheadSize(t) < UTransport::kReadAheadLimit);
}

void transport::AbortLookups(TTransportObj* t)
{
    if (t->lookup) platform::AbortHostLookup(t->lookup);
    t->lookup = 0;
    AbortDestinationLookup(t);
}

void transport::SetFailed(TTransportObj* t, int32_t status, EStatusKind kind)
{
    t->status = status;
    t->statusKind = kind;
    // A failed connection is finished: nothing the socket reports afterwards is announced.
    t->tcpUp = false;
    t->connected = false;
    AbortLookups(t);
    UpdateWatches(t);
    Post(t, kMsgConnectFailed);
}

void transport::SetConnected(TTransportObj* t)
{
    t->status = 0;
    t->connected = true;
    UpdateWatches(t);
    Post(t, kMsgConnectEstablished);
}

SAddress transport::ReadAddress(const void* record, uint32_t size)
{
    SAddress a{};
    if (!record || size < 6) Fail(kErrTypeTransport, 101);
    uint16_t type, port;
    std::memcpy(&type, record, 2);
    std::memcpy(&port, static_cast<const uint8_t*>(record) + 2, 2);
    if (type == kInternetAddressType)
    {
        if (size < sizeof(SInternetAddress)) Fail(kErrTypeTransport, 101);
        const auto* r = static_cast<const SInternetAddress*>(record);
        a.port = r->port;
        std::memcpy(&a.addressBE, r->host, 4);
        return a;
    }
    if (type != kInternetNameAddressType) Fail(kErrTypeTransport, 101);
    const auto* name = static_cast<const uint8_t*>(record) + 4;
    const uint32_t length = name[0];
    if (length == 0 || size < length + 5) Fail(kErrTypeTransport, 101);
    const auto* text = reinterpret_cast<const char*>(name + 1);
    const auto* colon = static_cast<const char*>(std::memchr(text, ':', length));
    uint32_t hostLength = colon ? uint32_t(colon - text) : length;
    if (port == 0)
    {
        if (!colon) Fail(kErrTypeTransport, 101);
        uint32_t value = 0;
        for (const char* c = colon + 1; c < text + length && *c >= '0' && *c <= '9'; ++c)
        {
            value = value * 10 + uint32_t(*c - '0');
            // A number no port can have is as unusable as no number.
            if (value > 0xFFFF) Fail(kErrTypeTransport, 101);
        }
        port = uint16_t(value);
    }
    if (port == 0 || hostLength == 0) Fail(kErrTypeTransport, 101);
    a.port = port;
    if (platform::ParseDottedIPv4(text, hostLength, a.addressBE)) return a;
    a.needsLookup = true;
    UPString::SetBytes(a.name, text, hostLength);
    return a;
}

void transport::ConnectTo(TTransportObj* t, uint32_t addressBE, uint16_t port, bool raiseFailure)
{
    t->status = kStatusConnecting;
    const int err = platform::ConnectIPv4(t->fd, addressBE, port);
    if (err == 0 || err == EINPROGRESS)
    {
        // Even an at-once connect is finished from the write notice, so that 105 always comes later.
        UpdateWatches(t);
        return;
    }
    if (raiseFailure)
    {
        t->status = 0;
        UpdateWatches(t);
        FailOSError(err);
    }
    SetFailed(t, err, EStatusKind::OS);
}

int transport::StartLookup(TTransportObj* t, const uint8_t* pstrName)
{
    const int id = platform::StartHostLookup(reinterpret_cast<const char*>(pstrName + 1), pstrName[0],
                                             LookupAnswered, t);
    if (id == 0) _FailHostLookupError(0, __FILE__, __LINE__);
    return id;
}

void transport::CheckNotBusy(TTransportObj* t)
{
    if (t->connected)
    {
        DebugBreak("UTransport - already connected");
        Fail(kErrTypeGeneral, 3);
    }
    if (IsConnecting(t) || t->tcpUp)
    {
        DebugBreak("UTransport - already connecting");
        Fail(kErrTypeGeneral, 3);
    }
}
void UTransport::Init()
{
    if (const int err = platform::CheckTcpIp()) FailOSError(err);
}

void UTransport::SetSendBufferSize(uint32_t size)
{
    gSendBufferSize = size;
}

uint32_t UTransport::GetSendBufferSize()
{
    return gSendBufferSize;
}

TTransportObj* UTransport::New(uint16_t kind, uint32_t)
{
    if (kind != kTransportStream && kind != kTransportDatagram) Fail(kErrTypeTransport, 107);
    int fd = -1;
    int err = kind == kTransportStream ? platform::OpenStreamSocket(fd) : platform::OpenDatagramSocket(fd);
    if (err) FailOSError(err);
    err = platform::SetSendBufferSize(fd, int(std::min<uint32_t>(gSendBufferSize, 0x7FFFFFFF)));
    if (err)
    {
        platform::CloseSocket(fd);
        FailOSError(err);
    }
    TTransportObj* t = nullptr;
    try
    {
        t = static_cast<TTransportObj*>(UMemory::NewClear(sizeof(TTransportObj)));
    }
    catch (...)
    {
        platform::CloseSocket(fd);
        throw;
    }
    t->fd = fd;
    t->stream = kind == kTransportStream;
    if (t->stream) t->watch = platform::WatchSocket(fd, SocketEvent, t);
    return t;
}

void UTransport::Dispose(TTransportObj* t)
{
    if (!t) return;
    AbortLookups(t);
    platform::UnwatchSocket(t->watch);
    platform::CloseSocket(t->fd);
    FreeQueue(t);
    DisposeFirewall(t);
    UMemory::Dispose(static_cast<TPtrObj*>(t->readAhead));
    if (t->handler) UApplication::FlushMessages(t->handler, t->context, t);
    UMemory::Dispose(static_cast<TPtrObj*>(t));
}

void UTransport::SetKeepAlive(TTransportObj* t, uint32_t idleSecs, uint32_t intervalSecs, uint32_t probes)
{
    RequireObject(t);
    platform::SKeepAlive keepAlive;
    keepAlive.on = true;
    keepAlive.idleSeconds = int(std::min<uint32_t>(idleSecs, 0x7FFF));
    keepAlive.intervalSeconds = int(std::min<uint32_t>(intervalSecs, 0x7FFF));
    keepAlive.probes = int(std::min<uint32_t>(probes, 127));
    if (int err = platform::SetKeepAlive(t->fd, keepAlive)) FailOSError(err);
}

void UTransport::GetKeepAlive(TTransportObj* t, bool& outOn, uint32_t& outIdleSecs, uint32_t& outIntervalSecs,
                              uint32_t& outProbes)
{
    RequireObject(t);
    platform::SKeepAlive keepAlive;
    if (int err = platform::GetKeepAlive(t->fd, keepAlive)) FailOSError(err);
    outOn = keepAlive.on;
    outIdleSecs = uint32_t(keepAlive.idleSeconds);
    outIntervalSecs = uint32_t(keepAlive.intervalSeconds);
    outProbes = uint32_t(keepAlive.probes);
}

void UTransport::SetMessageHandler(TTransportObj* t, TMessageProc proc, void* context)
{
    RequireObject(t);
    t->handler = proc;
    t->context = context;
}

void UTransport::PostMessage(TTransportObj* t, uint32_t msg, const void* data, uint32_t size,
                             int16_t priority)
{
    RequireObject(t);
    // A data notice says "look at what is there": one in the queue serves every reason to send one.
    if (msg == kMsgDataArrived && !data && !size && !priority)
        PostDataArrived(t);
    else if (t->handler)
        UApplication::PostMessage(msg, data, size, priority, t->handler, t->context, t);
}

bool UTransport::IsConnected(TTransportObj* t)
{
    return t && t->connected;
}

void UTransport::StartConnect(TTransportObj* t, const void* address, uint32_t size, uint32_t)
{
    RequireObject(t);
    if (!t->stream) Fail(kErrTypeTransport, 107);
    CheckNotBusy(t);
    // A transport that once went through a firewall now connects directly.
    DisposeFirewall(t);
    const SAddress a = ReadAddress(address, size);
    if (a.needsLookup)
    {
        t->port = a.port;
        t->lookup = StartLookup(t, a.name);
        return;
    }
    ConnectTo(t, a.addressBE, a.port, true);
}

uint16_t UTransport::GetConnectStatus(TTransportObj* t)
{
    RequireObject(t);
    if (t->connected) return 3;
    if (IsConnecting(t)) return 1;
    switch (t->statusKind)
    {
    case EStatusKind::Lookup:
        if (t->status) _FailHostLookupError(t->status, __FILE__, __LINE__);
        break;
    case EStatusKind::Win:
        if (t->status) FailWinError(t->status);
        break;
    case EStatusKind::OS:
        if (t->status) FailOSError(t->status);
        break;
    }
    Fail(kErrTypeGeneral, 1);
}

void UTransport::Disconnect(TTransportObj* t)
{
    if (!t) return;
    AbortLookups(t);
    FreeQueue(t);
    t->notifyReady = false;
    t->connected = false;
    t->readStart = t->readEnd = 0;
    if (t->tcpUp)
    {
        // The close shows up as a notice of its own, which announces 103.
        t->disconnecting = true;
        platform::ShutdownSocket(t->fd);
    }
    else if (t->status == kStatusConnecting)
    {
        // A connect still under way is abandoned: it must never be announced.
        t->status = 0;
        t->statusKind = EStatusKind::OS;
        platform::ShutdownSocket(t->fd);
    }
    UpdateWatches(t);
}

void* UTransport::NewBuffer(uint32_t size)
{
    if (uint64_t(size) + sizeof(SSendBufferHead) > UMemory::kMaxSize) Fail(kErrTypeMemory, 101);
    auto* head = static_cast<SSendBufferHead*>(UMemory::New(uint32_t(sizeof(SSendBufferHead) + size)));
    *head = SSendBufferHead{nullptr, 0, size};
    return DataOf(head);
}

void UTransport::DisposeBuffer(void* buffer)
{
    if (buffer) UMemory::Dispose(static_cast<TPtrObj*>(HeadOf(buffer)));
}

uint32_t UTransport::GetBufferSize(const void* buffer)
{
    return buffer ? HeadOf(buffer)->size : 0;
}

void UTransport::SendBuffer(TTransportObj* t, void* buffer)
{
    if (!buffer) Fail(kErrTypeGeneral, 2);
    if (!t)
    {
        DisposeBuffer(buffer);
        Fail(kErrTypeGeneral, 2);
    }
    SSendBufferHead* head = HeadOf(buffer);
    if (t->disconnecting || t->sendBroken)
    {
        DisposeBuffer(buffer);
        return;
    }
    if (!t->queueHead)
    {
        head->sent = SendNow(t, buffer, head->size);
        if (head->sent >= head->size)
        {
            DisposeBuffer(buffer);
            return;
        }
    }
    Enqueue(t, head);
}

void UTransport::Send(TTransportObj* t, const void* data, uint32_t size)
{
    RequireObject(t);
    if (!data || size == 0 || t->disconnecting || t->sendBroken) return;
    uint32_t taken = 0;
    if (!t->queueHead)
    {
        taken = SendNow(t, data, size);
        if (taken >= size) return;
    }
    void* rest = NewBuffer(size - taken);
    std::memcpy(rest, static_cast<const uint8_t*>(data) + taken, size - taken);
    Enqueue(t, HeadOf(rest));
}

uint32_t UTransport::Receive(TTransportObj* t, void* buffer, uint32_t maxSize)
{
    if (!t || !buffer || maxSize == 0 || !t->tcpUp || t->disconnecting) return 0;
    if (IsNegotiating(t)) return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t n = std::min(maxSize, ReadAheadSize(t));
    if (n)
    {
        std::memcpy(out, t->readAhead + t->readStart, n);
        t->readStart += n;
    }
    // Straight from the socket when the read-ahead is used up: large bodies are copied only once. Small
    // reads (the headers and bodies of chat lines) refill the read-ahead instead, so that one system call
    // serves thousands of them rather than each paying its own.
    if (n < maxSize && ReadAheadSize(t) == 0 && !t->peerClosed && !t->socketEmpty)
    {
        const bool small = maxSize - n < kSmallRead;
        if (small && !t->readAhead)
            t->readAhead = static_cast<uint8_t*>(UMemory::New(UTransport::kReadAheadLimit));
        uint8_t* into = small ? t->readAhead : out + n;
        size_t got = 0;
        bool closed = false;
        // A close seen here is left for the read notice, which announces it. A reset is reported by the
        // system only once: it is kept for the question of how the connection ended.
        const uint32_t room = small ? kReadChunk : maxSize - n;
        const int err = platform::ReceiveSome(t->fd, into, room, got, closed);
        if (err == 0 && got < room) t->socketEmpty = true;
        if (err == 0 && small)
        {
            const auto taken = uint32_t(std::min<size_t>(got, maxSize - n));
            std::memcpy(out + n, into, taken);
            t->readStart = taken;
            t->readEnd = uint32_t(got);
            n += taken;
        }
        else if (err == 0)
            n += uint32_t(got);
        else if (err == EAGAIN)
            t->socketEmpty = true;
        else
            t->peerReset = true;
    }
    // Bytes left behind are announced again: a reader that stops early is told once more.
    if (ReadAheadSize(t)) PostDataArrived(t);
    UpdateWatches(t);
    return n;
}

bool UTransport::ReceiveBuffer(TTransportObj* t, void*& outBuffer, uint32_t& outSize)
{
    outBuffer = nullptr;
    outSize = 0;
    const uint32_t waiting = GetReceiveSize(t);
    if (waiting == 0) return false;
    void* buffer = NewBuffer(waiting);
    const uint32_t n = Receive(t, buffer, waiting);
    if (n == 0)
    {
        DisposeBuffer(buffer);
        return false;
    }
    HeadOf(buffer)->size = n;
    outBuffer = buffer;
    outSize = n;
    return true;
}

uint32_t UTransport::GetReceiveSize(TTransportObj* t)
{
    if (!t || !t->tcpUp || t->disconnecting) return 0;
    if (IsNegotiating(t)) return 0;
    uint64_t waiting = ReadAheadSize(t);
    if (!t->peerClosed && !t->socketEmpty)
    {
        const uint32_t inSocket = platform::BytesWaiting(t->fd);
        t->socketEmpty = inSocket == 0;
        waiting += inSocket;
    }
    return uint32_t(std::min<uint64_t>(waiting, 0xFFFFFFFF));
}

uint32_t UTransport::GetReceiveSizeAtLeast(TTransportObj* t)
{
    if (!t || !t->tcpUp || t->disconnecting || IsNegotiating(t)) return 0;
    return ReadAheadSize(t);
}

uint32_t UTransport::PeekReadAhead(TTransportObj* t, const uint8_t*& outBytes)
{
    outBytes = nullptr;
    const uint32_t size = GetReceiveSizeAtLeast(t);
    if (size) outBytes = t->readAhead + t->readStart;
    return size;
}

void UTransport::SkipReadAhead(TTransportObj* t, uint32_t size)
{
    RequireObject(t);
    if (size > ReadAheadSize(t)) DebugBreak("UTransport::SkipReadAhead - more than was read ahead");
    t->readStart += std::min(size, ReadAheadSize(t));
    // A full read-ahead stopped reading the socket; room made here starts it again.
    UpdateWatches(t);
}

void UTransport::AnnounceReadAhead(TTransportObj* t)
{
    if (t && ReadAheadSize(t) && !t->disconnecting) PostDataArrived(t);
}

UTransport::EReceiveState UTransport::GetReceiveState(TTransportObj* t)
{
    RequireObject(t);
    // Bytes the owner's disconnect threw away are not waiting for anybody.
    if (t->disconnecting) return kReceiveDrained;
    if (t->connected || IsConnecting(t)) return kReceiveOpen;
    // The close is only seen once the socket has handed over every byte before it, so what is left to
    // read is all in the read-ahead.
    if (t->peerClosed && ReadAheadSize(t)) return kReceiveClosedWithBytes;
    return kReceiveDrained;
}

bool UTransport::WasClosedInOrder(TTransportObj* t)
{
    RequireObject(t);
    return t->peerClosed && !t->peerReset && !t->sendBroken && !t->unackedAtClose && !t->queueHead;
}

uint32_t UTransport::GetUnsentSize(TTransportObj* t)
{
    if (!t) return 0;
    uint32_t total = 0;
    for (SSendBufferHead* b = t->queueHead; b; b = b->next)
        total += b->size - b->sent;
    return total;
}

void UTransport::NotifyReadyToSend(TTransportObj* t)
{
    RequireObject(t);
    if (t->queueCount <= 1)
    {
        t->notifyReady = false;
        Post(t, kMsgReadyToSend);
    }
    else
        t->notifyReady = true;
}

bool UTransport::IsReadyToSend(TTransportObj* t)
{
    return t && t->queueCount <= 1;
}
