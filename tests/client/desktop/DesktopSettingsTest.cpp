// The desktop settings' switch in the options dialog, and the file that keeps it.
#include <gtest/gtest.h>
#include <string>

#include "client/app/CMyApplication.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/desktop/CMyDesktopNotices.h"
#include "client/prefs/CMyOptionsWin.h"
#include "framework/ui/CCheckBoxView.h"
#include "tests/support/CAppHarness.h"

namespace
{
TEST(DesktopSettings, TheOptionsDialogShowsTheSwitch)
{
    CAppHarness h;
    h.Start();
    CMyApplication& app = h.App();
    ASSERT_TRUE(static_cast<CMyDesktop&>(app.Features().Desktop()).Notices().IsOn());
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            ASSERT_NE(w.GetDesktopNoticesBox(), nullptr);
            EXPECT_TRUE(w.GetDesktopNoticesBox()->GetMark());
            w.GetDesktopNoticesBox()->SetMark(false);
            w.Hit(CMyOptionsWin::kHitSave);
        });
    ASSERT_TRUE(app.DoOptions());
    EXPECT_FALSE(static_cast<CMyDesktop&>(app.Features().Desktop()).Notices().IsOn());
    SMySettings kept;
    UMyDesktopSettings::Read(kept);
    EXPECT_FALSE(kept.desktopNotices);

    // And back on, as the dialog shows it.
    h.OnModal<CMyOptionsWin>(
        [](CMyOptionsWin& w)
        {
            EXPECT_FALSE(w.GetDesktopNoticesBox()->GetMark());
            w.GetDesktopNoticesBox()->SetMark(true);
            w.Hit(CMyOptionsWin::kHitSave);
        });
    ASSERT_TRUE(app.DoOptions());
    EXPECT_TRUE(static_cast<CMyDesktop&>(app.Features().Desktop()).Notices().IsOn());
}
} // namespace
