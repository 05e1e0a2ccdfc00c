// 20,000 public chat lines of 80 bytes: from the bytes on the client's socket to the text in the chat
// window (the real application, logged in to the local server), once with time stamps, link finding,
// the mention check and the log all on and once with all of them off, next to appending the same lines
// to a bare Qt text widget of the kind the chat uses, line by line and in one insertion (the floor). Then
// find over 100,000 lines: the time from the search to the first match marked and shown. Prints the
// median, lowest and highest of several runs of each, their ratios, and the process's memory once the
// chat holds the 20,000 lines.
// Run: QT_QPA_PLATFORM=offscreen bin/chat_bench [runs]     (build in Release, without sanitizers)
#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
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
#include "client/app/UMyLinks.h"
#include "client/boxes/MsgBox.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/core/CMyTask.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UWindowServices.h"
#include "platform/EventLoop.h"
#include "tests/support/TestDataFile.h"
#include "tests/support/TurnLoop.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"

namespace
{
constexpr int kLines = 20000;
constexpr int kFindLines = 100000;
constexpr size_t kLineBytes = 80;
using Clock = std::chrono::steady_clock;

// Longer than any run of the benchmark takes.
constexpr uint32_t kWaitMs = 600000;

// "\rRobin:  " and text up to 80 bytes, different on every line; one line in ten holds a link and one in
// a thousand names the user.
std::string Line(int i)
{
    std::string line = "\rRobin:  line " + std::to_string(i);
    if (i % 10 == 0)
        line += " see https://example.org/page for it";
    else if (i % 1000 == 1)
        line += " tester, did you see that";
    else
        line += " of the chat, typed by somebody who has a lot to say";
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

    // The log goes to a folder of the benchmark's own.
    QTemporaryDir data;
    setenv("XDG_DATA_HOME", data.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (data.path() + "/config").toLocal8Bit().constData(), 1);

    std::vector<double> offMs, onMs, bareMs;
    std::vector<double> findRareMs, findSomeMs, findAllMs;
    uint32_t logWrites = 0;
    long before = 0, after = 0;
    {
        CMyApplication app;
        app.StartUp();
        SMySettings& settings = app.Features().Settings();
        UPString::SetText(settings.userName, "tester");
        // Mentions are checked; the desktop's notice service is not what is measured.
        settings.desktopNotices = false;
        app.Features().Windows().SetScrollback(SMySettings::kMaxScrollback);
        const std::string address = "127.0.0.1:" + std::to_string(server.Port());
        uint8_t p[64] = {uint8_t(address.size())};
        std::memcpy(p + 1, address.data(), address.size());
        const uint8_t empty[1] = {0};
        app.Features().Session().SetLogin(empty, empty);
        app.DoConnect(p, nullptr);
        TurnUntil(
            [&]
            {
                return app.Features().Session().IsConnected() && server.CountReceived(101) &&
                       app.Features().Tasks().GetItemCount() == 0;
            },
            kWaitMs);
        CTextView* view = app.Features().Windows().Chat()->GetChatView();
        before = ResidentKiB();
        auto setAll = [&](bool on)
        {
            settings.chatTimeStamps = settings.chatMentions = settings.chatLogs = on;
            if (on)
                UMyLinks::Attach(view);
            else
                view->SetLinkFinder(nullptr);
        };
        // All off and all on take turns, so that the machine's moods fall on both alike.
        for (int run = 0; run < 2 * runs; ++run)
        {
            const bool on = run % 2;
            setAll(on);
            app.Features().Chat().ClearPublicChat();
            TurnUntil([] { return true; }, kWaitMs);
            const uint32_t writes = app.Features().Chat().Log().WriteCount();
            const auto start = Clock::now();
            for (const std::string& body : bodies)
                server.PushTransactionTo(server.LastConnection(), 106, body);
            TurnUntil([&] { return BlockCount(view) >= kLines; }, kWaitMs);
            QApplication::processEvents();
            // What waits for the log's timer is written now, inside the time.
            app.Features().Chat().Log().Flush();
            (on ? onMs : offMs)
                .push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            if (on) logWrites = app.Features().Chat().Log().WriteCount() - writes;
            if (run == 1) after = ResidentKiB();
        }
        if (BlockCount(view) != kLines)
            std::printf("the chat holds %d lines, not %d\n", BlockCount(view), kLines);

        // Find over 100,000 lines: a word on one line near the end, on one line in a hundred, and on
        // every line.
        setAll(false);
        app.Features().Chat().ClearPublicChat();
        std::string all;
        for (int i = 0; i < kFindLines; ++i)
        {
            std::string line = Line(i).substr(1);
            if (i == kFindLines - 10) line.replace(0, 5, "Unica");
            if (i % 100 == 50) line.replace(0, 5, "Centi");
            all += (i ? "\r" : "") + line;
        }
        view->AppendText(all.data(), uint32_t(all.size()));
        QApplication::processEvents();
        std::printf("find over %d lines\n", BlockCount(view));
        for (int run = 0; run < runs; ++run)
            for (auto [needle, ms] :
                 {std::pair{"unica", &findRareMs}, {"centi", &findSomeMs}, {"line", &findAllMs}})
            {
                view->MarkMatches(QString(), false, 0);
                QApplication::processEvents();
                const auto start = Clock::now();
                view->MarkMatches(QString::fromLatin1(needle), false, 0);
                view->TextEdit()->viewport()->repaint();
                ms->push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            }
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

    const SStats off = Summarize(offMs), on = Summarize(onMs), bare = Summarize(bareMs),
                 bareBatch = Summarize(bareBatchMs);
    auto show = [](const char* what, const SStats& s)
    { std::printf("%-44s median %7.1f ms (%.1f - %.1f)\n", what, s.median, s.low, s.high); };
    std::printf("%d lines of %zu bytes, %d runs each\n", kLines, kLineBytes, runs);
    show("client, all on (times, links, mentions, log):", on);
    show("client, all off:", off);
    show("bare text widget, appending line by line:", bare);
    show("bare text widget, one insertion (floor):", bareBatch);
    std::printf("all on / all off: %.2f   all off / floor: %.2f   all on / floor: %.2f\n",
                on.median / off.median, off.median / bareBatch.median, on.median / bareBatch.median);
    std::printf("log writes for %d lines: %u\n", kLines, logWrites);
    show("find, 1 match, marked and shown:", Summarize(findRareMs));
    show("find, 1,000 matches, marked and shown:", Summarize(findSomeMs));
    show("find, 100,000 matches, marked and shown:", Summarize(findAllMs));
    std::printf("resident memory: %ld KiB logged in with an empty chat, %ld KiB with %d lines\n", before,
                after, kLines);
    return 0;
}
