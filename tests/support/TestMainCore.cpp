// Test entry for the layers below the window toolkit: a core application supplies the event loop.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "framework/runtime/UApplication.h"
#include "platform/EventLoop.h"
#include "platform/Keyring.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    platform::InitEventLoop();
    // No password of a test may reach the keyring of whoever runs it; the keyring tests bring their own.
    platform::SetKeyringBusAddress(QString());
    // Every process of the client has its queue; tests that run alone must not depend on another
    // test having made it.
    UApplication::Init();
    return RUN_ALL_TESTS();
}
