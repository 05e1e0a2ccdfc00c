// Transaction connections against the local test server: the handshake, framing, sessions, time-outs
// and the defences against a hostile server.
#include <gtest/gtest.h>
#include <string>

#include "framework/net/CTransactStream.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/UClock.h"
#include "framework/runtime/UMemory.h"
#include "platform/EventLoop.h"
#include "platform/Timers.h"
#include "tests/support/NetTestSupport.h"

namespace
{
using testwire::CFields;

class TransactTest : public CNetTest
{
protected:
    // Sends a request through a new send session and pumps until its reply is complete.
    TTransactSessionObj* Request(uint16_t type, TFieldDataObj* fields)
    {
        TTransactSessionObj* s = UTransact::NewSendSession(mConnection, type);
        UTransact::SendSessionData(s, fields);
        EXPECT_TRUE(PumpUntil([&] { return UTransact::IsSessionReceiveComplete(s); }, "the reply"));
        return s;
    }
    std::string Body(TTransactSessionObj* s)
    {
        StFieldData fd;
        UTransact::ReceiveSessionData(s, fd);
        THdlObj* h = UFieldData::GetDataHandle(fd);
        StHandleLocker lock(h);
        return std::string(reinterpret_cast<char*>(lock.Data()), UMemory::GetSize(h));
    }
    // The failure raises from whichever absorb meets it first: the data notice (whose error the
    // dispatcher turns into message 1) or a call of the test's own.
    std::string PumpUntilReceiveFails()
    {
        std::string error = "raised by the data notice";
        PumpUntil(
            [&]
            {
                const std::string raised = RaisedError(
                    [&] { UTransact::DisposeSession(UTransact::NewReceiveSession(mConnection, 0, 1)); });
                if (raised != "nothing raised") error = raised;
                return UTransact::IsReceiveFailed(mConnection);
            },
            "the stream to fail", 20000);
        EXPECT_TRUE(mErrors.empty() || mErrors.back() == "8/111");
        return mErrors.empty() ? error : mErrors.back();
    }
    TTransactSessionObj* WaitForServerRequest(uint16_t type = 0)
    {
        TTransactSessionObj* s = nullptr;
        PumpUntil([&] { return (s = UTransact::NewReceiveSession(mConnection, type, 1)) != nullptr; },
                  "a server request");
        return s;
    }
};
} // namespace

TEST_F(TransactTest, HandshakeAndFirstRequestHaveTheExactBytes)
{
    ASSERT_EQ(Connect(), "ready");
    EXPECT_EQ(mServer.ReceivedHandshake(), std::string("TRTPQUEN\x00\x01\x00\x02", 12));
    EXPECT_EQ(mLog.Count(kMsgConnectEstablished), 1u);
    EXPECT_EQ(mLog.lastObject, mConnection);

    mServer.SetReply(kTranLogin, STestReply{});
    StFieldData empty;
    TTransactSessionObj* s = Request(kTranLogin, empty);
    ASSERT_EQ(mServer.Received().size(), 1u);
    const STestTransaction& t = mServer.Received()[0];
    EXPECT_EQ(
        testwire::EncodeHeader(t.header) + t.body,
        std::string(
            "\x00\x00\x00\x6B\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00", 22));
    EXPECT_EQ(UTransact::GetSessionReceiveError(s), 0u);
    EXPECT_EQ(Body(s), std::string("\0\0", 2));
    UTransact::DisposeSession(s);
}

TEST_F(TransactTest, IdsStartAtOneAndSkipZeroWhenTheyWrap)
{
    ASSERT_EQ(Connect(), "ready");
    StFieldData fd;
    UFieldData::AddInteger(fd, kFieldUserID, 1);
    UTransact::SendTransaction(mConnection, kTranChatSend, fd);
    UTransact::_SetLastID(mConnection, 0xFFFFFFFE);
    UTransact::SendTransaction(mConnection, kTranChatSend, fd);
    UTransact::SendTransaction(mConnection, kTranChatSend, fd);
    ASSERT_TRUE(PumpUntil([&] { return mServer.Received().size() == 3; }, "three requests"));
    EXPECT_EQ(mServer.Received()[0].header.id, 1u);
    EXPECT_EQ(mServer.Received()[1].header.id, 0xFFFFFFFFu);
    EXPECT_EQ(mServer.Received()[2].header.id, 1u);
    EXPECT_EQ(mServer.Received()[2].body, CFields().AddInteger(kFieldUserID, 1).Bytes());
}

