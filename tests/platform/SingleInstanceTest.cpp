// One client per user: the claim, later starts handing over their documents, a socket left by a crashed
// client, and whatever else connects to the socket.
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "platform/SingleInstance.h"
#include "platform/Socket.h"
#include "tests/support/RunLoopWait.h"

namespace
{
class SingleInstanceTest : public testing::Test
{
protected:
    void TearDown() override
    {
        platform::DisposeHandOff(mHandOff);
        platform::ReleaseInstance(mInstance);
    }

    std::string Folder() const { return mDir.path().toStdString(); }
    std::string SocketPath() const { return Folder() + "/quenvol-instance.socket"; }

    void Claim()
    {
        int err = -1;
        ASSERT_EQ(platform::ClaimInstance(Folder(), mInstance, err), platform::EInstanceClaim::Claimed);
        EXPECT_EQ(err, 0);
    }
    void Receive()
    {
        platform::SetInstanceItemsProc(
            mInstance,
            [](void* context, const std::vector<std::string>& items)
            { static_cast<SingleInstanceTest*>(context)->received.push_back(items); },
            this);
    }
    void HandOff(const std::vector<std::string>& items, uint32_t timeoutMs = 5000)
    {
        platform::DisposeHandOff(mHandOff);
        mDone = false;
        mHandOff = platform::StartHandOff(
            Folder(), items, timeoutMs,
            [](void* context, int result)
            {
                auto* self = static_cast<SingleInstanceTest*>(context);
                self->mDone = true;
                self->result = result;
            },
            this);
    }
    bool WaitSent()
    {
        return PumpUntil([this] { return platform::HandOffAwaitsAnswer(mHandOff); }, "the items to be sent");
    }
    // Enough turns of the loop for a client that listens to accept, read and answer a hand-off already in
    // its socket, and for the answer to arrive: what has not happened by then is not going to.
    static void TurnLoop()
    {
        for (int i = 0; i < 10; ++i)
            UApplication::Process();
    }
    bool WaitHandOff(uint32_t watchdogMs = 5000)
    {
        return PumpUntil([this] { return mDone; }, "the hand-off to end", watchdogMs);
    }

    // A raw connection, as any program of the user could make one.
    int ConnectRaw()
    {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        SocketPath().copy(address.sun_path, sizeof(address.sun_path) - 1);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }
    static void Send(int fd, const std::string& bytes)
    {
        size_t sent = 0;
        ASSERT_EQ(platform::SendSome(fd, bytes.data(), bytes.size(), sent), 0);
        ASSERT_EQ(sent, bytes.size());
    }
    // Pumps until the receiver closed the connection; true when it did so without answering.
    static bool ClosedUnanswered(int fd)
    {
        bool closed = false, answered = false;
        PumpUntil(
            [&]
            {
                char byte;
                size_t got = 0;
                const int err = platform::ReceiveSome(fd, &byte, 1, got, closed);
                answered = answered || got > 0;
                return closed || (err && err != EAGAIN);
            },
            "the receiver to close the connection");
        platform::CloseSocket(fd);
        return !answered;
    }
    static std::string Message(const std::vector<std::string>& items)
    {
        std::string m = "QVdo";
        m += char(items.size() >> 8), m += char(items.size());
        for (const std::string& item : items)
        {
            m += char(item.size() >> 8), m += char(item.size());
            m += item;
        }
        return m;
    }

    QTemporaryDir mDir;
    platform::InstanceObj* mInstance = nullptr;
    platform::HandOffObj* mHandOff = nullptr;
    bool mDone = false;
    int result = -1;
    std::vector<std::vector<std::string>> received;
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsItemsToTheClaimAndHearsTheyWereTaken)
{
    Claim();
    Receive();
    // The claim is held: any later claim (even from this process) finds a client running.
    platform::InstanceObj* second = nullptr;
    int err = 0;
    EXPECT_EQ(platform::ClaimInstance(Folder(), second, err), platform::EInstanceClaim::Running);
    EXPECT_EQ(second, nullptr);

    const std::vector<std::string> items = {"quenvol://example.org:5600", "/home/u/Servers/Home.qbm"};
    HandOff(items);
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], items);

    // A start without documents is told to the client too: it comes forward.
    HandOff({});
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, 0);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_TRUE(received[1].empty());
}

