// The transport against local sockets: address records, connect outcomes, the send queue, closing and
// disposing in every state, the SOCKS 4 firewall, and the address text services.
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/net/UTransport.h"
#include "platform/OpenURL.h"
#include "platform/Socket.h"
#include "tests/support/NetTestSupport.h"
#include "tools/testserver/CSocksRelay.h"
#include "tools/testserver/CTestServer.h"

namespace
{
class TransportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UApplication::Init();
        ASSERT_TRUE(mServer.Listen());
        mTransport = UTransport::New(kTransportStream);
        UTransport::SetMessageHandler(mTransport, SMessageLog::Proc, &mLog);
    }
    void TearDown() override
    {
        UTransport::Dispose(mTransport);
        UApplication::Process();
    }
    bool WaitFor(uint32_t msg)
    {
        return PumpUntil([&] { return mLog.Has(msg); }, "a transport message");
    }
    void Connect(const SNameAddress& a)
    {
        UTransport::StartConnect(mTransport, &a.record, a.size);
        ASSERT_TRUE(WaitFor(kMsgConnectEstablished));
        EXPECT_EQ(UTransport::GetConnectStatus(mTransport), 3);
    }

    CTestServer mServer;
    TTransportObj* mTransport = nullptr;
    SMessageLog mLog;
};

// A port on which nobody listens: taken from the system and released again.
uint16_t UnusedPort()
{
    int fd;
    uint16_t port = 0;
    if (platform::ListenLoopback(0, fd, port) == 0) platform::CloseSocket(fd);
    return port;
}
} // namespace

TEST_F(TransportTest, APortInTheTextIsUsedWhenTheRecordHasNone)
{
    Connect(NameAddress("127.0.0.1:" + std::to_string(mServer.Port())));
    EXPECT_TRUE(UTransport::IsConnected(mTransport));
    EXPECT_EQ(mLog.lastObject, mTransport);
    EXPECT_TRUE(PumpUntil([&] { return mServer.ConnectionCount() == 1; }, "the server to accept"));
}

TEST_F(TransportTest, ThePortFieldWinsOverThePortInTheText)
{
    Connect(NameAddress("127.0.0.1:1", mServer.Port()));
}

TEST_F(TransportTest, AHostNameIsLookedUpFirst)
{
    Connect(NameAddress("localhost:" + std::to_string(mServer.Port())));
}

TEST_F(TransportTest, UnusableAddressRecordsRaise8_101)
{
    for (const SNameAddress& a : {NameAddress("127.0.0.1"), NameAddress("127.0.0.1:"),
                                  NameAddress("127.0.0.1:70000"), NameAddress(":5500"), NameAddress("")})
        EXPECT_EQ(RaisedError([&] { UTransport::StartConnect(mTransport, &a.record, a.size); }), "8/101");
    SNameAddress shortRecord = NameAddress("127.0.0.1:5500");
    EXPECT_EQ(RaisedError([&] { UTransport::StartConnect(mTransport, &shortRecord.record, 10); }), "8/101");
    SInternetAddress plain{kInternetAddressType, 0, {127, 0, 0, 1}, {}};
    EXPECT_EQ(RaisedError([&] { UTransport::StartConnect(mTransport, &plain, 11); }), "8/101");
    // The transport is still usable after each refusal.
    plain.port = mServer.Port();
    UTransport::StartConnect(mTransport, &plain, sizeof plain);
    EXPECT_TRUE(WaitFor(kMsgConnectEstablished));
}

TEST_F(TransportTest, ASecondConnectWhileBusyOrConnectedRaises1_3)
{
    const SNameAddress a = NameAddress("localhost:" + std::to_string(mServer.Port()));
    UTransport::StartConnect(mTransport, &a.record, a.size);
    EXPECT_EQ(UTransport::GetConnectStatus(mTransport), 1); // looking up
    EXPECT_EQ(RaisedError([&] { UTransport::StartConnect(mTransport, &a.record, a.size); }), "1/3");
    ASSERT_TRUE(WaitFor(kMsgConnectEstablished));
    EXPECT_EQ(RaisedError([&] { UTransport::StartConnect(mTransport, &a.record, a.size); }), "1/3");
}

TEST_F(TransportTest, ARefusedConnectIsAnnouncedAndRaisedByTheStatus)
{
    const SNameAddress a = LoopbackAddress(UnusedPort());
    UTransport::StartConnect(mTransport, &a.record, a.size);
    ASSERT_TRUE(WaitFor(kMsgConnectFailed));
    EXPECT_FALSE(mLog.Has(kMsgConnectEstablished));
    EXPECT_EQ(RaisedError([&] { UTransport::GetConnectStatus(mTransport); }), "8/104");
}

