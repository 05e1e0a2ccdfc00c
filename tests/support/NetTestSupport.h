// Helpers for tests of the network layer: address records, a handler that logs connection messages,
// and a transaction connection brought up against the local test server.
#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UPString.h"
#include "tests/support/RunLoopWait.h"
#include "tools/testserver/CTestServer.h"

struct SNameAddress
{
    SInternetNameAddress record{};
    uint32_t size = 0;
};

inline SNameAddress NameAddress(const std::string& text, uint16_t port = 0)
{
    SNameAddress a;
    a.record.type = kInternetNameAddressType;
    a.record.port = port;
    a.size = 5u + UPString::SetBytes(a.record.name, text.data(), uint32_t(text.size()));
    return a;
}

inline SNameAddress LoopbackAddress(uint16_t port)
{
    return NameAddress("127.0.0.1:" + std::to_string(port));
}

// Records the messages a transport or transaction connection posts to its owner.
struct SMessageLog
{
    std::vector<uint32_t> messages;
    void* lastObject = nullptr;

    static void Proc(void* context, void* object, uint32_t msg, const void*, uint32_t)
    {
        auto* log = static_cast<SMessageLog*>(context);
        log->messages.push_back(msg);
        log->lastObject = object;
    }
    size_t Count(uint32_t msg) const
    {
        size_t n = 0;
        for (uint32_t m : messages)
            if (m == msg) ++n;
        return n;
    }
    bool Has(uint32_t msg) const { return Count(msg) > 0; }
};

// Runs an operation that must raise, and returns the error as "type/id".
template <class F>
std::string RaisedError(F&& f)
{
    try
    {
        f();
    }
    catch (const SError& e)
    {
        return std::to_string(e.type) + "/" + std::to_string(e.id);
    }
    return "nothing raised";
}

// Pumps until the connection's status is 3 or raises; returns the status or the raised error.
inline std::string PumpConnectStatus(TTransactObj* c)
{
    std::string result = "timed out";
    PumpUntil(
        [&]
        {
            try
            {
                if (UTransact::GetConnectStatus(c) != 3) return false;
                result = "ready";
            }
            catch (const SError& e)
            {
                result = std::to_string(e.type) + "/" + std::to_string(e.id);
            }
            return true;
        },
        "the connection to become ready or fail");
    return result;
}

// A transaction connection with the application queue set up, connected to a local test server.
class CNetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UApplication::Init();
        // Errors that escape a message handler come back as message 1 to the application's handler.
        UApplication::SetMessageHandler(ErrorProc, this);
        ASSERT_TRUE(mServer.Listen());
    }
    void TearDown() override
    {
        UTransact::Dispose(mConnection);
        UApplication::Process();
        UApplication::SetMessageHandler(nullptr, nullptr);
    }
    static void ErrorProc(void* context, void*, uint32_t msg, const void* data, uint32_t size)
    {
        if (msg != kMsgError || size != sizeof(SError)) return;
        const auto* e = static_cast<const SError*>(data);
        static_cast<CNetTest*>(context)->mErrors.push_back(std::to_string(e->type) + "/" +
                                                           std::to_string(e->id));
    }
    // Connects and finishes the handshake; returns "ready" or the error.
    std::string Connect()
    {
        mConnection = UTransact::New(1, 0);
        UTransact::SetMessageHandler(mConnection, SMessageLog::Proc, &mLog);
        UTransact::SetVersion(mConnection, 0x5155454E, 2);
        const SNameAddress a = LoopbackAddress(mServer.Port());
        UTransact::StartConnect(mConnection, &a.record, a.size);
        return PumpConnectStatus(mConnection);
    }

    CTestServer mServer;
    TTransactObj* mConnection = nullptr;
    SMessageLog mLog;
    std::vector<std::string> mErrors;
};