TEST_F(SingleInstanceTest, LaterStartsWaitUntilTheClientCanTakeThem)
{
    // The client claims at once but takes documents only once its application exists.
    Claim();
    HandOff({"quenvol://a"});
    ASSERT_TRUE(WaitSent());
    TurnLoop();
    EXPECT_FALSE(mDone) << "answered before anybody could take the items";
    Receive();
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], std::vector<std::string>{"quenvol://a"});
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashedClientIsTakenOver)
{
    // What a crash leaves: the kernel dropped the lock, the socket file stayed and nobody listens on it.
    {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        SocketPath().copy(address.sun_path, sizeof(address.sun_path) - 1);
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(listen(fd, 1), 0);
        close(fd);
    }
    ASSERT_EQ(access(SocketPath().c_str(), F_OK), 0);
    Claim();
    Receive();
    HandOff({"quenvol://b"});
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, 0);
    ASSERT_EQ(received.size(), 1u);

    // A client that quits removes its socket and lets go of the claim.
    platform::ReleaseInstance(mInstance);
    mInstance = nullptr;
    EXPECT_NE(access(SocketPath().c_str(), F_OK), 0);
    HandOff({"quenvol://c"}, 200);
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, ETIMEDOUT);
    Claim();
}

TEST_F(SingleInstanceTest, AClientThatNeverAnswersOrGoesAwayIsToldApart)
{
    Claim();
    HandOff({"quenvol://a"}, 150);
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, ETIMEDOUT);

    // Quitting while a later start waits for its answer: that start may claim for itself.
    HandOff({"quenvol://a"});
    ASSERT_TRUE(WaitSent());
    platform::ReleaseInstance(mInstance);
    mInstance = nullptr;
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, ECONNRESET);

    // Too much for one hand-off is refused before anything is sent.
    HandOff(std::vector<std::string>(platform::kHandOffMaxItems + 1, "x"));
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, E2BIG);
    HandOff({std::string(platform::kHandOffMaxItemSize + 1, 'x')});
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, E2BIG);
}

TEST_F(SingleInstanceTest, WhateverElseConnectsIsReadAsUntrusted)
{
    Claim();
    Receive();
    // A message in single bytes is put together.
    {
        int fd = ConnectRaw();
        for (char c : Message({"quenvol://slow"}))
        {
            Send(fd, std::string(1, c));
            UApplication::Process();
        }
        bool closed = false;
        char answer = 0;
        ASSERT_TRUE(PumpUntil(
            [&]
            {
                size_t got = 0;
                platform::ReceiveSome(fd, &answer, 1, got, closed);
                return got == 1 || closed;
            },
            "the answer"));
        EXPECT_EQ(answer, 'Y');
        platform::CloseSocket(fd);
    }
    ASSERT_EQ(received.size(), 1u);

    std::string tooMany = Message(std::vector<std::string>(platform::kHandOffMaxItems + 1, "x"));
    std::string tooLong = Message({std::string(platform::kHandOffMaxItemSize + 1, 'x')});
    std::string withNul = Message({std::string("a\0b", 3)});
    std::string trailing = Message({"quenvol://a"}) + "!";
    for (const std::string& bad :
         {std::string("HELLO, is anybody there?"), tooMany, tooLong, withNul, trailing})
    {
        int fd = ConnectRaw();
        Send(fd, bad);
        EXPECT_TRUE(ClosedUnanswered(fd)) << bad.substr(0, 16);
    }
    // A connection that says something and goes away is forgotten.
    {
        int fd = ConnectRaw();
        Send(fd, Message({"quenvol://x"}).substr(0, 8));
        platform::CloseSocket(fd);
    }
    EXPECT_EQ(received.size(), 1u);

    // And the client still serves an honest start.
    HandOff({"quenvol://after"});
    ASSERT_TRUE(WaitHandOff());
    EXPECT_EQ(result, 0);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1], std::vector<std::string>{"quenvol://after"});
}

TEST(InstanceFolder, WithoutARuntimeFolderAPrivateOneIsMade)
{
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    setenv("XDG_RUNTIME_DIR", "relative/is/ignored", 1);
    std::string folder;
    EXPECT_EQ(platform::InstanceFolder(folder), 0);
    EXPECT_EQ(folder, "/tmp/quenvol-" + std::to_string(getuid()));
    struct stat st
    {
    };
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
    setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(platform::InstanceFolder(folder), 0);
    EXPECT_EQ(folder, "/run/user/4242");
    if (old)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}
} // namespace