TEST_F(TransactTest, RepliesAreMatchedByIdAndErrorsAreReadNotRaised)
{
    ASSERT_EQ(Connect(), "ready");
    STestReply refused;
    refused.error = 1;
    refused.body = CFields().Add(kFieldErrorText, "no").Bytes();
    mServer.SetReply(kTranDeleteFile, refused);
    STestReply news;
    news.body = CFields().Add(kFieldData, "the news").Bytes();
    news.parts = 3; // and in several parts
    mServer.SetReply(kTranGetNews, news);
    StFieldData empty;
    TTransactSessionObj* a = UTransact::NewSendSession(mConnection, kTranGetNews);
    TTransactSessionObj* b = UTransact::NewSendSession(mConnection, kTranDeleteFile);
    UTransact::SendSessionData(b, empty);
    UTransact::SendSessionData(a, empty);
    ASSERT_TRUE(PumpUntil(
        [&] { return UTransact::IsSessionReceiveComplete(a) && UTransact::IsSessionReceiveComplete(b); },
        "both replies"));
    EXPECT_EQ(UTransact::GetSessionReceiveError(b), 1u);
    EXPECT_EQ(Body(b), refused.body);
    EXPECT_EQ(UTransact::GetSessionReceiveSize(a), news.body.size());
    EXPECT_EQ(UTransact::GetSessionReceiveTransferedSize(a), news.body.size());
    EXPECT_EQ(Body(a), news.body);
    UTransact::DisposeSession(a);
    UTransact::DisposeSession(b);
}

TEST_F(TransactTest, AReplyArrivingOneByteAtATimeShowsProgress)
{
    ASSERT_EQ(Connect(), "ready");
    STestReply list;
    for (int i = 0; i < 20; ++i)
        list.body = CFields().Add(kFieldFileEntry, testwire::FileEntry(1, 2, 3, "name")).Bytes();
    mServer.SetReply(kTranGetFileList, list);
    mServer.SetPieceSize(1);
    StFieldData empty;
    TTransactSessionObj* s = UTransact::NewSendSession(mConnection, kTranGetFileList);
    UTransact::SendSessionData(s, empty);
    uint32_t partial = 0;
    ASSERT_TRUE(PumpUntil(
        [&]
        {
            const uint32_t n = UTransact::GetSessionReceiveTransferedSize(s);
            if (n > 0 && n < list.body.size()) partial = n;
            return UTransact::IsSessionReceiveComplete(s);
        },
        "the reply in pieces"));
    EXPECT_GT(partial, 0u);
    EXPECT_EQ(Body(s), list.body);
    UTransact::DisposeSession(s);
}

TEST_F(TransactTest, AServerRequestInTwoPartsIsOfferedOnlyWhenComplete)
{
    ASSERT_EQ(Connect(), "ready");
    const std::string body = CFields().Add(kFieldData, "a chat line").AddInteger(kFieldChatID, 9).Bytes();
    STestPartHeader h;
    h.type = kTranChatMsg;
    h.id = 77;
    const std::string parts = testwire::EncodeTransaction(h, body, 2);
    const size_t firstPart = 20 + body.size() / 2;
    mLog.messages.clear();
    mServer.SendRaw(parts.substr(0, firstPart));
    ASSERT_TRUE(
        PumpUntil([&] { return mLog.Has(kMsgDataArrived) && mServer.IsFlushed(); }, "the first part"));
    EXPECT_EQ(UTransact::NewReceiveSession(mConnection, 0, 1), nullptr);
    mServer.SendRaw(parts.substr(firstPart));
    TTransactSessionObj* s = WaitForServerRequest();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(UTransact::GetSessionReceiveType(s), kTranChatMsg);
    EXPECT_EQ(Body(s), body);
    // Answering it sends a reply with the request's id and type 0.
    StFieldData reply;
    UFieldData::AddInteger(reply, kFieldUserID, 3);
    UTransact::SendSessionData(s, reply);
    ASSERT_TRUE(PumpUntil([&] { return mServer.Received().size() == 1; }, "the reply"));
    EXPECT_EQ(mServer.Received()[0].header.isReply, 1);
    EXPECT_EQ(mServer.Received()[0].header.id, 77u);
    EXPECT_EQ(mServer.Received()[0].header.type, 0);
    UTransact::DisposeSession(s);
    EXPECT_EQ(UTransact::NewReceiveSession(mConnection, 0, 1), nullptr);
}

