// Test entry for window tests. The platform is set here because test discovery runs the program
// before CTest's environment applies.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "framework/runtime/UApplication.h"
#include "platform/DesktopNotices.h"
#include "platform/EventLoop.h"
#include "platform/FileManager.h"
#include "platform/Keyring.h"

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    platform::InitEventLoop();
    // No notice of a test may reach the desktop of whoever runs it; the notice tests bring a bus of their
    // own.
    platform::SetNoticeBusAddress(QString());
    // Nor any password: the keyring tests bring a keyring of their own.
    platform::SetKeyringBusAddress(QString());
    platform::SetFileManagerBusAddress(QString());
    // Every process of the client has its queue; tests that run alone must not depend on another
    // test having made it.
    UApplication::Init();
    return RUN_ALL_TESTS();
}
