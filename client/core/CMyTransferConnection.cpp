#include "client/core/CMyTransferConnection.h"

#include <cstring>

#include "client/core/CMySession.h"
#include "client/core/CMyTaskHost.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/CApplication.h"
#include "framework/runtime/SError.h"

namespace
{
void Put32(uint8_t* out, uint32_t value)
{
    out[0] = uint8_t(value >> 24);
    out[1] = uint8_t(value >> 16);
    out[2] = uint8_t(value >> 8);
    out[3] = uint8_t(value);
}

// The session of the running client, whose server the transfers go to.
const CMySession& RunningSession()
{
    CMyTaskHost* host = CMyTaskHost::Get();
    if (!host) Fail(kErrTypeGeneral, 2);
    return host->Session();
}

void Put16(uint8_t* out, uint16_t value)
{
    out[0] = uint8_t(value >> 8);
    out[1] = uint8_t(value);
}
} // namespace

void CMyTransferConnection::MakeHandshake(uint32_t refNum, uint32_t dataSize,
                                          uint8_t outBytes[kHandshakeSize])
{
    std::memcpy(outBytes, "QVXF", 4);
    Put32(outBytes + 4, refNum);
    Put32(outBytes + 8, dataSize);
    Put32(outBytes + 12, 0);
}

std::unique_ptr<CMyTransferConnection> CMyTransferConnection::ForFile(uint32_t refNum, uint32_t dataSize)
{
    uint8_t handshake[kHandshakeSize];
    MakeHandshake(refNum, dataSize, handshake);
    return std::make_unique<CMyTransferConnection>(handshake, uint32_t(sizeof(handshake)));
}

void CMyTransferConnection::MakeFolderHandshake(uint32_t refNum, uint8_t outBytes[kFolderHandshakeSize])
{
    std::memcpy(outBytes, "QVXF", 4);
    Put32(outBytes + 4, refNum);
    Put32(outBytes + 8, 0);
    Put16(outBytes + 12, 1);
    Put16(outBytes + 14, 0);
    Put16(outBytes + 16, 3);
}

CMyTransferConnection::CMyTransferConnection(const SInternetNameAddress& server, uint32_t basePort,
                                             const SInternetNameAddress& firewall, const void* handshake,
                                             uint32_t handshakeSize)
{
    if (!handshake || !handshakeSize) Fail(kErrTypeGeneral, 2);
    SInternetNameAddress address = server;
    address.port = uint16_t(basePort + 1);
    // A port of 0 would make the transport read the port from the address text: the session's own port.
    if (address.port == 0) Fail(kErrTypeTransport, 101);
    const auto* bytes = static_cast<const uint8_t*>(handshake);
    mHandshake.assign(bytes, bytes + handshakeSize);
    mTpt.Reset(UTransport::New(kTransportStream, 0));
    UTransport::SetMessageHandler(mTpt, CApplication::MessageHandler, CApplication::Get());
    if (firewall.name[0] == 0)
        UTransport::StartConnect(mTpt, &address, GetAddressSize(address));
    else
        UTransport::StartConnectThruFirewall(mTpt, &address, GetAddressSize(address), &firewall,
                                             GetAddressSize(firewall));
}

CMyTransferConnection::CMyTransferConnection(const void* handshake, uint32_t handshakeSize)
    : CMyTransferConnection(RunningSession().Address(), RunningSession().BasePort(),
                            RunningSession().FirewallAddress(), handshake, handshakeSize)
{
}

CMyTransferConnection::~CMyTransferConnection()
{
    if (mTpt) UTransport::Disconnect(mTpt);
}

bool CMyTransferConnection::SendHandshakeWhenConnected()
{
    if (mHandshakeSent) return true;
    if (!mTpt) Fail(kErrTypeGeneral, 2);
    if (UTransport::GetConnectStatus(mTpt) != 3) return false;
    UTransport::Send(mTpt, mHandshake.data(), uint32_t(mHandshake.size()));
    mHandshakeSent = true;
    return true;
}

TTransportObj* CMyTransferConnection::TakeTransport()
{
    return mTpt.Release();
}
