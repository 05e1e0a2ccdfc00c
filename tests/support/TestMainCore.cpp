// Test entry for the layers below the window toolkit: a core application supplies the event loop.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "platform/EventLoop.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    platform::InitEventLoop();
    return RUN_ALL_TESTS();
}