TEST_F(TransportTest, AnUnknownHostIsAnnouncedAndRaisedAs8_101)
{
    const SNameAddress a = NameAddress("no-such-host.invalid:5500");
    UTransport::StartConnect(mTransport, &a.record, a.size);
    ASSERT_TRUE(WaitFor(kMsgConnectFailed));
    EXPECT_EQ(RaisedError([&] { UTransport::GetConnectStatus(mTransport); }), "8/101");
}

TEST_F(TransportTest, ReadAheadIsHandedOutInPlaceAndAnnouncedAgainOnlyWhenAsked)
{
    Connect(LoopbackAddress(mServer.Port()));
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the server to accept"));
    mServer.SendRaw("abcdef");
    ASSERT_TRUE(PumpUntil([&] { return UTransport::GetReceiveSizeAtLeast(mTransport) == 6; }, "six bytes"));
    UApplication::Process();
    mLog.messages.clear();
    const uint8_t* bytes = nullptr;
    ASSERT_EQ(UTransport::PeekReadAhead(mTransport, bytes), 6u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 6), "abcdef");
    // A reader that goes on reading is not told again about what it left.
    UTransport::SkipReadAhead(mTransport, 2);
    UApplication::Process();
    EXPECT_FALSE(mLog.Has(kMsgDataArrived));
    // One that stops says so, and is told.
    UTransport::AnnounceReadAhead(mTransport);
    UApplication::Process();
    EXPECT_EQ(mLog.Count(kMsgDataArrived), 1u);
    ASSERT_EQ(UTransport::PeekReadAhead(mTransport, bytes), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 4), "cdef");
    UTransport::SkipReadAhead(mTransport, 4);
    UTransport::AnnounceReadAhead(mTransport);
    UApplication::Process();
    EXPECT_EQ(mLog.Count(kMsgDataArrived), 1u);
    EXPECT_EQ(UTransport::PeekReadAhead(mTransport, bytes), 0u);
}

TEST_F(TransportTest, AFullReadAheadReadsOnOnceItsBytesAreSkipped)
{
    Connect(LoopbackAddress(mServer.Port()));
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the server to accept"));
    std::string sent(3 * UTransport::kReadAheadLimit + 12345, '\0');
    for (size_t i = 0; i < sent.size(); ++i)
        sent[i] = char(i * 7 + i / 4099);
    mServer.SendRaw(sent);
    ASSERT_TRUE(PumpUntil(
        [&] { return UTransport::GetReceiveSizeAtLeast(mTransport) == UTransport::kReadAheadLimit; },
        "a full read-ahead"));
    // Nothing taken, nothing more read: skipping is what makes room, and reading must start again then
    // (or the stream stalls with the rest in the socket).
    std::string got;
    ASSERT_TRUE(PumpUntil(
        [&]
        {
            const uint8_t* bytes = nullptr;
            const uint32_t n = UTransport::PeekReadAhead(mTransport, bytes);
            got.append(reinterpret_cast<const char*>(bytes), n);
            UTransport::SkipReadAhead(mTransport, n);
            return got.size() >= sent.size();
        },
        "every byte through the read-ahead"));
    EXPECT_TRUE(got == sent) << "the bytes came changed or out of order";
}

TEST_F(TransportTest, DataIsAnnouncedAndReadAndThePeersCloseFollows)
{
    Connect(LoopbackAddress(mServer.Port()));
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the server to accept"));
    // Found empty, the socket is not asked again until its next read notice: what comes after is still
    // seen.
    EXPECT_EQ(UTransport::GetReceiveSize(mTransport), 0u);
    mServer.SendRaw("hello");
    mServer.CloseAfterWriting(5);
    ASSERT_TRUE(WaitFor(kMsgDataArrived));
    ASSERT_TRUE(PumpUntil([&] { return UTransport::GetReceiveSize(mTransport) == 5; }, "five bytes"));
    void* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(UTransport::ReceiveBuffer(mTransport, buffer, size));
    EXPECT_EQ(std::string(static_cast<char*>(buffer), size), "hello");
    UTransport::DisposeBuffer(buffer);
    ASSERT_TRUE(WaitFor(kMsgDisconnected));
    EXPECT_FALSE(UTransport::IsConnected(mTransport));
    EXPECT_FALSE(UTransport::ReceiveBuffer(mTransport, buffer, size));
    EXPECT_EQ(mLog.Count(kMsgDisconnected), 1u);
}

