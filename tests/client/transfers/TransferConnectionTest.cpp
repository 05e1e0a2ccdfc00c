// The transfer connection on its own: its handshakes, and a connect that never completes.
#include <gtest/gtest.h>

#include "client/core/CMyTransferConnection.h"
#include "platform/Socket.h"
#include "tests/support/NetTestSupport.h"

TEST(TransferHandshake, FileAndFolderHandshakesQuoteTheNumberBigEndian)
{
    uint8_t bytes[CMyTransferConnection::kHandshakeSize];
    CMyTransferConnection::MakeHandshake(0x01020304, 0x0A0B0C0D, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), sizeof bytes),
              std::string("QVXF\1\2\3\4\x0A\x0B\x0C\x0D\0\0\0\0", 16));
    uint8_t folder[CMyTransferConnection::kFolderHandshakeSize];
    CMyTransferConnection::MakeFolderHandshake(7, folder);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(folder), sizeof folder),
              std::string("QVXF\0\0\0\7\0\0\0\0\0\1\0\0\0\3", 18));
}

TEST(TransferConnection, AFirewallThatNeverGrantsTheConnectionFailsInTimeInsteadOfWaitingForGood)
{
    // The system accepts connections to the firewall's port, and nobody ever answers on them.
    int listener = -1;
    uint16_t port = 0;
    ASSERT_EQ(platform::ListenLoopback(0, listener, port), 0);
    const SNameAddress server = NameAddress("127.0.0.1");
    const SNameAddress firewall = LoopbackAddress(port);
    SMessageLog log;
    uint8_t handshake[CMyTransferConnection::kHandshakeSize];
    CMyTransferConnection::MakeHandshake(1, 0, handshake);
    CMyTransferConnection connection(server.record, 5500, firewall.record, SMessageLog::Proc, &log, handshake,
                                     sizeof handshake, 200);
    EXPECT_FALSE(connection.SendHandshakeWhenConnected());
    ASSERT_TRUE(PumpUntil([&] { return log.Has(kMsgTimeout); }, "the connect time-out"));
    EXPECT_EQ(RaisedError([&] { connection.SendHandshakeWhenConnected(); }), "8/103");
    platform::CloseSocket(listener);
}
