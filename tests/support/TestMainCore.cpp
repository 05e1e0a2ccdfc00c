// Test entry for the layers below the window toolkit: a core application supplies the event loop.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "framework/runtime/UApplication.h"
#include "platform/EventLoop.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    platform::InitEventLoop();
    // Every process of the client has its queue; tests that run alone must not depend on another
    // test having made it.
    UApplication::Init();
    return RUN_ALL_TESTS();
}
