// The second connection of a transfer. A file's bytes never travel on the session's connection: the
// server hands out a reference number there, and the task then opens this connection to the server's
// port + 1 (through the SOCKS firewall when one is set) and, once it is up, introduces itself with a
// handshake that quotes the number. From then on the task reads or writes the transport itself.
// The transport's notices go to the application like those of the session's connection, so every
// arrival and every close runs the task pass. A connect that neither succeeds nor fails (a name that is
// never answered, a firewall that never grants the connection) fails after the time the session's own
// handshake is given, as "did not answer in time".
#pragma once

#include <cstdint>
#include <vector>

#include "framework/net/UTransport.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UTimer.h"

struct SInternetNameAddress;

class CMyTransferConnection
{
public:
    static constexpr uint32_t kHandshakeSize = 16;
    static constexpr uint32_t kFolderHandshakeSize = 18;
    // {"QVXF", reference number, data size, 0}, big-endian: downloads and previews announce 0 bytes,
    // uploads the flattened size they will send.
    static void MakeHandshake(uint32_t refNum, uint32_t dataSize, uint8_t outBytes[kHandshakeSize]);
    // The folder download's variant: {"QVXF", reference number, 0, transfer type 1, 0, first action 3}.
    static void MakeFolderHandshake(uint32_t refNum, uint8_t outBytes[kFolderHandshakeSize]);

    // Starts connecting to `server` at the port basePort + 1, through `firewall` when its name is not
    // empty; the transport's notices go to `proc`. The handshake bytes are copied. Raises the transport's
    // error when the connect cannot start (a base port whose next port does not exist is a bad address,
    // 8/101).
    static constexpr uint32_t kConnectTimeoutMs = 20000;
    CMyTransferConnection(const SInternetNameAddress& server, uint32_t basePort,
                          const SInternetNameAddress& firewall, TMessageProc proc, void* context,
                          const void* handshake, uint32_t handshakeSize,
                          uint32_t connectTimeoutMs = kConnectTimeoutMs);
    // Closes the connection unless the transport was handed over.
    ~CMyTransferConnection();
    CMyTransferConnection(const CMyTransferConnection&) = delete;
    CMyTransferConnection& operator=(const CMyTransferConnection&) = delete;

    // Sends the handshake as soon as the connection is up (once) and from then on returns true; false
    // while it is still connecting. Raises the transport's error (class 8) when the connect failed, and
    // 8/103 when it took too long.
    bool SendHandshakeWhenConnected();
    TTransportObj* Transport() const { return mTpt; }

private:
    static void ConnectTimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);

    COwner<TTransportObj, UTransport::Dispose> mTpt;
    COwner<TTimerObj, UTimer::Dispose> mConnectTimer;
    std::vector<uint8_t> mHandshake;
    bool mHandshakeSent = false;
    bool mTimedOut = false;
};