TEST_F(TransactTest, ZeroSizeHeadersAndUnawaitedRepliesLeaveTheStreamInStep)
{
    ASSERT_EQ(Connect(), "ready");
    STestReply stray;
    stray.idDelta = 1000; // a reply under an id nobody waits for
    stray.body = CFields().Add(kFieldData, std::string(5000, 's')).Bytes();
    mServer.SetReply(kTranPostNews, stray);
    StFieldData fd;
    UFieldData::AddPString(fd, kFieldData, reinterpret_cast<const uint8_t*>("\x02hi"));
    UTransact::SendTransaction(mConnection, kTranPostNews, fd);
    // An empty header alone, then a request split in two parts each led by an empty header.
    STestPartHeader empty;
    empty.type = kTranChatMsg;
    empty.id = 5;
    mServer.SendRaw(testwire::EncodeHeader(empty));
    const std::string body = CFields().Add(kFieldData, "after").Bytes();
    mServer.PushTransaction(kTranShowAgreement, body, 2, true);
    TTransactSessionObj* s = WaitForServerRequest();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(UTransact::GetSessionReceiveType(s), kTranShowAgreement);
    EXPECT_EQ(Body(s), body);
    UTransact::DisposeSession(s);
    EXPECT_EQ(UTransact::NewReceiveSession(mConnection, 0, 0), nullptr);
    EXPECT_EQ(mServer.CountReceived(kTranPostNews), 1u);
}

TEST_F(TransactTest, AReplyAnnouncingNoBodyAtAllIsACompleteEmptyReply)
{
    ASSERT_EQ(Connect(), "ready");
    STestReply bare;
    bare.body.clear();
    bare.error = 3;
    mServer.SetReply(kTranGetNews, bare);
    StFieldData fd;
    TTransactSessionObj* s = Request(kTranGetNews, fd);
    ASSERT_TRUE(UTransact::IsSessionReceiveComplete(s));
    EXPECT_EQ(UTransact::GetSessionReceiveError(s), 3u);
    EXPECT_EQ(Body(s), std::string("\0\0", 2)); // no fields
    UTransact::DisposeSession(s);
    // The stream stays in step: the next reply is read as usual.
    mServer.ClearReply(kTranGetNews);
    mServer.SetReply(kTranGetNews, STestReply{});
    s = Request(kTranGetNews, fd);
    EXPECT_EQ(Body(s), std::string("\0\0", 2));
    UTransact::DisposeSession(s);
}

// The lost wake-up of a download started right after another one: the owner, busy with something else
// (collecting server requests, or stepping another task), asks a question that takes in a reply before
// the socket's read notice has run. The bytes are gone from the socket, so that notice never comes, and
// the reply's own task would wait for good unless the question announces what it took.
TEST_F(TransactTest, AReplyTakenInByAQuestionBeforeItsReadNoticeIsStillAnnouncedToTheOwner)
{
    ASSERT_EQ(Connect(), "ready");
    STestReply news;
    news.body = CFields().Add(kFieldData, "the news").Bytes();
    mServer.SetReply(kTranGetNews, news);
    StFieldData empty;
    TTransactSessionObj* s = UTransact::NewSendSession(mConnection, kTranGetNews);
    UTransact::SendSessionData(s, empty);
    // One OS event at a time, so that the turn in which the server's reply reaches the client's socket is
    // seen before the client's read notice (which needs a later turn) takes it in.
    TTransportObj* tpt = UTransact::GetTransport(mConnection);
    const int wake = platform::StartTimer(20);
    const uint64_t deadline = platform::MonotonicMilliseconds() + 5000;
    while (UTransport::GetReceiveSize(tpt) == 0 && platform::MonotonicMilliseconds() < deadline)
        platform::WaitForOneEvent();
    platform::StopTimer(wake);
    ASSERT_GT(UTransport::GetReceiveSize(tpt), 0u) << "watchdog: the reply never reached the socket";
    mLog.messages.clear();

    EXPECT_EQ(UTransact::NewReceiveSession(mConnection, 0, 1), nullptr);
    EXPECT_FALSE(mLog.Has(kMsgDataArrived)) << "the read notice ran first: the test proves nothing";
    EXPECT_TRUE(UTransact::IsDataNoticeQueued(mConnection));
    ASSERT_TRUE(
        PumpUntil([&] { return mLog.Has(kMsgDataArrived); }, "the notice of the reply the question took"));
    EXPECT_FALSE(UTransact::IsDataNoticeQueued(mConnection));
    EXPECT_TRUE(UTransact::IsSessionReceiveComplete(s));
    EXPECT_EQ(Body(s), news.body);
    // Questions that take nothing new announce nothing: a pass they run does not bring another.
    mLog.messages.clear();
    EXPECT_TRUE(UTransact::IsSessionReceiveComplete(s));
    EXPECT_FALSE(UTransact::IsDataNoticeQueued(mConnection));
    UTransact::DisposeSession(s);
    UApplication::Process();
    EXPECT_FALSE(mLog.Has(kMsgDataArrived));
}

