// Connecting through a SOCKS 4 firewall: both names are looked up, TCP goes to the firewall, a CONNECT
// request names the destination, and the firewall's 8-byte reply grants or refuses. Until it grants,
// the transport is "connecting" for its owner; afterwards the bytes are the destination's.
#include <cerrno>
#include <cstring>

#include "framework/net/TransportObj.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "platform/HostLookup.h"
#include "platform/Socket.h"

namespace transport
{
struct SFirewall
{
    uint32_t firewallAddress;    // network order
    uint32_t destinationAddress; // network order
    int destinationLookup;       // 0 = none pending
    uint32_t connectTimeoutMs;   // kept; the connect is not timed here
    uint16_t destinationPort;
    uint16_t state;
    uint8_t reply[8];
    uint8_t replyRead;
};
} // namespace transport

using namespace transport;

namespace
{
// The refusal code the negotiation reports; it maps to "connection refused" (8/104).
constexpr int32_t kConnRefusedWinError = 10061;

// SFirewall::state: the lookups still pending, then where the negotiation stands.
enum : uint16_t
{
    kFirewallLookup = 1,
    kDestinationLookup = 2,
    kRequestSent = 16,
    kGranted = 32,
};
} // namespace

void transport::FirewallLookupAnswered(TTransportObj* t, int lookupID, int error, uint32_t addressBE)
{
    SFirewall* fw = t->firewall;
    const bool isDestination = lookupID == fw->destinationLookup;
    if (isDestination)
        fw->destinationLookup = 0;
    else if (lookupID == t->lookup)
        t->lookup = 0;
    else
        return;
    if (error)
    {
        SetFailed(t, error, EStatusKind::Lookup);
        return;
    }
    if (t->status == kStatusConnecting || t->tcpUp) return;
    if (isDestination)
    {
        fw->destinationAddress = addressBE;
        fw->state &= uint16_t(~kDestinationLookup);
    }
    else
    {
        fw->firewallAddress = addressBE;
        fw->state &= uint16_t(~kFirewallLookup);
    }
    if (fw->state == 0) ConnectTo(t, fw->firewallAddress, t->port, false);
}

void transport::StartNegotiation(TTransportObj* t)
{
    SFirewall* fw = t->firewall;
    fw->state = kRequestSent;
    fw->replyRead = 0;
    uint8_t request[10];
    request[0] = 4;
    request[1] = 1;
    request[2] = uint8_t(fw->destinationPort >> 8);
    request[3] = uint8_t(fw->destinationPort);
    std::memcpy(request + 4, &fw->destinationAddress, 4);
    request[8] = 'x';
    request[9] = 0;
    size_t done = 0;
    // Ten bytes on a fresh connection always fit the socket's buffer: anything less is a broken one.
    while (done < sizeof request)
    {
        size_t sent = 0;
        const int err = platform::SendSome(t->fd, request + done, sizeof request - done, sent);
        if (err || sent == 0)
        {
            SetFailed(t, kConnRefusedWinError, EStatusKind::Win);
            return;
        }
        done += sent;
    }
    UpdateWatches(t);
}

bool transport::IsNegotiating(const TTransportObj* t)
{
    return t->firewall && t->firewall->state == kRequestSent;
}

// Gathers the 8-byte reply, which may come in pieces. Bytes behind it stay in the socket for the reader.
void transport::ReadNegotiationReply(TTransportObj* t)
{
    SFirewall* fw = t->firewall;
    size_t got = 0;
    bool closed = false;
    const int err = platform::ReceiveSome(t->fd, fw->reply + fw->replyRead, sizeof fw->reply - fw->replyRead,
                                          got, closed);
    if (err == EAGAIN) return;
    if (err || closed)
    {
        // A firewall that hangs up instead of answering refused.
        t->peerClosed = true;
        SetFailed(t, kConnRefusedWinError, EStatusKind::Win);
        return;
    }
    fw->replyRead = uint8_t(fw->replyRead + got);
    if (fw->replyRead < sizeof fw->reply) return;
    if ((fw->reply[0] != 0 && fw->reply[0] != 4) || fw->reply[1] != 90)
    {
        SetFailed(t, kConnRefusedWinError, EStatusKind::Win);
        return;
    }
    fw->state = kGranted;
    SetConnected(t);
}

int transport::DestinationLookup(const TTransportObj* t)
{
    return t->firewall ? t->firewall->destinationLookup : 0;
}

void transport::AbortDestinationLookup(TTransportObj* t)
{
    if (!t->firewall || !t->firewall->destinationLookup) return;
    platform::AbortHostLookup(t->firewall->destinationLookup);
    t->firewall->destinationLookup = 0;
}

void transport::DisposeFirewall(TTransportObj* t)
{
    UMemory::Dispose(static_cast<TPtrObj*>(t->firewall));
    t->firewall = nullptr;
}

void UTransport::StartConnectThruFirewall(TTransportObj* t, const void* address, uint32_t size,
                                          const void* firewallAddress, uint32_t firewallSize,
                                          uint32_t timeoutSecs, uint32_t)
{
    RequireObject(t);
    if (!t->stream) Fail(kErrTypeTransport, 107);
    CheckNotBusy(t);
    // Both records are read before anything starts, so a bad one leaves nothing running.
    const SAddress destination = ReadAddress(address, size);
    const SAddress firewall = ReadAddress(firewallAddress, firewallSize);
    if (!t->firewall) t->firewall = static_cast<SFirewall*>(UMemory::New(sizeof(SFirewall)));
    SFirewall* fw = t->firewall;
    *fw = SFirewall{};
    fw->connectTimeoutMs = timeoutSecs ? timeoutSecs * 1000 : 30000;
    fw->destinationPort = destination.port;
    if (destination.needsLookup)
    {
        fw->destinationLookup = StartLookup(t, destination.name);
        fw->state |= kDestinationLookup;
    }
    else
        fw->destinationAddress = destination.addressBE;
    t->port = firewall.port;
    if (firewall.needsLookup)
    {
        try
        {
            t->lookup = StartLookup(t, firewall.name);
        }
        catch (...)
        {
            AbortLookups(t);
            throw;
        }
        fw->state |= kFirewallLookup;
        return;
    }
    fw->firewallAddress = firewall.addressBE;
    if (fw->state & kDestinationLookup) return;
    fw->state = 0;
    ConnectTo(t, fw->firewallAddress, t->port, true);
}
