// A screen reader reads the online users and a folder's files by name, through the lists' accessibility
// interfaces: the rows are drawn by the client, so nothing else would name them.
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QToolButton>
#include <gtest/gtest.h>

#include "client/app/CMyWindowSet.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyUserListView.h"
#include "tests/client/files/FilesTestSupport.h"

using namespace filestest;

namespace
{
QStringList RowNames(CListView* list)
{
    QStringList names;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list->ScrollArea());
    if (!iface) return names;
    for (int i = 0; i < iface->childCount(); ++i)
        names << iface->child(i)->text(QAccessible::Name);
    return names;
}
} // namespace

TEST(AccessibleRowsTest, UsersAndFilesReadAsTheyAreShown)
{
    CAppHarness h;
    h.model.guestAccess = CServerModel::AllAccess();
    h.model.extraUsers = {{7, 128, 2, "alice"}, {8, 128, 1, "bob"}, {9, 128, 0, "carol"}};
    h.WriteSharedFile("Read Me.txt", std::string(425, 'r'));
    h.WriteSharedFile("Big.bin", std::string(3 * 1024 * 1024, 'b'));
    h.WriteSharedFile("Docs/a.txt", "a");
    h.WriteSharedFile("Empty/");
    h.Start();
    ASSERT_TRUE(h.Login());

    const QStringList users = RowNames(h.App().Features().Windows().Users()->View());
    EXPECT_TRUE(users.contains("alice, administrator")) << users.join(" | ").toStdString();
    EXPECT_TRUE(users.contains("bob, away")) << users.join(" | ").toStdString();
    EXPECT_TRUE(users.contains("carol")) << users.join(" | ").toStdString();

    CMyFolderWin* root = OpenRoot(h);
    ASSERT_NE(root, nullptr);
    const QStringList files = RowNames(root->View());
    EXPECT_TRUE(files.contains("Read Me.txt, 425 bytes")) << files.join(" | ").toStdString();
    EXPECT_TRUE(files.contains("Docs, folder, 1 item")) << files.join(" | ").toStdString();
    EXPECT_TRUE(files.contains("Empty, folder, 0 items")) << files.join(" | ").toStdString();
    bool big = false;
    for (const QString& name : files)
        big = big || (name.startsWith("Big.bin, ") && name.size() > 9);
    EXPECT_TRUE(big) << files.join(" | ").toStdString();
}

// Pins: the icon buttons of the tasks and online users windows read as unnamed buttons.
TEST(AccessibleRowsTest, IconButtonsReadAsWhatTheyDo)
{
    CAppHarness h;
    h.Start();
    auto names = [](CWindow* window)
    {
        QStringList out;
        for (QToolButton* button : window->Widget()->findChildren<QToolButton*>())
            if (button->text().isEmpty())
            {
                QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
                out << (iface ? iface->text(QAccessible::Name) : QString());
            }
        out.sort();
        return out;
    };
    EXPECT_EQ(names(h.App().Features().Windows().Tasks()), (QStringList{"Start Task Now", "Stop Task"}));
    EXPECT_EQ(names(h.App().Features().Windows().Users()),
              (QStringList{"Disconnect User", "Get Info", "Private Chat", "Private Message"}));
}