TEST_F(TransportTest, BytesLeftUnreadAreAnnouncedAgain)
{
    Connect(LoopbackAddress(mServer.Port()));
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the server to accept"));
    mServer.SendRaw("abcdef");
    ASSERT_TRUE(PumpUntil([&] { return UTransport::GetReceiveSize(mTransport) == 6; }, "six bytes"));
    mLog.messages.clear();
    char two[2];
    ASSERT_EQ(UTransport::Receive(mTransport, two, 2), 2u);
    ASSERT_TRUE(WaitFor(kMsgDataArrived));
    char rest[8];
    EXPECT_EQ(UTransport::Receive(mTransport, rest, sizeof rest), 4u);
}

namespace
{
// Reads as a download does: a little at each notice, until the transport says nothing more will come.
// A reader that is busy elsewhere may leave the bytes waiting until the close is announced.
struct SSlowReader
{
    TTransportObj* transport = nullptr;
    bool holdUntilClose = false;
    std::string received;
    std::vector<UTransport::EReceiveState> statesAtClose;
    uint32_t waitingAtClose = 0;
    bool drained = false;

    static void Proc(void* context, void*, uint32_t msg, const void*, uint32_t)
    {
        auto* r = static_cast<SSlowReader*>(context);
        if (msg == kMsgDisconnected)
        {
            r->statesAtClose.push_back(UTransport::GetReceiveState(r->transport));
            r->waitingAtClose = UTransport::GetReceiveSize(r->transport);
        }
        else if (msg != kMsgDataArrived || (r->holdUntilClose && r->statesAtClose.empty()))
            return;
        char chunk[64 * 1024];
        r->received.append(chunk, UTransport::Receive(r->transport, chunk, sizeof chunk));
        if (UTransport::GetReceiveState(r->transport) == UTransport::kReceiveDrained) r->drained = true;
    }
};

std::string FileOfSize(size_t size)
{
    std::string file(size, '\0');
    for (size_t i = 0; i < size; ++i)
        file[i] = char(i * 7 + i / 4096);
    return file;
}
} // namespace

// A server that sends a whole file and closes at once has not lost the connection: every byte stays
// readable after the close is announced, and the reader learns from the transport when it has read the
// last one. The file is larger than the read-ahead, so the close waits behind the reader.
TEST_F(TransportTest, APeerThatSendsEverythingAndClosesAtOnceLosesNoByte)
{
    Connect(LoopbackAddress(mServer.Port()));
    EXPECT_EQ(UTransport::GetReceiveState(mTransport), UTransport::kReceiveOpen);
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the server to accept"));
    const std::string file = FileOfSize(3 * UTransport::kReadAheadLimit + 77);
    SSlowReader reader;
    reader.transport = mTransport;
    UTransport::SetMessageHandler(mTransport, SSlowReader::Proc, &reader);
    mServer.SendRaw(file);
    mServer.CloseAfterWriting(file.size());

    ASSERT_TRUE(PumpUntil([&] { return reader.drained; }, "the last byte", 20000));
    EXPECT_EQ(reader.received.size(), file.size());
    EXPECT_TRUE(reader.received == file) << "the bytes arrived changed";
    EXPECT_EQ(reader.statesAtClose.size(), 1u);
    EXPECT_FALSE(UTransport::IsConnected(mTransport));
    EXPECT_EQ(UTransport::GetReceiveSize(mTransport), 0u);
    EXPECT_EQ(UTransport::GetReceiveState(mTransport), UTransport::kReceiveDrained);
}

// The close announced while the whole file still waits: the reader is told to read on, and the data
// notices carry it to the end.
TEST_F(TransportTest, AfterTheCloseTheWaitingBytesAreAnnouncedUntilRead)
{
    Connect(LoopbackAddress(mServer.Port()));
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the server to accept"));
    const std::string file = FileOfSize(300 * 1024 + 5);
    SSlowReader reader;
    reader.transport = mTransport;
    reader.holdUntilClose = true;
    UTransport::SetMessageHandler(mTransport, SSlowReader::Proc, &reader);
    mServer.SendRaw(file);
    mServer.CloseAfterWriting(file.size());

    ASSERT_TRUE(PumpUntil([&] { return reader.drained; }, "the last byte"));
    ASSERT_EQ(reader.statesAtClose.size(), 1u);
    EXPECT_EQ(reader.statesAtClose[0], UTransport::kReceiveClosedWithBytes);
    EXPECT_EQ(reader.waitingAtClose, file.size());
    EXPECT_TRUE(reader.received == file) << reader.received.size() << " of " << file.size() << " bytes";
}

