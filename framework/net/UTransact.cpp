#include "framework/net/UTransact.h"

#include <algorithm>
#include <cstring>

#include "framework/net/CTransactStream.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/BigEndian.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UTimer.h"

namespace
{
constexpr uint32_t kSignatureTRTP = 0x54525450; // "TRTP"
constexpr uint32_t kProtocolQUEN = 0x5155454E;  // "QUEN"
constexpr uint32_t kHandshakeSize = 12;
constexpr uint32_t kHandshakeReplySize = 8;
// A handshake or a reply that never came: "timed out", not "the server broke the protocol".
constexpr int16_t kErrTimedOut = 103;
} // namespace

struct TTransactObj
{
    TTransportObj* transport;
    TMessageProc handler;
    void* context;
    uint32_t lastID;
    CTransactStream stream;
    TTimerObj* handshakeTimer; // the connect's wait, then the handshake's
    uint32_t sessionTimeout;
    uint32_t protocol;
    uint16_t subVersion;
    bool ready;
    bool handshakeTimedOut;
    bool handshakeSent;
    bool arrivalAnnounced; // a data notice for bytes an owner's question took is on its way
};

struct TTransactSessionObj
{
    TTransactObj* connection;
    TTimerObj* replyTimer;
    uint32_t timeout;
    STransactRecord* sendRecord;
    STransactRecord* receiveRecord;
    bool timedOut;
};

namespace
{
class CTransportSource final : public CTransactStream::CByteSource
{
public:
    explicit CTransportSource(TTransportObj* t) : mTransport(t) {}
    // Asking the socket how much it holds is a system call, and the stream asks before every header
    // and every body: with many small transactions that was most of their cost. Within one pass only
    // this source takes bytes, so what was counted stays there until read; what was read ahead counts
    // without asking, and the socket is asked again once less than a header's worth is left.
    uint32_t Waiting() override
    {
        if (mKnown < CTransactStream::kHeaderSize) mKnown = UTransport::GetReceiveSizeAtLeast(mTransport);
        if (mKnown < CTransactStream::kHeaderSize) mKnown = UTransport::GetReceiveSize(mTransport);
        return mKnown;
    }
    uint32_t Read(void* buffer, uint32_t maxSize) override
    {
        const uint32_t n = UTransport::Receive(mTransport, buffer, maxSize);
        mTaken += n;
        mKnown -= std::min(n, mKnown);
        return n;
    }
    uint32_t Taken() const { return mTaken; }

private:
    TTransportObj* mTransport;
    uint32_t mTaken = 0;
    uint32_t mKnown = 0;
};

// Takes what the transport holds into the stream; true when any byte came.
bool Absorb(TTransactObj* c)
{
    if (!c->ready || c->stream.IsFailed()) return false;
    CTransportSource source(c->transport);
    try
    {
        c->stream.Absorb(source);
    }
    catch (...)
    {
        UTransport::Disconnect(c->transport);
        throw;
    }
    return source.Taken() != 0;
}

// The owner's questions (is a reply whole? is a request waiting?) absorb as well, and bytes they take
// straight from the socket raise no read notice any more. They are announced as the transport would have
// announced them: otherwise a reply that came in while the owner was busy with something else (asking
// for the next server request, say) is whole, and its owner never hears of it.
void AbsorbForQuestion(TTransactObj* c)
{
    if (!Absorb(c)) return;
    c->arrivalAnnounced = true;
    UTransport::PostMessage(c->transport, kMsgDataArrived);
}

// Transport notices reach the owner after complete transactions have been absorbed.
void TransportProc(void* context, void*, uint32_t msg, const void* data, uint32_t size)
{
    auto* c = static_cast<TTransactObj*>(context);
    if (msg == kMsgDataArrived)
    {
        c->arrivalAnnounced = false;
        Absorb(c);
    }
    if (c->handler) c->handler(c->context, c, msg, data, size);
}

void HandshakeTimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg != kMsgTimer) return;
    auto* c = static_cast<TTransactObj*>(context);
    c->handshakeTimedOut = true;
    UTransport::PostMessage(c->transport, kMsgTimeout);
}

