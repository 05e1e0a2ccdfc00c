// Windows that belong to one session close with it, and a modal one that outlives its session hands
// back an answer that its runner can tell is stale.
#include <gtest/gtest.h>

#include "client/app/CMySessionWin.h"
#include "client/connection/CMyAgreementWin.h"
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

TEST(SessionWindows, AnAgreementWhoseSessionEndedClosesAndItsAnswerReachesNoLaterSession)
{
    CAppHarness h;
    h.model.agreement = "Be nice.";
    h.Start();
    CMyApplication& app = h.App();
    bool oldAgreementStillUp = false, done = false;
    h.OnModal<CMyAgreementWin>(
        [&](CMyAgreementWin&)
        {
            // The server goes away while the user reads; the user connects again (to a server that asks
            // for no agreement now), and only then answers the old agreement, if it is still there.
            h.server.CloseConnection();
            h.When(
                [&]
                { return !app.Features().Session().IsConnected() && !app.Features().Session().Transactor(); },
                [&]
                {
                    h.model.agreement.clear();
                    const auto address = CAppHarness::P(h.Address()), none = CAppHarness::P("");
                    app.DoConnect(address.data(), nullptr);
                });
            h.When(
                [&]
                {
                    return app.Features().Session().IsConnected() && h.server.CountReceived(101) == 2 &&
                           app.Features().Tasks().GetItemCount() == 0;
                },
                [&]
                {
                    for (CMyAgreementWin* old : h.Windows<CMyAgreementWin>())
                    {
                        oldAgreementStillUp = true;
                        old->Hit(CMyAgreementWin::kHitDisagree);
                    }
                    done = true;
                });
        });
    const auto address = CAppHarness::P(h.Address()), none = CAppHarness::P("");
    app.DoConnect(address.data(), nullptr);
    ASSERT_TRUE(
        h.WaitUntil([&] { return done && CAppHarness::ModalDepth() == 0; }, "the second session", 10000));
    h.Pump();
    EXPECT_FALSE(oldAgreementStillUp);
    EXPECT_TRUE(app.Features().Session().IsConnected()) << "the old agreement's answer ended the new session";
    EXPECT_EQ(h.server.ConnectionCount(), 2u);
    // The first session was lost after its login, so the client waited to come back to it, until the
    // user's own connection ended the waiting.
    EXPECT_FALSE(h.HasBox(131));
    EXPECT_FALSE(app.Features().Connection().Reconnect().IsActive());
}

TEST(SessionWindows, AModalWindowBetweenTwoTurnsOfItsLoopIsLeftToItsRunner)
{
    CAppHarness h;
    h.Start();
    ASSERT_TRUE(h.Login());
    bool destroyed = false;
    CProbeWin win(&destroyed); // owned by its runner, as dialogs run in place are
    win.SetCancelHit(2);
    h.OnModal<CProbeWin>([](CProbeWin& w) { w.Hit(7); });
    ASSERT_EQ(win.ProcessModal(), 7u);
    // The runner handles hit 7 (say, a nested dialog of its own) while the session ends.
    h.App().DoDisconnect();
    EXPECT_FALSE(destroyed);
    h.OnModal<CProbeWin>([](CProbeWin&) {});
    EXPECT_EQ(win.ProcessModal(), 2u); // its next turn ends the loop
    EXPECT_FALSE(win.IsSessionCurrent());
}
