// Quit signals reach the program through its event loop, once however many arrive before it turns, and
// take their default action again once nobody watches.
#include <csignal>
#include <gtest/gtest.h>

#include "platform/QuitSignals.h"
#include "tests/support/RunLoopWait.h"

TEST(QuitSignalsTest, SignalsArriveThroughTheLoopAndTheDefaultComesBack)
{
    int calls = 0;
    int err = -1;
    platform::QuitSignalsObj* watcher =
        platform::WatchQuitSignals([](void* context) { ++*static_cast<int*>(context); }, &calls, err);
    ASSERT_NE(watcher, nullptr);
    EXPECT_EQ(err, 0);

    // Nothing is called from inside the handler: only the loop tells.
    raise(SIGTERM);
    raise(SIGINT);
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(PumpUntil([&] { return calls > 0; }, "the quit signals to be told"));
    EXPECT_EQ(calls, 1) << "two signals before the loop turned are one request";

    raise(SIGHUP);
    ASSERT_TRUE(PumpUntil([&] { return calls == 2; }, "a later signal to be told again"));

    platform::StopWatchingQuitSignals(watcher);
    struct sigaction action = {};
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
    {
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << signal << " still caught after the watch ended";
    }
}