// The wait runs from the start of the connect until the connection is up, and again from the handshake
// until its reply.
void StartHandshakeTimer(TTransactObj* c)
{
    UTimer::Dispose(c->handshakeTimer);
    c->handshakeTimer = nullptr;
    c->handshakeTimedOut = false;
    c->handshakeTimer = UTimer::StartNew(HandshakeTimerProc, c, UTransact::kHandshakeTimeoutMs, false);
}

bool IsReceiveComplete(const STransactRecord* r)
{
    return r && r->arrived && r->transferred >= r->totalSize;
}

void ReplyTimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg != kMsgTimer) return;
    auto* s = static_cast<TTransactSessionObj*>(context);
    // A reply that is already whole is not timed out just because its owner has not looked yet.
    if (IsReceiveComplete(s->receiveRecord)) return;
    s->timedOut = true;
    UTransport::PostMessage(s->connection->transport, kMsgTimeout);
}

uint32_t NextID(TTransactObj* c)
{
    if (++c->lastID == 0) c->lastID = 1;
    return c->lastID;
}

// Sends one part: header and data in one transport buffer. Returns the data size.
uint32_t SendPart(TTransactObj* c, uint32_t id, bool isReply, uint16_t type, uint32_t error,
                  TFieldDataObj* fields)
{
    THdlObj* h = UFieldData::GetDataHandle(fields);
    const uint32_t offset = UFieldData::GetDataOffset(fields);
    const uint32_t blockSize = UMemory::GetSize(h);
    const uint32_t size = blockSize > offset ? blockSize - offset : 0;
    const STransactHeader header{0, uint8_t(isReply ? 1 : 0), type, id, error, size, size};
    void* buffer = UTransport::NewBuffer(CTransactStream::kHeaderSize + size);
    CTransactStream::EncodeHeader(header, static_cast<uint8_t*>(buffer));
    if (size)
    {
        StHandleLocker bytes(h);
        std::memcpy(static_cast<uint8_t*>(buffer) + CTransactStream::kHeaderSize, bytes.Data() + offset,
                    size);
    }
    UTransport::SendBuffer(c->transport, buffer);
    return size;
}
} // namespace

TTransactObj* UTransact::New(uint16_t transportKind, uint32_t reserved)
{
    TTransportObj* t = UTransport::New(transportKind, reserved);
    TTransactObj* c = nullptr;
    try
    {
        c = new TTransactObj{};
    }
    catch (...)
    {
        UTransport::Dispose(t);
        Fail(kErrTypeMemory, 101);
    }
    c->transport = t;
    c->sessionTimeout = kDefaultSessionTimeoutMs;
    c->protocol = kProtocolQUEN;
    c->subVersion = 2;
    UTransport::SetMessageHandler(t, TransportProc, c);
    return c;
}

void UTransact::Dispose(TTransactObj* c)
{
    if (!c) return;
    if (c->handler) UApplication::FlushMessages(c->handler, c->context, c);
    UTimer::Dispose(c->handshakeTimer);
    UTransport::Dispose(c->transport);
    delete c;
}

TTransportObj* UTransact::GetTransport(TTransactObj* c)
{
    RequireObject(c);
    return c->transport;
}

void UTransact::SetMessageHandler(TTransactObj* c, TMessageProc proc, void* context)
{
    RequireObject(c);
    c->handler = proc;
    c->context = context;
}

void UTransact::SetVersion(TTransactObj* c, uint32_t protocol, uint16_t subVersion)
{
    RequireObject(c);
    c->protocol = protocol;
    c->subVersion = subVersion;
}

void UTransact::StartConnect(TTransactObj* c, const void* address, uint32_t size, uint32_t reserved)
{
    RequireObject(c);
    UTransport::StartConnect(c->transport, address, size, reserved);
    c->handshakeSent = false;
    StartHandshakeTimer(c);
}

void UTransact::StartConnectThruFirewall(TTransactObj* c, const void* address, uint32_t size,
                                         const void* firewall, uint32_t firewallSize)
{
    RequireObject(c);
    UTransport::StartConnectThruFirewall(c->transport, address, size, firewall, firewallSize);
    c->handshakeSent = false;
    StartHandshakeTimer(c);
}

bool UTransact::IsConnected(TTransactObj* c)
{
    RequireObject(c);
    return UTransport::IsConnected(c->transport);
}