TEST_F(TransactTest, ATimedOutSessionRaises8_103EvenAfterALateReply)
{
    ASSERT_EQ(Connect(), "ready");
    STestReply silent;
    silent.answer = false;
    mServer.SetReply(kTranGetNews, silent);
    StFieldData empty;
    StClockInHand clock;
    TTransactSessionObj* s = UTransact::NewSendSession(mConnection, kTranGetNews);
    UTransact::SetSessionTimeout(s, 50);
    UTransact::SendSessionData(s, empty);
    UClock::Advance(49);
    EXPECT_FALSE(mLog.Has(kMsgTimeout));
    UClock::Advance(1);
    ASSERT_TRUE(mLog.Has(kMsgTimeout));
    ASSERT_TRUE(PumpUntil([&] { return mServer.Received().size() == 1; }, "the request"));
    ASSERT_EQ(mServer.Received().size(), 1u);
    STestPartHeader late;
    late.isReply = 1;
    late.id = mServer.Received()[0].header.id;
    mServer.SendRaw(testwire::EncodeTransaction(late, std::string("\0\0", 2)));
    ASSERT_TRUE(
        PumpUntil([&] { return mServer.IsFlushed() && mLog.Count(kMsgDataArrived) > 0; }, "the late reply"));
    // The server sent nothing in time: the time-out's own error, not the protocol error.
    EXPECT_EQ(RaisedError([&] { UTransact::IsSessionReceiveComplete(s); }), "8/103");
    UTransact::DisposeSession(s);
}

TEST_F(TransactTest, ABadHandshakeSignatureRaises1_8)
{
    mServer.SetHandshake(CTestServer::EHandshake::Garble);
    EXPECT_EQ(Connect(), "1/8");
}

TEST_F(TransactTest, ARefusedHandshakeRaises1_7)
{
    mServer.SetHandshake(CTestServer::EHandshake::Refuse, 1);
    EXPECT_EQ(Connect(), "1/7");
}

TEST_F(TransactTest, AServerThatNeverAnswersTheHandshakeTimesOutWith8_103)
{
    mServer.SetHandshake(CTestServer::EHandshake::Ignore);
    mConnection = UTransact::New(1, 0);
    UTransact::SetMessageHandler(mConnection, SMessageLog::Proc, &mLog);
    StClockInHand clock;
    const SNameAddress a = LoopbackAddress(mServer.Port());
    UTransact::StartConnect(mConnection, &a.record, a.size);
    ASSERT_TRUE(
        PumpUntil([&] { return UTransact::GetConnectStatus(mConnection) == 2; }, "the handshake sent"));
    UClock::Advance(UTransact::kHandshakeTimeoutMs - 1);
    EXPECT_EQ(UTransact::GetConnectStatus(mConnection), 2);
    UClock::Advance(1);
    EXPECT_EQ(PumpConnectStatus(mConnection), "8/103");
    // The expiry is announced as a time-out notice so that the application looks at the connection.
    EXPECT_GT(mLog.Count(kMsgTimeout), 0u);
}

TEST_F(TransactTest, AConnectionLostDuringTheHandshakeRaises8_102)
{
    mServer.SetHandshake(CTestServer::EHandshake::Close);
    EXPECT_EQ(Connect(), "8/102");
}

TEST_F(TransactTest, AHugeAnnouncementFailsTheConnectionWithoutAllocatingIt)
{
    ASSERT_EQ(Connect(), "ready");
    STestPartHeader h;
    h.type = kTranChatMsg;
    h.id = 3;
    h.totalSize = 0xFFFFFFF0;
    h.dataSize = 0xFFFFFFF0;
    mServer.SendRaw(testwire::EncodeHeader(h) + "x");
    EXPECT_EQ(PumpUntilReceiveFails(), "8/111");
    EXPECT_TRUE(UTransact::IsReceiveFailed(mConnection));
    EXPECT_FALSE(UTransact::IsConnected(mConnection));
    // A failed connection takes nothing more in, and says so without raising again.
    mServer.PushTransaction(kTranChatMsg, std::string("\0\0", 2));
    EXPECT_EQ(UTransact::NewReceiveSession(mConnection, 0, 0), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return mServer.ClientClosed(); }, "the client to close"));
}

TEST_F(TransactTest, PartsThatTogetherExceedTheLimitFailTheConnection)
{
    ASSERT_EQ(Connect(), "ready");
    // Each part announces 40 MiB of a 60 MiB body; the second one would cross 64 MiB.
    STestPartHeader h;
    h.type = kTranChatMsg;
    h.id = 4;
    h.totalSize = 60u << 20;
    h.dataSize = 40u << 20;
    std::string part = testwire::EncodeHeader(h) + std::string(h.dataSize, 'p');
    mServer.SendRaw(part);
    mServer.SendRaw(testwire::EncodeHeader(h));
    EXPECT_EQ(PumpUntilReceiveFails(), "8/111");
    EXPECT_TRUE(UTransact::IsReceiveFailed(mConnection));
}
