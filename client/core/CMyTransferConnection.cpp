#include "client/core/CMyTransferConnection.h"

#include <cstring>

#include "framework/net/SInternetNameAddress.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/BigEndian.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UTimer.h"

void CMyTransferConnection::MakeHandshake(uint32_t refNum, uint32_t dataSize,
                                          uint8_t outBytes[kHandshakeSize])
{
    std::memcpy(outBytes, "QVXF", 4);
    PutBE32(outBytes + 4, refNum);
    PutBE32(outBytes + 8, dataSize);
    PutBE32(outBytes + 12, 0);
}

void CMyTransferConnection::MakeFolderHandshake(uint32_t refNum, uint8_t outBytes[kFolderHandshakeSize])
{
    std::memcpy(outBytes, "QVXF", 4);
    PutBE32(outBytes + 4, refNum);
    PutBE32(outBytes + 8, 0);
    PutBE16(outBytes + 12, 1);
    PutBE16(outBytes + 14, 0);
    PutBE16(outBytes + 16, 3);
}

CMyTransferConnection::CMyTransferConnection(const SInternetNameAddress& server, uint32_t basePort,
                                             const SInternetNameAddress& firewall, TMessageProc proc,
                                             void* context, const void* handshake, uint32_t handshakeSize,
                                             uint32_t connectTimeoutMs)
{
    if (!handshake || !handshakeSize) Fail(kErrTypeGeneral, 2);
    SInternetNameAddress address = server;
    address.port = uint16_t(basePort + 1);
    // A port of 0 would make the transport read the port from the address text: the session's own port.
    if (address.port == 0) Fail(kErrTypeTransport, 101);
    const auto* bytes = static_cast<const uint8_t*>(handshake);
    mHandshake.assign(bytes, bytes + handshakeSize);
    mTpt.Reset(UTransport::New(kTransportStream, 0));
    UTransport::SetMessageHandler(mTpt, proc, context);
    if (firewall.name[0] == 0)
        UTransport::StartConnect(mTpt, &address, GetAddressSize(address));
    else
        UTransport::StartConnectThruFirewall(mTpt, &address, GetAddressSize(address), &firewall,
                                             GetAddressSize(firewall));
    mConnectTimer.Reset(UTimer::StartNew(ConnectTimerProc, this, connectTimeoutMs, false));
}

CMyTransferConnection::~CMyTransferConnection()
{
    // The timer goes first: it must not fire for a transport that is gone.
    mConnectTimer.Reset();
    if (mTpt) UTransport::Disconnect(mTpt);
}

void CMyTransferConnection::ConnectTimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg != kMsgTimer) return;
    auto* self = static_cast<CMyTransferConnection*>(context);
    self->mTimedOut = true;
    // The transport's owner steps the task, which then finds the time up.
    UTransport::PostMessage(self->mTpt, kMsgTimeout);
}

bool CMyTransferConnection::SendHandshakeWhenConnected()
{
    if (mHandshakeSent) return true;
    if (!mTpt) Fail(kErrTypeGeneral, 2);
    if (UTransport::GetConnectStatus(mTpt) != 3)
    {
        if (mTimedOut) Fail(kErrTypeTransport, 103);
        return false;
    }
    mConnectTimer.Reset();
    UTransport::Send(mTpt, mHandshake.data(), uint32_t(mHandshake.size()));
    mHandshakeSent = true;
    return true;
}
