// One outgoing TCP connection driven by notices: connect (directly or through a SOCKS 4 firewall),
// incoming data, room to send and closing arrive as messages on the application queue. Sending never
// blocks: what the network does not take at once waits in the transport's queue.
#pragma once

#include <cstdint>

#include "framework/net/SInternetNameAddress.h"
#include "framework/runtime/MessageProc.h"

struct TTransportObj;

// Connection messages, shared with the transaction layer.
enum : uint32_t
{
    kMsgDataArrived = 100,
    kMsgTimeout = 101,
    kMsgReadyToSend = 102,
    kMsgDisconnected = 103,
    kMsgConnectRequest = 104,
    kMsgConnectEstablished = 105,
    kMsgConnectFailed = 106,
};

enum : uint16_t
{
    kInternetAddressType = 2,
};

enum : uint16_t
{
    kTransportStream = 1,
    kTransportDatagram = 2,
};

struct SInternetAddress
{
    uint16_t type; // 2
    uint16_t port;
    uint8_t host[4]; // network order
    uint8_t reserved[4];
};
static_assert(sizeof(SInternetAddress) == 12);

class UTransport
{
public:
    // Buffers the transport reads ahead of its reader; beyond this the socket is left to fill.
    static constexpr uint32_t kReadAheadLimit = 1024 * 1024;

    static void Init();
    static void Deinit() {}
    static bool HasTCP() { return true; }
    // The send buffer size new sockets ask for (65536 unless the application changes it).
    static void SetSendBufferSize(uint32_t size);
    static uint32_t GetSendBufferSize();

    static TTransportObj* New(uint16_t kind, uint32_t reserved = 0);
    static void Dispose(TTransportObj* tpt);
    static void SetMessageHandler(TTransportObj* tpt, TMessageProc proc, void* context);
    static void PostMessage(TTransportObj* tpt, uint32_t msg, const void* data = nullptr, uint32_t size = 0,
                            int16_t priority = 0);

    static bool IsConnected(TTransportObj* tpt);
    // TCP keep-alive on the connection's socket (a connection that is quiet for `idleSecs` is probed
    // every `intervalSecs`, and dropped after `probes` probes go unanswered), so that a peer gone
    // without a word is noticed; GetKeepAlive reads back what the system holds.
    static void SetKeepAlive(TTransportObj* tpt, uint32_t idleSecs, uint32_t intervalSecs, uint32_t probes);
    static void GetKeepAlive(TTransportObj* tpt, bool& outOn, uint32_t& outIdleSecs,
                             uint32_t& outIntervalSecs, uint32_t& outProbes);
    static void StartConnect(TTransportObj* tpt, const void* address, uint32_t size, uint32_t reserved = 0);
    static void StartConnectThruFirewall(TTransportObj* tpt, const void* address, uint32_t size,
                                         const void* firewallAddress, uint32_t firewallSize,
                                         uint32_t timeoutSecs = 0, uint32_t reserved = 0);
    // 3 connected, 1 under way; raises the reason of a failed connect.
    static uint16_t GetConnectStatus(TTransportObj* tpt);
    static void Disconnect(TTransportObj* tpt);

    // Send buffers carry a hidden head; these addresses point at their data.
    static void* NewBuffer(uint32_t size);
    static void DisposeBuffer(void* buffer);
    static uint32_t GetBufferSize(const void* buffer);
    static void SendBuffer(TTransportObj* tpt, void* buffer);
    static void Send(TTransportObj* tpt, const void* data, uint32_t size);
    static bool ReceiveBuffer(TTransportObj* tpt, void*& outBuffer, uint32_t& outSize);
    static uint32_t Receive(TTransportObj* tpt, void* buffer, uint32_t maxSize);
    static uint32_t GetReceiveSize(TTransportObj* tpt);
    // At least this many bytes can be received now, without asking the system: what was read ahead. A
    // reader of many small records asks this first and GetReceiveSize only when it runs short.
    static uint32_t GetReceiveSizeAtLeast(TTransportObj* tpt);
    // What was read ahead, where it lies, for a reader that hands it on at once (a download writing it to
    // its file) and so need not copy it first; SkipReadAhead then drops the bytes it used. Unlike Receive,
    // bytes it leaves are not announced again: a reader that goes on reading needs no notice for them, and
    // one that stops before it has taken all it may take calls AnnounceReadAhead.
    static uint32_t PeekReadAhead(TTransportObj* tpt, const uint8_t*& outBytes);
    static void SkipReadAhead(TTransportObj* tpt, uint32_t size);
    static void AnnounceReadAhead(TTransportObj* tpt);

    // What a reader can still expect. A peer may send its last bytes and close at once (a server that
    // sends a whole file does): kMsgDisconnected then arrives, and IsConnected turns false, while bytes
    // it sent still wait to be read. They stay readable, and kMsgDataArrived keeps coming while any are
    // left, until the owner disconnects or disposes of the transport. So a reader that meets the close
    // asks here: kReceiveClosedWithBytes means "read on", only kReceiveDrained means "nothing more".
    enum EReceiveState : uint8_t
    {
        kReceiveOpen,            // connecting or connected: more bytes may come
        kReceiveClosedWithBytes, // the peer closed; GetReceiveSize bytes are still to be read
        kReceiveDrained,         // closed (by either side), failed or never connected, and nothing is left
    };
    static EReceiveState GetReceiveState(TTransportObj* tpt);
    // True once the peer has ended the connection in order after taking everything handed to the
    // transport. A peer that closes without reading all that came resets the connection instead, and
    // bytes it never acknowledged, or that could not be sent, make the close an early one too.
    static bool WasClosedInOrder(TTransportObj* tpt);
    static uint32_t GetUnsentSize(TTransportObj* tpt);
    static void NotifyReadyToSend(TTransportObj* tpt);
    static bool IsReadyToSend(TTransportObj* tpt);

    // Address texts and URLs.
    static bool LaunchURL(const void* text, uint32_t size, uint32_t* ioStart, uint32_t* outEnd);
    static uint32_t CleanUpAddressText(uint16_t type, const void* text, uint32_t size, void* outText,
                                       uint32_t maxSize);
    static uint16_t GetPortFromAddressText(uint16_t type, const void* text, uint32_t size);
    static bool _GetURLAddress(const void* text, uint32_t size, uint32_t& outStart, uint32_t& outSize);
    static bool _IsValidURLChar(uint16_t c);
};
