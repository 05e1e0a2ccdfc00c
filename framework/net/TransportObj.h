// The inside of a transport and the helpers the UTransport sources share. Not for other layers.
#pragma once

#include <cstdint>

#include "framework/runtime/MessageProc.h"

namespace platform
{
struct SocketWatchObj;
}

namespace transport
{
struct SFirewall;
struct SSendBufferHead;

constexpr int32_t kStatusConnecting = -1;

// What the stored status of a failed connect counts in.
enum class EStatusKind : uint8_t
{
    OS,     // errno
    Lookup, // getaddrinfo code
    Win,    // the firewall's refusal, in the numbers the error table knows
};

// A connect operation's address record, read.
struct SAddress
{
    bool needsLookup;
    uint32_t addressBE;
    uint16_t port;
    uint8_t name[256]; // length-prefixed, when a lookup is needed
};
} // namespace transport

struct TTransportObj
{
    int fd;
    platform::SocketWatchObj* watch;
    transport::SSendBufferHead* queueHead;
    transport::SSendBufferHead* queueTail;
    uint32_t queueCount;
    TMessageProc handler;
    void* context;
    int lookup;                     // 0 = none pending
    transport::SFirewall* firewall; // set while connecting through a firewall, and after
    uint16_t port;                  // of the host being looked up
    int32_t status;
    transport::EStatusKind statusKind;
    bool connected;
    bool notifyReady;
    bool stream;
    bool tcpUp;          // the TCP connect has completed (through a firewall: to the firewall)
    bool peerClosed;     // the close has been seen and announced
    bool disconnecting;  // Disconnect was called: incoming bytes are thrown away until the close
    bool sendBroken;     // the network refused a send: nothing more goes out
    bool peerReset;      // the peer's close came as an error (a reset), not as its orderly end
    bool unackedAtClose; // when the peer's close came, some of what was sent had not reached it
    // The socket was found empty after its last read notice. Until the next notice, which comes as soon
    // as a byte does, asking it again how much it holds is a system call that can only answer nothing.
    bool socketEmpty;
    uint8_t* readAhead; // bytes taken from the socket that the reader has not read yet
    uint32_t readStart;
    uint32_t readEnd;
};

namespace transport
{
void Post(TTransportObj* t, uint32_t msg);
void UpdateWatches(TTransportObj* t);
// A failed connect is finished: the reason is kept for GetConnectStatus and 106 is announced.
void SetFailed(TTransportObj* t, int32_t status, EStatusKind kind);
// The connection is up for the owner: 105 is announced.
void SetConnected(TTransportObj* t);
// An unusable record raises 8/101.
SAddress ReadAddress(const void* record, uint32_t size);
// Starts the TCP connect. With raiseFailure the caller's operation fails; otherwise (from a notice) the
// failure is stored and announced.
void ConnectTo(TTransportObj* t, uint32_t addressBE, uint16_t port, bool raiseFailure);
// Returns the lookup's id; the answer comes later, through the firewall's procedure when there is one.
int StartLookup(TTransportObj* t, const uint8_t* pstrName);
void AbortLookups(TTransportObj* t);
// A connect while connected or connecting is a bug of the caller: 1/3.
void CheckNotBusy(TTransportObj* t);

// The SOCKS 4 negotiation (UTransportSocks.cpp). A transport with a firewall record connects to the
// firewall, asks it to connect on to the destination, and is connected for its owner once granted.
void FirewallLookupAnswered(TTransportObj* t, int lookupID, int error, uint32_t addressBE);
// TCP to the firewall is up: the request goes out.
void StartNegotiation(TTransportObj* t);
// The request is out and the grant has not come: what the socket holds is the firewall's reply.
bool IsNegotiating(const TTransportObj* t);
void ReadNegotiationReply(TTransportObj* t);
// The pending lookup of the destination's name, 0 when none.
int DestinationLookup(const TTransportObj* t);
void AbortDestinationLookup(TTransportObj* t);
void DisposeFirewall(TTransportObj* t);
} // namespace transport
