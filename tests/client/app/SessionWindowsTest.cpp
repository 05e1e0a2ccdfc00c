// Windows that belong to one session close with it, and a modal one that outlives its session hands
// back an answer that its runner can tell is stale.
#include <gtest/gtest.h>

#include "client/app/CMySessionWin.h"
#include "framework/runtime/UApplication.h"
#include "tests/support/CAppHarness.h"

namespace
{
class CProbeWin : public CMySessionWin
{
public:
    explicit CProbeWin(bool* destroyed)
        : CMySessionWin(SRect{0, 0, 100, 60}, kWindowDocument), mDestroyed(destroyed)
    {
    }
    ~CProbeWin() override { *mDestroyed = true; }

private:
    bool* mDestroyed;
};
} // namespace

TEST(SessionWindows, AWindowOfASessionIsDestroyedWhenTheSessionEnds)
{
    CAppHarness h;
    h.Start();
    ASSERT_TRUE(h.Login());
    bool destroyed = false, kept = false;
    new CProbeWin(&destroyed);
    auto* closedByUser = new CProbeWin(&kept);
    delete closedByUser; // leaves the application's list on its own
    kept = false;
    h.App().DoDisconnect();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(kept);
}

TEST(SessionWindows, AModalWindowWhoseSessionEndedTellsItsRunner)
{
    CAppHarness h;
    h.Start();
    ASSERT_TRUE(h.Login());
    bool destroyed = false;
    auto* win = new CProbeWin(&destroyed);
    win->SetCancelHit(2);
    // The session ends while the dialog waits for the user, and a new one begins.
    h.OnModal<CProbeWin>([&](CProbeWin&) { h.server.CloseConnection(); });
    EXPECT_TRUE(win->IsSessionCurrent());
    const uint32_t hit = win->ProcessModal();
    EXPECT_EQ(hit, 2u);
    EXPECT_FALSE(destroyed); // its runner destroys it
    EXPECT_FALSE(win->IsSessionCurrent());
    ASSERT_TRUE(h.Login());
    EXPECT_FALSE(win->IsSessionCurrent()); // a later session is not the window's
    delete win;
    EXPECT_TRUE(destroyed);
    h.Pump();
}