// An upload is complete only when the peer ends the connection in order after taking everything; a
// peer that closes with bytes unread resets the connection, and that is no end in order, even when the
// system had taken every byte from the transport before.
TEST_F(TransportTest, APeersOrderlyCloseAfterTakingEverythingIsToldFromAReset)
{
    int listener = -1;
    uint16_t port = 0;
    ASSERT_EQ(platform::ListenLoopback(0, listener, port), 0);
    for (const bool readsAll : {true, false})
    {
        SCOPED_TRACE(readsAll ? "the peer reads everything" : "the peer reads nothing");
        TTransportObj* t = UTransport::New(kTransportStream);
        SMessageLog log;
        UTransport::SetMessageHandler(t, SMessageLog::Proc, &log);
        const SNameAddress a = LoopbackAddress(port);
        UTransport::StartConnect(t, &a.record, a.size);
        int peer = -1;
        ASSERT_TRUE(PumpUntil([&] { return platform::AcceptConnection(listener, peer) == 0; }, "the accept"));
        ASSERT_TRUE(PumpUntil([&] { return log.Has(kMsgConnectEstablished); }, "the connect"));
        const std::string bytes(50000, 'u');
        UTransport::Send(t, bytes.data(), uint32_t(bytes.size()));
        ASSERT_TRUE(PumpUntil([&] { return UTransport::GetUnsentSize(t) == 0; }, "the send"));
        EXPECT_FALSE(UTransport::WasClosedInOrder(t)) << "open is not closed";
        if (readsAll)
        {
            std::string got(bytes.size(), '\0');
            size_t total = 0;
            ASSERT_TRUE(PumpUntil(
                [&]
                {
                    size_t n = 0;
                    bool closed = false;
                    if (platform::ReceiveSome(peer, got.data() + total, got.size() - total, n, closed) == 0)
                        total += n;
                    return total == bytes.size();
                },
                "the peer to read"));
        }
        platform::CloseSocket(peer);
        ASSERT_TRUE(PumpUntil([&] { return log.Has(kMsgDisconnected); }, "the close"));
        EXPECT_EQ(UTransport::WasClosedInOrder(t), readsAll);
        UTransport::Dispose(t);
    }
    platform::CloseSocket(listener);
    EXPECT_EQ(RaisedError([] { UTransport::WasClosedInOrder(nullptr); }), "1/2");
}

TEST_F(TransportTest, OnlyAnOpenConnectionOrUnreadBytesPromiseMore)
{
    // Never connected, and looking up or connecting.
    EXPECT_EQ(UTransport::GetReceiveState(mTransport), UTransport::kReceiveDrained);
    const SNameAddress a = LoopbackAddress(mServer.Port());
    UTransport::StartConnect(mTransport, &a.record, a.size);
    EXPECT_EQ(UTransport::GetReceiveState(mTransport), UTransport::kReceiveOpen);
    ASSERT_TRUE(WaitFor(kMsgConnectEstablished));
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the server to accept"));

    // The owner's own disconnect throws away what was not read.
    mServer.SendRaw("unread");
    ASSERT_TRUE(PumpUntil([&] { return UTransport::GetReceiveSize(mTransport) == 6; }, "six bytes"));
    UTransport::Disconnect(mTransport);
    EXPECT_EQ(UTransport::GetReceiveState(mTransport), UTransport::kReceiveDrained);

    // A refused connect promises nothing.
    TTransportObj* refused = UTransport::New(kTransportStream);
    UTransport::SetMessageHandler(refused, SMessageLog::Proc, &mLog);
    const SNameAddress nobody = LoopbackAddress(UnusedPort());
    UTransport::StartConnect(refused, &nobody.record, nobody.size);
    ASSERT_TRUE(WaitFor(kMsgConnectFailed));
    EXPECT_EQ(UTransport::GetReceiveState(refused), UTransport::kReceiveDrained);
    UTransport::Dispose(refused);
    EXPECT_EQ(RaisedError([] { UTransport::GetReceiveState(nullptr); }), "1/2");
}

