// The whole client under a dark theme: the online users list paints with the theme's colours, as read
// back from the window's pixels. With QUENVOL_SCREENSHOTS naming a folder, the toolbar and the users
// window are saved there as the user would see them, to look at under any QT_SCALE_FACTOR.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <cstdlib>
#include <gtest/gtest.h>

#include "client/app/CMyOldToolbarWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/ui/CWindow.h"
#include "tests/support/CAppHarness.h"

namespace
{
class StPalette
{
public:
    explicit StPalette(const QPalette& palette) : mOld(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~StPalette() { QApplication::setPalette(mOld); }

private:
    QPalette mOld;
};

QPalette DarkPalette()
{
    QPalette p(QColor(0x35, 0x35, 0x35), QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Base, QColor(0x1c, 0x1e, 0x22));
    p.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x5f, 0x9e));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

void Save(CWindow* window, const char* name)
{
    const char* folder = std::getenv("QUENVOL_SCREENSHOTS");
    if (!folder || !folder[0]) return;
    window->Widget()->grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
}
} // namespace

TEST(DarkTheme, TheOnlineUsersAndTheToolbarFollowTheTheme)
{
    const QPalette dark = DarkPalette();
    StPalette palette(dark);
    CAppHarness h;
    h.model.extraUsers.push_back({900, 410, 0, "Robin"});
    h.model.extraUsers.push_back({901, 414, 2, "Sam"});
    h.Start();
    ASSERT_TRUE(h.Login());
    h.App().DoShowConnectedUsersWin();
    h.App().Features().Windows().ShowToolbar();
    ASSERT_TRUE(h.WaitUntil([&] { return h.OnlineUserNames().size() >= 3; }, "the online users"));
    h.Pump();

    CMyUserListView* list = h.App().Features().Windows().Users()->View();
    QWidget* viewport = static_cast<QAbstractScrollArea*>(list->Widget())->viewport();
    const QImage image = viewport->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const int below = int((list->GetFullHeight() + 4) * ratio);
    ASSERT_LT(below, image.height()) << "the list is too short to show space below its rows";
    EXPECT_EQ(image.pixelColor(image.width() / 2, below).rgb(), dark.color(QPalette::Base).rgb());
    EXPECT_EQ(image.pixelColor(0, int(CMyUserListView::kRowHeight / 2 * ratio)).rgb(),
              dark.color(QPalette::Light).rgb());

    Save(h.App().Features().Windows().Toolbar(), "toolbar");
    Save(h.App().Features().Windows().Users(), "users");
}
