// The open and save dialogs: the filters they offer, what they hand back, and that they wait in the
// framework's modal loop, which drains the queue and ends with a quit.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UAlert.h"
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

// Every window that waits for the user runs the framework's one modal loop, so a quit ends each of them
// alike: an open dialog used to keep Qt's own loop, and the program, running behind a quit. The quit
// flag is never cleared, so this runs in a process of its own.
TEST(FileDialogsDeathTest, AQuitEndsAnOpenDialogAndEveryModalLoopAfterIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static bool watchdogFired;
            watchdogFired = false;
            QTimer::singleShot(3000,
                               []
                               {
                                   watchdogFired = true;
                                   if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
                               });
            UApplication::PostMessage(
                1000, nullptr, 0, 0,
                [](void*, void*, uint32_t, const void*, uint32_t) { UApplication::Quit(); }, nullptr,
                nullptr);
            std::string path;
            const bool chosen = UFileDialogs::SelectFile(nullptr, 0, path);
            const bool dialogGone = QApplication::activeModalWidget() == nullptr;
            // The loops that start after the quit end at once.
            CWindow modal(SRect{50, 50, 250, 150}, kWindowModal);
            modal.Show();
            const uint32_t hit = modal.ProcessModal();
            UAlert::Show("gone", 4);
            _exit(!chosen && dialogGone && hit == 0 && !watchdogFired ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