TEST_F(TransportTest, TheSendQueueKeepsOrderAndReadyToSendWaitsForItToDrain)
{
    // A listener that does not accept: the kernel takes the connection but nobody reads, so the
    // network soon takes nothing more.
    int listenFD;
    uint16_t port;
    ASSERT_EQ(platform::ListenLoopback(0, listenFD, port), 0);
    Connect(LoopbackAddress(port));
    const std::string chunk(4 * 1024 * 1024, 'a');
    UTransport::Send(mTransport, chunk.data(), uint32_t(chunk.size()));
    const uint32_t unsent = UTransport::GetUnsentSize(mTransport);
    ASSERT_GT(unsent, 0u);
    EXPECT_TRUE(UTransport::IsReadyToSend(mTransport)); // one buffer queued
    UTransport::Send(mTransport, "bc", 2);
    void* buffer = UTransport::NewBuffer(3);
    std::memcpy(buffer, "def", 3);
    UTransport::SendBuffer(mTransport, buffer);
    EXPECT_EQ(UTransport::GetUnsentSize(mTransport), unsent + 5);
    EXPECT_FALSE(UTransport::IsReadyToSend(mTransport));
    UTransport::NotifyReadyToSend(mTransport);
    UApplication::Process();
    EXPECT_FALSE(mLog.Has(kMsgReadyToSend));

    int fd;
    ASSERT_TRUE(PumpUntil([&] { return platform::AcceptConnection(listenFD, fd) == 0; }, "the connection"));
    std::string received;
    ASSERT_TRUE(PumpUntil(
        [&]
        {
            char b[65536];
            size_t got = 0;
            bool closed = false;
            while (platform::ReceiveSome(fd, b, sizeof b, got, closed) == 0 && got)
                received.append(b, got);
            return received.size() == chunk.size() + 5;
        },
        "every byte at the reader"));
    EXPECT_EQ(received.substr(chunk.size()), "bcdef");
    EXPECT_EQ(mLog.Count(kMsgReadyToSend), 1u);
    EXPECT_EQ(UTransport::GetUnsentSize(mTransport), 0u);
    UTransport::NotifyReadyToSend(mTransport); // an empty queue answers at once
    UApplication::Process();
    EXPECT_EQ(mLog.Count(kMsgReadyToSend), 2u);
    platform::CloseSocket(fd);
    platform::CloseSocket(listenFD);
}

TEST_F(TransportTest, DisconnectAndDisposeWorkInEveryState)
{
    // Connected: the close is announced once the socket reports it.
    Connect(LoopbackAddress(mServer.Port()));
    UTransport::Disconnect(mTransport);
    EXPECT_FALSE(UTransport::IsConnected(mTransport));
    EXPECT_TRUE(WaitFor(kMsgDisconnected));
    EXPECT_TRUE(PumpUntil([&] { return mServer.ClientClosed(); }, "the server to see the close"));

    // Looking up, and connecting: nothing is announced afterwards.
    for (const SNameAddress& a :
         {NameAddress("localhost:" + std::to_string(mServer.Port())), LoopbackAddress(mServer.Port())})
    {
        SMessageLog log;
        TTransportObj* t = UTransport::New(kTransportStream);
        UTransport::SetMessageHandler(t, SMessageLog::Proc, &log);
        UTransport::StartConnect(t, &a.record, a.size);
        UTransport::Disconnect(t);
        EXPECT_EQ(RaisedError([&] { UTransport::GetConnectStatus(t); }), "1/1");
        for (int turn = 0; turn < 5; ++turn)
            UApplication::Process();
        EXPECT_TRUE(log.messages.empty());
        UTransport::Dispose(t);
    }

    // Disposing of a transport with messages still queued for it removes them.
    SMessageLog log;
    TTransportObj* t = UTransport::New(kTransportStream);
    UTransport::SetMessageHandler(t, SMessageLog::Proc, &log);
    UTransport::NotifyReadyToSend(t);
    UTransport::Dispose(t);
    UApplication::Process();
    EXPECT_TRUE(log.messages.empty());
    UTransport::Dispose(nullptr);
    UTransport::Disconnect(nullptr);
    EXPECT_EQ(RaisedError([] { UTransport::New(3); }), "8/107");
}

