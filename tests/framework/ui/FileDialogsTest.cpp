// The open and save dialogs: the filters they offer, what they hand back, and that the framework queue
// keeps draining while Qt runs the dialog's own loop.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/UFileDialogs.h"

namespace
{
// Answers the dialog that is open once the loop runs: accepts what it shows, or cancels.
void AnswerDialogLater(bool accept)
{
    QTimer::singleShot(50,
                       [accept]
                       {
                           auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                           if (!dialog)
                           {
                               ADD_FAILURE() << "no file dialog is open";
                               return;
                           }
                           if (!accept)
                           {
                               dialog->reject();
                               return;
                           }
                           // QFileDialog hides accept(); through its QDialog face the same override runs.
                           static_cast<QDialog*>(dialog)->accept();
                       });
}
} // namespace

TEST(FileDialogs, KnownTypesNarrowTheListOthersShowEverything)
{
    const uint32_t bookmarks[] = {FourCC("QVbm")};
    EXPECT_EQ(UFileDialogs::FilterFor(bookmarks, 1), "Bookmarks (*.qbm);;All files (*)");
    const uint32_t unknown[] = {FourCC("zzzz")};
    EXPECT_EQ(UFileDialogs::FilterFor(unknown, 1), "");
    EXPECT_EQ(UFileDialogs::FilterFor(nullptr, 0), "");
}

TEST(FileDialogs, SaveOffersTheSuggestedNameAndTheQueueKeepsDrainingMeanwhile)
{
    static bool delivered;
    delivered = false;
    UApplication::PostMessage(
        1000, nullptr, 0, 0, [](void*, void*, uint32_t, const void*, uint32_t) { delivered = true; }, nullptr,
        nullptr);
    AnswerDialogLater(true);
    std::string path;
    const uint8_t name[] = "\x0Aserver.qbm";
    const uint8_t prompt[] = "\x11Save Bookmark As:";
    ASSERT_TRUE(UFileDialogs::SaveFile(name, prompt, "/tmp", path));
    // The suggested name in the given folder, as the user who just presses Save gets it.
    EXPECT_EQ(path, "/tmp/server.qbm");
    EXPECT_TRUE(delivered) << "the framework queue stalled behind the dialog";
}

TEST(FileDialogs, CancelHandsBackNothing)
{
    AnswerDialogLater(false);
    std::string path = "unchanged";
    EXPECT_FALSE(UFileDialogs::SelectFile(nullptr, 0, path));
    EXPECT_EQ(path, "unchanged");
}