bool UTransact::IsReceiveFailed(TTransactObj* c)
{
    RequireObject(c);
    return c->stream.IsFailed();
}

uint16_t UTransact::GetConnectStatus(TTransactObj* c)
{
    RequireObject(c);
    if (c->ready) return 3;
    if (c->handshakeSent)
    {
        if (!UTransport::IsConnected(c->transport)) Fail(kErrTypeTransport, 102);
        if (UTransport::GetReceiveSize(c->transport) >= kHandshakeReplySize)
        {
            uint8_t reply[kHandshakeReplySize];
            const uint32_t n = UTransport::Receive(c->transport, reply, sizeof reply);
            UTimer::Dispose(c->handshakeTimer);
            c->handshakeTimer = nullptr;
            if (n != sizeof reply || std::memcmp(reply, "TRTP", 4) != 0) Fail(kErrTypeGeneral, 8);
            if (reply[4] | reply[5] | reply[6] | reply[7]) Fail(kErrTypeGeneral, 7);
            c->ready = true;
            // Transactions may have come right behind the reply.
            if (UTransport::GetReceiveSize(c->transport))
                UTransport::PostMessage(c->transport, kMsgDataArrived);
            return 3;
        }
        if (c->handshakeTimedOut)
        {
            UTimer::Dispose(c->handshakeTimer);
            c->handshakeTimer = nullptr;
            // The server sent nothing: it did not answer in time (a transport error all the same).
            Fail(kErrTypeTransport, kErrTimedOut);
        }
        return 2;
    }
    if (UTransport::GetConnectStatus(c->transport) != 3)
    {
        // A firewall that takes the connection and never answers, or a host that never completes it,
        // gets as long as a server that never answers the handshake.
        if (c->handshakeTimedOut)
        {
            UTimer::Dispose(c->handshakeTimer);
            c->handshakeTimer = nullptr;
            Fail(kErrTypeTransport, kErrTimedOut);
        }
        return 1;
    }
    uint8_t handshake[kHandshakeSize];
    PutBE32(handshake, kSignatureTRTP);
    PutBE32(handshake + 4, c->protocol);
    handshake[8] = 0;
    handshake[9] = 1;
    handshake[10] = uint8_t(c->subVersion >> 8);
    handshake[11] = uint8_t(c->subVersion);
    UTransport::Send(c->transport, handshake, sizeof handshake);
    StartHandshakeTimer(c);
    c->handshakeSent = true;
    return 2;
}

void UTransact::Disconnect(TTransactObj* c)
{
    if (!c) return;
    UTransport::Disconnect(c->transport);
    c->ready = false;
}

TTransactSessionObj* UTransact::NewSendSession(TTransactObj* c, uint16_t type)
{
    RequireObject(c);
    auto* s = static_cast<TTransactSessionObj*>(UMemory::NewClear(sizeof(TTransactSessionObj)));
    try
    {
        s->replyTimer = UTimer::New(ReplyTimerProc, s);
        const uint32_t id = NextID(c);
        s->sendRecord = c->stream.AddRecord(kTransactOutgoingRequest, id, type);
        s->receiveRecord = c->stream.AddRecord(kTransactAwaitedReply, id, 0);
    }
    catch (...)
    {
        c->stream.DisposeRecord(s->sendRecord);
        UTimer::Dispose(s->replyTimer);
        UMemory::Dispose(static_cast<TPtrObj*>(s));
        throw;
    }
    s->connection = c;
    s->timeout = c->sessionTimeout;
    return s;
}

void UTransact::SendSessionData(TTransactSessionObj* s, TFieldDataObj* fields)
{
    RequireObject(s);
    RequireObject(fields);
    STransactRecord* r = s->sendRecord;
    const bool isReply = r->kind == kTransactOutgoingReply;
    const uint32_t size = SendPart(s->connection, r->id, isReply, isReply ? 0 : r->type, 0, fields);
    if (r->totalSize == 0) r->totalSize = size;
    r->transferred += size;
    if (!isReply && s->replyTimer && r->transferred >= r->totalSize)
        UTimer::Start(s->replyTimer, s->timeout, false);
}