TEST_F(TransportTest, AFirewallRelaysOnceItGrantsEvenWhenItsReplyComesInPieces)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    relay.SetReplyPieceSize(1);
    const SNameAddress destination = LoopbackAddress(mServer.Port());
    const SNameAddress firewall = LoopbackAddress(relay.Port());
    UTransport::StartConnectThruFirewall(mTransport, &destination.record, destination.size, &firewall.record,
                                         firewall.size, 0);
    EXPECT_EQ(UTransport::GetConnectStatus(mTransport), 1);
    ASSERT_TRUE(WaitFor(kMsgConnectEstablished));
    EXPECT_EQ(UTransport::GetConnectStatus(mTransport), 3);
    const std::string expected =
        std::string("\x04\x01", 2) + testwire::BE16(mServer.Port()) + std::string("\x7F\x00\x00\x01x\x00", 6);
    EXPECT_EQ(relay.LastRequest(), expected);
    ASSERT_TRUE(PumpUntil([&] { return mServer.HasOpenConnection(); }, "the relay to reach the server"));
    mServer.SendRaw("through");
    ASSERT_TRUE(PumpUntil([&] { return UTransport::GetReceiveSize(mTransport) == 7; }, "relayed bytes"));
}

TEST_F(TransportTest, AFirewallRefusalFailsAsConnectionRefused)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    relay.SetResult(91);
    const SNameAddress destination = NameAddress("localhost:" + std::to_string(mServer.Port()));
    const SNameAddress firewall = NameAddress("localhost:" + std::to_string(relay.Port()));
    UTransport::StartConnectThruFirewall(mTransport, &destination.record, destination.size, &firewall.record,
                                         firewall.size, 0);
    ASSERT_TRUE(WaitFor(kMsgConnectFailed));
    EXPECT_EQ(mLog.Count(kMsgConnectFailed), 1u);
    EXPECT_FALSE(mLog.Has(kMsgConnectEstablished));
    EXPECT_FALSE(UTransport::IsConnected(mTransport));
    EXPECT_EQ(RaisedError([&] { UTransport::GetConnectStatus(mTransport); }), "8/104");
    UApplication::Process();
    EXPECT_EQ(mLog.Count(kMsgConnectFailed), 1u);
}

TEST(TransportTextTest, PortsAndAddressesInText)
{
    const std::string withPort = "server:5500", without = "server";
    EXPECT_EQ(UTransport::GetPortFromAddressText(42, withPort.data(), uint32_t(withPort.size())), 5500);
    EXPECT_EQ(UTransport::GetPortFromAddressText(42, without.data(), uint32_t(without.size())), 0);
    EXPECT_EQ(UTransport::GetPortFromAddressText(42, ":80", 3), 0);
    EXPECT_EQ(UTransport::GetPortFromAddressText(42, "a:b:81", 6), 81);

    uint32_t start, size;
    const std::string url = "quenvol://host:5500/some/more";
    ASSERT_TRUE(UTransport::_GetURLAddress(url.data(), uint32_t(url.size()), start, size));
    EXPECT_EQ(url.substr(start, size), "host:5500");
    EXPECT_FALSE(UTransport::_GetURLAddress("quenvol:h", 9, start, size));
    ASSERT_TRUE(UTransport::_GetURLAddress("x:/ab", 5, start, size));
    EXPECT_EQ(std::string("x:/ab").substr(start, size), "ab");

    char out[8];
    const std::string typed = "  fire\x01wall:1080 trailing";
    EXPECT_EQ(UTransport::CleanUpAddressText(42, typed.data(), uint32_t(typed.size()), out, 8), 8u);
    EXPECT_EQ(std::string(out, 8), "firexwal");
}

namespace
{
std::string gOpened;
bool RecordOpen(const char* url, size_t size)
{
    gOpened.assign(url, size);
    return true;
}
} // namespace

TEST(TransportTextTest, LaunchURLOpensTheRunOfURLCharactersAroundThePosition)
{
    platform::SetOpenURLProc(RecordOpen);
    const std::string text = "see \"http://example.test/a?b=1\" now";
    uint32_t start = 10, end = 0;
    ASSERT_TRUE(UTransport::LaunchURL(text.data(), uint32_t(text.size()), &start, &end));
    EXPECT_EQ(gOpened, "http://example.test/a?b=1");
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(end, 30u);
    start = 3; // the blank before the quote
    EXPECT_FALSE(UTransport::LaunchURL(text.data(), uint32_t(text.size()), &start, &end));
    EXPECT_FALSE(UTransport::_IsValidURLChar('"'));
    EXPECT_FALSE(UTransport::_IsValidURLChar(0xD2));
    EXPECT_TRUE(UTransport::_IsValidURLChar('~'));
    const std::string longURL(600, 'a');
    start = 0;
    ASSERT_TRUE(UTransport::LaunchURL(longURL.data(), uint32_t(longURL.size()), &start, &end));
    EXPECT_EQ(gOpened.size(), 511u);
    platform::SetOpenURLProc(nullptr);
}
