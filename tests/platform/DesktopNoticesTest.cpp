// Notices through a notification service on a bus of the test's own: what the service is asked to show,
// the click that comes back, and the quiet of a desktop without a service or without a bus.
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "platform/DesktopNotices.h"
#include "tests/support/CPrivateBus.h"
#include "tests/support/RunLoopWait.h"

namespace
{
class DesktopNoticesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!CPrivateBus::IsAvailable()) GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(bus.Start());
        service = std::make_unique<CFakeNotificationService>(bus.Address());
        platform::SetNoticeBusAddress(bus.Address());
        platform::SetNoticeClickProc(
            [](void* context, uint32_t tag, const QString& action)
            {
                auto* self = static_cast<DesktopNoticesTest*>(context);
                self->clicks.push_back(tag);
                self->actions.push_back(action);
            },
            this);
    }
    void TearDown() override
    {
        platform::SetNoticeClickProc(nullptr, nullptr);
        platform::SetNoticeBusAddress(QString());
        service.reset();
    }
    bool WaitNotices(size_t count)
    {
        return PumpUntil([&] { return service->notices.size() >= count; }, "notices at the service");
    }
    bool WaitClicks(size_t count)
    {
        return PumpUntil([&] { return clicks.size() >= count; }, "clicks back from the service");
    }

    CPrivateBus bus;
    std::unique_ptr<CFakeNotificationService> service;
    std::vector<uint32_t> clicks;
    std::vector<QString> actions;
};

TEST_F(DesktopNoticesTest, TheServiceGetsNameIconTextAndHintsAndItsClicksComeBack)
{
    ASSERT_TRUE(service->Register());
    platform::ShowDesktopNotice("Private message from Robin", "Lunch? <b>now</b> & later", "im.received", 7);
    platform::ShowDesktopNotice("Transfer finished", "song.mp3", "transfer.complete", 8);
    ASSERT_TRUE(WaitNotices(2));
    const CFakeNotificationService::SNotice& n = service->notices[0];
    EXPECT_EQ(n.appName, "Quenvol");
    EXPECT_EQ(n.icon, "org.quenvol.Quenvol");
    EXPECT_EQ(n.summary, "Private message from Robin");
    // Services may read the body as markup: a server's text must stay text.
    EXPECT_EQ(n.body, "Lunch? &lt;b&gt;now&lt;/b&gt; &amp; later");
    EXPECT_TRUE(n.actions.contains("default")) << n.actions.join(',').toStdString();
    EXPECT_EQ(n.hints.value("category").toString(), "im.received");
    EXPECT_EQ(n.hints.value("desktop-entry").toString(), "org.quenvol.Quenvol");

    service->Click(service->notices[0].id);
    ASSERT_TRUE(WaitClicks(1));
    EXPECT_EQ(clicks, std::vector<uint32_t>{7});

    // Clicks on notices that are not ours, or that closed, mean nothing; the button means "show" too.
    service->Click(4711);
    service->Close(service->notices[0].id);
    service->Click(service->notices[0].id);
    service->Click(service->notices[1].id, "Show");
    ASSERT_TRUE(WaitClicks(2));
    EXPECT_EQ(clicks, (std::vector<uint32_t>{7, 8}));
    EXPECT_EQ(actions, (std::vector<QString>{"default", "default"}));
}

TEST_F(DesktopNoticesTest, FurtherButtonsAreOfferedOnlyWhereTheServiceShowsButtonsAndTheirKeyComesBack)
{
    const QStringList buttons{"open", "Open", "show-in-folder", "Show in Folder"};
    // A service that does not say it shows buttons gets the notice without them.
    ASSERT_TRUE(service->Register());
    platform::ShowDesktopNotice("Transfer finished", "a.txt", "transfer.complete", 1, buttons);
    ASSERT_TRUE(WaitNotices(1));
    EXPECT_EQ(service->notices[0].actions, (QStringList{"default", "Show"}));

    // One that does gets them; it is asked once, on the next bus.
    platform::SetNoticeBusAddress(bus.Address());
    service->capabilities = QStringList{"body", "actions"};
    platform::ShowDesktopNotice("Transfer finished", "b.txt", "transfer.complete", 2, buttons);
    platform::ShowDesktopNotice("Transfer finished", "c.txt", "transfer.complete", 3, buttons);
    platform::ShowDesktopNotice("Private message", "hi", "im.received", 4);
    ASSERT_TRUE(WaitNotices(4));
    EXPECT_EQ(service->capabilityQuestions, 1u);
    EXPECT_EQ(service->notices[1].summary, "Private message") << "one without buttons does not wait";
    EXPECT_EQ(service->notices[2].body, "b.txt");
    EXPECT_EQ(service->notices[3].body, "c.txt") << "those that waited keep their order";
    EXPECT_EQ(service->notices[2].actions, (QStringList{"default", "Show"}) + buttons);
    service->Click(service->notices[2].id, "show-in-folder");
    ASSERT_TRUE(WaitClicks(1));
    EXPECT_EQ(clicks, std::vector<uint32_t>{2});
    EXPECT_EQ(actions, std::vector<QString>{"show-in-folder"});
}

TEST_F(DesktopNoticesTest, WithoutAServiceOrWithoutABusNothingShowsAndNothingIsSaid)
{
    // No service yet: the request fails quietly and is not kept for later.
    platform::ShowDesktopNotice("Lost", "", "", 1);
    ASSERT_TRUE(PumpUntil([] { return platform::PendingDesktopNotices() == 0; }, "the refusal"));
    ASSERT_TRUE(service->Register());
    platform::ShowDesktopNotice("Seen", "", "", 2);
    ASSERT_TRUE(WaitNotices(1));

    platform::SetNoticeBusAddress(QString());
    platform::ShowDesktopNotice("No bus", "", "", 3);
    platform::SetNoticeBusAddress(bus.Address());
    platform::ShowDesktopNotice("Bus again", "", "", 4);
    ASSERT_TRUE(WaitNotices(2));
    ASSERT_EQ(service->notices.size(), 2u);
    EXPECT_EQ(service->notices[0].summary, "Seen");
    EXPECT_EQ(service->notices[1].summary, "Bus again");
}
} // namespace