void UTransact::SetSessionTimeout(TTransactSessionObj* s, uint32_t ms)
{
    RequireObject(s);
    s->timeout = ms;
    if (UTimer::IsRunning(s->replyTimer)) UTimer::Start(s->replyTimer, ms, false);
}

bool UTransact::IsSessionReceiveComplete(TTransactSessionObj* s)
{
    RequireObject(s);
    AbsorbForQuestion(s->connection);
    if (s->timedOut) Fail(kErrTypeTransport, kErrTimedOut);
    return IsReceiveComplete(s->receiveRecord);
}

bool UTransact::IsDataNoticeQueued(TTransactObj* c)
{
    RequireObject(c);
    return c->arrivalAnnounced;
}

uint16_t UTransact::GetSessionReceiveType(TTransactSessionObj* s)
{
    RequireObject(s);
    return s->receiveRecord ? s->receiveRecord->type : 0;
}

uint32_t UTransact::GetSessionReceiveError(TTransactSessionObj* s)
{
    RequireObject(s);
    return s->receiveRecord ? s->receiveRecord->error : 0;
}

uint32_t UTransact::GetSessionReceiveSize(TTransactSessionObj* s)
{
    RequireObject(s);
    return s->receiveRecord ? s->receiveRecord->totalSize : 0;
}

uint32_t UTransact::GetSessionReceiveTransferedSize(TTransactSessionObj* s)
{
    RequireObject(s);
    return s->receiveRecord ? s->receiveRecord->transferred : 0;
}

void UTransact::ReceiveSessionData(TTransactSessionObj* s, TFieldDataObj* fields)
{
    RequireObject(s);
    RequireObject(fields);
    STransactRecord* r = s->receiveRecord;
    // A whole body has nothing more to take; asking the socket for each of a thousand small requests
    // that arrived together cost more than reading them.
    if (!IsReceiveComplete(r)) AbsorbForQuestion(s->connection);
    if (THdlObj* data = s->connection->stream.TakeData(r))
        UFieldData::SetDataHandle(fields, data, 0);
    else
        UFieldData::DeleteAllFields(fields);
}

TTransactSessionObj* UTransact::NewReceiveSession(TTransactObj* c, uint16_t type, uint16_t completeOnly)
{
    RequireObject(c);
    auto first = [&]() -> STransactRecord*
    {
        for (STransactRecord* r = c->stream.FirstRecord(); r; r = r->next)
        {
            if (r->kind != kTransactIncomingRequest || r->taken) continue;
            if (type && r->type != type) continue;
            if (completeOnly == 1 && r->transferred < r->totalSize) continue;
            return r;
        }
        return nullptr;
    };
    // A whole request already taken in is the one the socket's bytes would not change: the socket is
    // asked only when none is.
    STransactRecord* found = c->ready ? first() : nullptr;
    if (!found || !IsReceiveComplete(found))
    {
        AbsorbForQuestion(c);
        if (!c->ready) return nullptr;
        found = first();
    }
    if (!found) return nullptr;
    auto* s = static_cast<TTransactSessionObj*>(UMemory::NewClear(sizeof(TTransactSessionObj)));
    try
    {
        s->sendRecord = c->stream.AddRecord(kTransactOutgoingReply, found->id, 0);
    }
    catch (...)
    {
        UMemory::Dispose(static_cast<TPtrObj*>(s));
        throw;
    }
    found->taken = true;
    s->connection = c;
    s->timeout = c->sessionTimeout;
    s->receiveRecord = found;
    return s;
}

void UTransact::DisposeSession(TTransactSessionObj* s)
{
    if (!s) return;
    s->connection->stream.DisposeRecord(s->sendRecord);
    s->connection->stream.DisposeRecord(s->receiveRecord);
    UTimer::Dispose(s->replyTimer);
    UMemory::Dispose(static_cast<TPtrObj*>(s));
}

void UTransact::SendTransaction(TTransactObj* c, uint16_t type, TFieldDataObj* fields)
{
    RequireObject(c);
    RequireObject(fields);
    SendPart(c, NextID(c), false, type, 0, fields);
}

void UTransact::_SetLastID(TTransactObj* c, uint32_t id)
{
    RequireObject(c);
    c->lastID = id;
}
