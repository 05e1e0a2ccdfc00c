// The second connection of a transfer. A file's bytes never travel on the session's connection: the
// server hands out a reference number there, and the task then opens this connection to the server's
// port + 1 (through the SOCKS firewall when one is set) and, once it is up, introduces itself with a
// handshake that quotes the number. From then on the task reads or writes the transport itself.
// The transport's notices go to the application like those of the session's connection, so every
// arrival and every close runs the task pass.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/net/UTransport.h"
#include "framework/runtime/COwner.h"

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
    // empty. The handshake bytes are copied. Raises the transport's error when the connect cannot start
    // (a base port whose next port does not exist is a bad address, 8/101).
    CMyTransferConnection(const SInternetNameAddress& server, uint32_t basePort,
                          const SInternetNameAddress& firewall, const void* handshake,
                          uint32_t handshakeSize);
    // To the server of the application's session, with its firewall.
    CMyTransferConnection(const void* handshake, uint32_t handshakeSize);
    // A file transfer's connection to the session's server, introduced with MakeHandshake's bytes.
    static std::unique_ptr<CMyTransferConnection> ForFile(uint32_t refNum, uint32_t dataSize);
    // Closes the connection unless the transport was handed over.
    ~CMyTransferConnection();
    CMyTransferConnection(const CMyTransferConnection&) = delete;
    CMyTransferConnection& operator=(const CMyTransferConnection&) = delete;

    // Sends the handshake as soon as the connection is up (once) and from then on returns true; false
    // while it is still connecting. Raises the transport's error (class 8) when the connect failed.
    bool SendHandshakeWhenConnected();
    bool IsHandshakeSent() const { return mHandshakeSent; }
    // Null once handed over.
    TTransportObj* Transport() const { return mTpt; }
    // The caller takes the transport and disposes of it; this object holds nothing afterwards.
    TTransportObj* TakeTransport();

private:
    COwner<TTransportObj, UTransport::Dispose> mTpt;
    std::vector<uint8_t> mHandshake;
    bool mHandshakeSent = false;
};
