// Throughput of the transaction layer over loopback: absorbing and decoding a large file listing, and
// the rate of small server transactions such as chat lines.
#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstring>
#include <string>

#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "platform/EventLoop.h"
#include "tests/support/TurnLoop.h"
#include "tools/testserver/CTestServer.h"

namespace
{
// Longer than any run of the benchmark takes.
constexpr uint32_t kWaitMs = 600000;

struct SConnection
{
    CTestServer server;
    TTransactObj* connection = nullptr;

    bool Open()
    {
        if (!server.Listen()) return false;
        connection = UTransact::New(1, 0);
        const std::string text = "127.0.0.1:" + std::to_string(server.Port());
        SInternetNameAddress a{kInternetNameAddressType, 0, {}};
        a.name[0] = uint8_t(text.size());
        std::memcpy(a.name + 1, text.data(), text.size());
        UTransact::StartConnect(connection, &a, uint32_t(text.size() + 5));
        return TurnUntil([&] { return UTransact::GetConnectStatus(connection) == 3; }, kWaitMs);
    }
    ~SConnection() { UTransact::Dispose(connection); }
};

// A reply of about 1 MB made of file entries with 30-character names.
std::string FileListBody(uint32_t& outEntries)
{
    testwire::CFields fields;
    outEntries = 0;
    size_t size = 2;
    while (size < 1000000)
    {
        const std::string name = "file number " + std::to_string(outEntries) + std::string(30, 'x');
        const std::string entry = testwire::FileEntry(0x54455854, 0x51564C43, outEntries, name.substr(0, 30));
        fields.Add(kFieldFileEntry, entry);
        size += 4 + entry.size();
        ++outEntries;
    }
    return fields.Bytes();
}

void BM_FileListReply(benchmark::State& state)
{
    SConnection c;
    if (!c.Open())
    {
        state.SkipWithError("no connection");
        return;
    }
    uint32_t entries = 0;
    STestReply reply;
    reply.body = FileListBody(entries);
    c.server.SetReply(kTranGetFileList, reply);
    for (auto _ : state)
    {
        TTransactSessionObj* s = UTransact::NewSendSession(c.connection, kTranGetFileList);
        StFieldData request;
        UTransact::SendSessionData(s, request);
        TurnUntil([&] { return UTransact::IsSessionReceiveComplete(s); }, kWaitMs);
        StFieldData list;
        UTransact::ReceiveSessionData(s, list);
        uint32_t found = 0;
        uint8_t raw[UFieldRecords::kMaxFileEntryRead];
        const uint32_t count = UFieldData::GetFieldCount(list);
        for (uint32_t i = 1; i <= count; ++i)
        {
            if (UFieldData::GetFieldID(list, i) != kFieldFileEntry) continue;
            SFileEntry e;
            if (UFieldRecords::ReadFileEntry(raw, UFieldData::GetFieldByIndex(list, i, raw, sizeof raw), e))
                ++found;
        }
        UTransact::DisposeSession(s);
        if (found != entries) state.SkipWithError("entries lost");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(reply.body.size()));
}
BENCHMARK(BM_FileListReply)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChatTransactions(benchmark::State& state)
{
    SConnection c;
    if (!c.Open())
    {
        state.SkipWithError("no connection");
        return;
    }
    const int batch = 1000;
    const std::string body =
        testwire::CFields()
            .AddInteger(kFieldChatID, 0)
            .Add(kFieldData, "\rAlice:  a chat line of ordinary length, about sixty bytes")
            .Bytes();
    for (auto _ : state)
    {
        for (int i = 0; i < batch; ++i)
            c.server.PushTransaction(kTranChatMsg, body);
        int received = 0;
        TurnUntil(
            [&]
            {
                while (TTransactSessionObj* s = UTransact::NewReceiveSession(c.connection, 0, 1))
                {
                    StFieldData fd;
                    UTransact::ReceiveSessionData(s, fd);
                    uint8_t line[256];
                    UFieldData::GetPString(fd, kFieldData, line, sizeof line);
                    UTransact::DisposeSession(s);
                    ++received;
                }
                return received == batch;
            },
            kWaitMs);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * batch);
}
BENCHMARK(BM_ChatTransactions)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::InitEventLoop();
    UApplication::Init();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
