// Where the environment names no session bus, nothing may start one for the client (Qt's own parts would
// fork a helper and wait for it on the one thread), yet programs the client starts find the desktop as
// they would without it.
#include <QProcessEnvironment>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "platform/MessageBus.h"

namespace
{
// Sets or clears a variable for the scope, and puts back what was there.
class StVariable
{
public:
    StVariable(const char* name, const char* value) : mName(name)
    {
        if (const char* old = std::getenv(name)) mOld = old, mHad = true;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~StVariable() { mHad ? setenv(mName, mOld.c_str(), 1) : unsetenv(mName); }

private:
    const char* mName;
    std::string mOld;
    bool mHad = false;
};
} // namespace

TEST(MessageBusTest, NoBusNamedMeansNoBusForAnyoneButTheChildren)
{
    {
        StVariable address("DBUS_SESSION_BUS_ADDRESS", nullptr);
        StVariable runtime("XDG_RUNTIME_DIR", "/nonexistent-runtime");
        platform::NeverStartASessionBus();
        ASSERT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "disabled:");
        // The client's own parts see no bus: the no-bus address is not taken for one.
        platform::CMessageBus bus(platform::CMessageBus::EKind::Session, "test");
        EXPECT_FALSE(bus.Bus().isConnected());
        EXPECT_FALSE(platform::EnvironmentForChildren().contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")));
    }
    // A bus that is named stays as it is, for the client and for its children.
    StVariable address("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent-bus");
    platform::NeverStartASessionBus();
    EXPECT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "unix:path=/nonexistent-bus");
    EXPECT_EQ(platform::EnvironmentForChildren().value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")),
              QStringLiteral("unix:path=/nonexistent-bus"));
}
