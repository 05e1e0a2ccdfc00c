// A closed window's widgets go for good: the program runs no event loop of Qt's, which is where Qt would
// carry out a put-off deletion, so without the run loop's help every window closed in a long session
// stayed in memory. They must not go while something nested is running, though.
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"
#include "tests/framework/ui/UiTestSupport.h"

TEST(ClosedWindow, ItsWidgetIsDestroyedByTheNextTurnOfTheRunLoop)
{
    CHitRecorder app;
    auto* win = new CWindow(SRect{0, 0, 200, 100}, kWindowDocument2);
    win->Show();
    QPointer<QWidget> widget = win->Widget();
    delete win;
    UApplication::Process();
    EXPECT_TRUE(widget.isNull());
}

TEST(ClosedWindow, ANestedTurnLeavesItsWidgetUntilTheOutermostTurn)
{
    CHitRecorder app;
    struct SState
    {
        CWindow* win;
        QPointer<QWidget> widget;
        bool aliveInNestedTurn = false;
        bool ran = false;
    } state{new CWindow(SRect{0, 0, 200, 100}, kWindowDocument2), nullptr};
    state.widget = state.win->Widget();
    // A queued message closes the window and then runs a nested turn, as a modal loop started from the
    // same handler would.
    UApplication::PostMessage(
        1, nullptr, 0, 0,
        [](void* context, void*, uint32_t, const void*, uint32_t)
        {
            auto* s = static_cast<SState*>(context);
            delete s->win;
            UApplication::Process();
            s->aliveInNestedTurn = !s->widget.isNull();
            s->ran = true;
        },
        &state);
    UApplication::Process();
    ASSERT_TRUE(state.ran);
    EXPECT_TRUE(state.aliveInNestedTurn);
    UApplication::Process();
    EXPECT_TRUE(state.widget.isNull());
}
