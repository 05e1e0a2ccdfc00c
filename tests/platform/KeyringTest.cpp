// Passwords kept by a stand-in keyring on a bus of the test's own: what the keyring is given and gives
// back, a locked keyring's unlock window, and the answers without a keyring or without a bus.
#include <gtest/gtest.h>
#include <optional>

#include "platform/Keyring.h"
#include "tests/support/CTestKeyring.h"
#include "tests/support/RunLoopWait.h"

namespace
{
using platform::EKeyring;

class KeyringTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!CPrivateBus::IsAvailable()) GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(keyring.Start(false));
        service = &keyring.Service();
    }
    void TearDown() override
    {
        PumpUntil([] { return platform::PendingKeyringRequests() == 0; }, "the keyring's last answers");
    }

    EKeyring Store(const platform::SKeyringEntry& entry, const QByteArray& password)
    {
        std::optional<EKeyring> result;
        platform::StoreKeyringPassword(entry, password, [&](EKeyring r) { result = r; });
        PumpUntil([&] { return result.has_value(); }, "the keyring to keep a password");
        return result.value_or(EKeyring::Failed);
    }
    std::pair<EKeyring, QByteArray> LookUp(const platform::SKeyringEntry& entry)
    {
        std::optional<std::pair<EKeyring, QByteArray>> result;
        platform::LookUpKeyringPassword(entry,
                                        [&](EKeyring r, const QByteArray& p) { result.emplace(r, p); });
        PumpUntil([&] { return result.has_value(); }, "the keyring to look a password up");
        return result.value_or(std::make_pair(EKeyring::Failed, QByteArray()));
    }
    EKeyring Delete(const platform::SKeyringEntry& entry)
    {
        std::optional<EKeyring> result;
        platform::DeleteKeyringPassword(entry, [&](EKeyring r) { result = r; });
        PumpUntil([&] { return result.has_value(); }, "the keyring to delete a password");
        return result.value_or(EKeyring::Failed);
    }

    const platform::SKeyringEntry robin{"bookmark", "files.example.net:5500", "robin"};
    const platform::SKeyringEntry robinTracker{"tracker", "files.example.net:5500", "robin"};
    CTestKeyring keyring;
    CFakeSecretService* service = nullptr;
};

TEST_F(KeyringTest, KeepsFindsReplacesAndDeletesByEntry)
{
    ASSERT_TRUE(service->Register());
    EXPECT_EQ(Store(robin, "s3cret\xA5"), EKeyring::Done);
    ASSERT_EQ(service->items.size(), 1u);
    const CFakeSecretService::SItem& item = service->items.front();
    EXPECT_EQ(item.attributes.value("application"), "org.quenvol.Quenvol");
    EXPECT_EQ(item.attributes.value("kind"), "bookmark");
    EXPECT_EQ(item.attributes.value("server"), "files.example.net:5500");
    EXPECT_EQ(item.attributes.value("login"), "robin");
    EXPECT_FALSE(item.label.isEmpty());
    EXPECT_EQ(platform::KeyringState(), platform::EKeyringState::There);

    // Bytes come back as they went, and only for their own entry.
    EXPECT_EQ(LookUp(robin), std::make_pair(EKeyring::Done, QByteArray("s3cret\xA5")));
    EXPECT_EQ(LookUp(robinTracker).first, EKeyring::Missing);

    // A second password for the same entry takes the first one's place.
    EXPECT_EQ(Store(robin, "newer"), EKeyring::Done);
    EXPECT_EQ(service->items.size(), 1u);
    EXPECT_EQ(LookUp(robin).second, "newer");

    EXPECT_EQ(Delete(robin), EKeyring::Done);
    EXPECT_TRUE(service->items.empty());
    EXPECT_EQ(LookUp(robin).first, EKeyring::Missing);
    // Deleting what is not kept is no failure.
    EXPECT_EQ(Delete(robin), EKeyring::Done);
    // One session serves every request.
    EXPECT_EQ(service->sessionsOpened, 1);
}

TEST_F(KeyringTest, ALockedKeyringIsReadAfterTheUserUnlocksItAndRefusedWhenTheWindowIsClosed)
{
    ASSERT_TRUE(service->Register());
    ASSERT_EQ(Store(robin, "hunter2"), EKeyring::Done);
    service->LockAll();
    service->closeUnlockWindow = true;
    EXPECT_EQ(LookUp(robin).first, EKeyring::Refused);
    service->closeUnlockWindow = false;
    EXPECT_EQ(LookUp(robin), std::make_pair(EKeyring::Done, QByteArray("hunter2")));
}

TEST_F(KeyringTest, WithoutAKeyringOrABusEveryRequestSaysSoAndAnswersLater)
{
    // A bus without a keyring.
    platform::ProbeKeyring();
    PumpUntil([] { return platform::KeyringState() != platform::EKeyringState::Unknown; },
              "the probe's answer");
    EXPECT_EQ(platform::KeyringState(), platform::EKeyringState::Absent);
    EXPECT_EQ(Store(robin, "x"), EKeyring::NoService);
    EXPECT_EQ(LookUp(robin).first, EKeyring::NoService);

    // No bus at all: the answer still comes through the event loop, never inside the call, so that a
    // caller never meets its own callback half-way through its work.
    platform::SetKeyringBusAddress(QString());
    bool answered = false;
    platform::LookUpKeyringPassword(robin, [&](EKeyring r, const QByteArray&)
                                    { answered = r == EKeyring::NoService; });
    EXPECT_FALSE(answered);
    PumpUntil([&] { return answered; }, "the answer without a bus");

    // A keyring that comes up later is used.
    platform::SetKeyringBusAddress(keyring.Address());
    ASSERT_TRUE(service->Register());
    EXPECT_EQ(Store(robin, "late"), EKeyring::Done);
}
} // namespace
