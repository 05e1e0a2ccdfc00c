// Transaction connections: the handshake, 20-byte part headers with field-list bodies, requests matched
// with their replies by id, and server requests kept until the application collects them.
#pragma once

#include <cstdint>

#include "framework/runtime/MessageProc.h"

struct TTransactObj;
struct TTransactSessionObj;
struct TTransportObj;
struct TFieldDataObj;

class UTransact
{
public:
    static constexpr uint32_t kHandshakeTimeoutMs = 20000;
    static constexpr uint32_t kDefaultSessionTimeoutMs = 200000;

    static TTransactObj* New(uint16_t transportKind = 1, uint32_t reserved = 0);
    static void Dispose(TTransactObj* tpt);
    static TTransportObj* GetTransport(TTransactObj* tpt);
    static void SetMessageHandler(TTransactObj* tpt, TMessageProc proc, void* context);
    static void SetVersion(TTransactObj* tpt, uint32_t protocol, uint16_t subVersion);
    // The connection, and then the handshake, each get the handshake time-out (20 s by default).
    static void StartConnect(TTransactObj* tpt, const void* address, uint32_t size, uint32_t reserved = 0);
    static void StartConnectThruFirewall(TTransactObj* tpt, const void* address, uint32_t size,
                                         const void* firewall, uint32_t firewallSize);
    static bool IsConnected(TTransactObj* tpt);
    // 1 connecting, 2 handshake under way, 3 ready; raises a failed connect or handshake.
    static uint16_t GetConnectStatus(TTransactObj* tpt);
    static void Disconnect(TTransactObj* tpt);
    // Whether incoming data can no longer be read (a broken stream or a hostile announcement).
    static bool IsReceiveFailed(TTransactObj* tpt);

    static TTransactSessionObj* NewSendSession(TTransactObj* tpt, uint16_t type);
    static void SendSessionData(TTransactSessionObj* session, TFieldDataObj* fields);
    static void SetSessionTimeout(TTransactSessionObj* session, uint32_t ms);
    static bool IsSessionReceiveComplete(TTransactSessionObj* session);
    // The questions above (and ReceiveSessionData, NewReceiveSession) take whatever has arrived, and
    // announce what they took with a data notice to the owner, as the socket's own notice would have. True
    // while that notice is on its way: a reply found whole then still brings its owner a step.
    static bool IsDataNoticeQueued(TTransactObj* tpt);
    static uint16_t GetSessionReceiveType(TTransactSessionObj* session);
    static uint32_t GetSessionReceiveError(TTransactSessionObj* session);
    static uint32_t GetSessionReceiveSize(TTransactSessionObj* session);
    static uint32_t GetSessionReceiveTransferedSize(TTransactSessionObj* session);
    static void ReceiveSessionData(TTransactSessionObj* session, TFieldDataObj* fields);
    static TTransactSessionObj* NewReceiveSession(TTransactObj* tpt, uint16_t type, uint16_t completeOnly);
    static void DisposeSession(TTransactSessionObj* session);
    static void SendTransaction(TTransactObj* tpt, uint16_t type, TFieldDataObj* fields);

    // The id of the session a send session would carry; for tests of the id sequence.
    static void _SetLastID(TTransactObj* tpt, uint32_t id);
};
