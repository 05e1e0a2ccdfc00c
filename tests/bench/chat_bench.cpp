// 20,000 public chat lines of 80 bytes: from the bytes on the client's socket to the text in the chat
// window (the real application, logged in to the local server), next to appending the same lines to a
// bare Qt text widget in the same process, line by line and in one insertion. Prints the median, lowest and
// highest of several runs of each, their ratio, and the process's memory once the chat holds the 20,000
// lines. Run: QT_QPA_PLATFORM=offscreen bin/chat_bench [runs]     (build in Release, without sanitizers)
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/core/CMyTask.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UWindowServices.h"
#include "platform/EventLoop.h"
#include "tests/support/TestDataFile.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"

namespace
{
constexpr int kLines = 20000;
constexpr size_t kLineBytes = 80;
using Clock = std::chrono::steady_clock;

template <class F>
bool RunUntil(F&& condition)
{
    for (int turns = 0; turns < 100000000; ++turns)
    {
        UApplication::Process();
        if (condition()) return true;
        UApplication::ProcessAndSleep();
    }
    return false;
}

// "\rRobin:  " and text up to 80 bytes, different on every line.
std::string Line(int i)
{
    std::string line =
        "\rRobin:  line " + std::to_string(i) + " of the chat, typed by somebody who has a lot to say";
    line.resize(kLineBytes, '.');
    return line;
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key)
    {
        if (key == "VmRSS:")
        {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

struct SStats
{
    double median, low, high;
};

SStats Summarize(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

int BlockCount(CTextView* view)
{
    return view->TextEdit()->document()->blockCount();
}
} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QApplication qtApp(argc, argv);
    platform::InitEventLoop();
    UApplication::Init();
    UseBuiltDataFile();
    UWindowServices::Register();
    SetMsgBoxHook([](int16_t, const SMsgBox&) -> uint16_t { return 1; });

    CServerModel model;
    model.guestAccess = CServerModel::AllAccess();
    CTestServer server;
    if (!server.Listen()) return 1;
    server.SetModel(&model);
    std::vector<std::string> bodies;
    for (int i = 0; i < kLines; ++i)
        bodies.push_back(testwire::CFields().Add(101, Line(i)).Bytes());

    std::vector<double> clientMs, bareMs;
    long before = 0, after = 0;
    {
        CMyApplication app;
        app.StartUp();
        const std::string address = "127.0.0.1:" + std::to_string(server.Port());
        uint8_t p[64] = {uint8_t(address.size())};
        std::memcpy(p + 1, address.data(), address.size());
        const uint8_t empty[1] = {0};
        app.Session().SetLogin(empty, empty);
        app.DoConnect(p, nullptr);
        RunUntil(
            [&] {
                return app.Session().IsConnected() && server.CountReceived(101) &&
                       app.Tasks().GetItemCount() == 0;
            });
        CTextView* view = app.Windows().Chat()->GetChatView();
        before = ResidentKiB();
        for (int run = 0; run < runs; ++run)
        {
            app.ClearPublicChat();
            RunUntil([] { return true; });
            const auto start = Clock::now();
            for (const std::string& body : bodies)
                server.PushTransactionTo(server.LastConnection(), 106, body);
            RunUntil([&] { return BlockCount(view) >= kLines; });
            QApplication::processEvents();
            clientMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (run == 0) after = ResidentKiB();
        }
        if (BlockCount(view) != kLines)
            std::printf("the chat holds %d lines, not %d\n", BlockCount(view), kLines);
    }

    for (int run = 0; run < runs; ++run)
    {
        QPlainTextEdit edit;
        edit.resize(360, 140);
        edit.setReadOnly(true);
        edit.show();
        QApplication::processEvents();
        const auto start = Clock::now();
        for (int i = 0; i < kLines; ++i)
            edit.appendPlainText(QString::fromLatin1(Line(i).substr(1)));
        QApplication::processEvents();
        bareMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }

    // The same widget given all the lines in one insertion, as the client's chat view takes a batch.
    std::vector<double> bareBatchMs;
    for (int run = 0; run < runs; ++run)
    {
        QPlainTextEdit edit;
        edit.resize(360, 140);
        edit.setReadOnly(true);
        edit.show();
        QApplication::processEvents();
        const auto start = Clock::now();
        QString all;
        for (int i = 0; i < kLines; ++i)
            all += QString::fromLatin1(Line(i).substr(i == 0 ? 1 : 0));
        QTextCursor end(edit.document());
        end.movePosition(QTextCursor::End);
        end.insertText(all);
        QApplication::processEvents();
        bareBatchMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }

    const SStats client = Summarize(clientMs), bare = Summarize(bareMs), bareBatch = Summarize(bareBatchMs);
    std::printf("%d lines of %zu bytes, %d runs each\n", kLines, kLineBytes, runs);
    std::printf("client, socket to chat view: median %.1f ms (%.1f - %.1f)\n", client.median, client.low,
                client.high);
    std::printf("bare text widget, appending:  median %.1f ms (%.1f - %.1f)\n", bare.median, bare.low,
                bare.high);
    std::printf("bare text widget, one insertion: median %.1f ms (%.1f - %.1f)\n", bareBatch.median,
                bareBatch.low, bareBatch.high);
    std::printf("ratio client / bare: %.2f (to one insertion: %.2f)\n", client.median / bare.median,
                client.median / bareBatch.median);
    std::printf("resident memory: %ld KiB logged in with an empty chat, %ld KiB with %d lines\n", before,
                after, kLines);
    return 0;
}
