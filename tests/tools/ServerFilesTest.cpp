// The local server's shared folder and transfer listener: the real folder on disk behind listings,
// information and changes; nothing outside it reachable by any path, name or link; rights enforced;
// previews served once per reference number.
#include <QTemporaryDir>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

#include "platform/Socket.h"
#include "tests/support/RunLoopWait.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"
#include "tools/testserver/CTestSocket.h"
#include "tools/testserver/CTransferServer.h"

namespace fs = std::filesystem;
using testwire::CFields;

namespace
{
std::string PathRecord(const std::vector<std::string>& levels)
{
    std::string record = testwire::BE16(uint16_t(levels.size()));
    for (const std::string& level : levels)
        record += std::string(2, '\0') + char(level.size()) + level;
    return record;
}

class ServerFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        shared = fs::path(dir.path().toStdString()) / "shared";
        outside = fs::path(dir.path().toStdString()) / "outside";
        Write("Docs/Guide.txt", "guide");
        Write("Docs/Old/Notes.txt", "notes");
        Write("Report.txt", "figures");
        fs::create_directories(outside);
        std::ofstream(outside / "secret.txt") << "secret";
        fs::create_directory_symlink(outside, shared / "Out");
        fs::create_symlink(outside / "secret.txt", shared / "Secret.txt");
        ASSERT_TRUE(model.ShareFolder(shared.string()));
        model.guestAccess = CServerModel::AllAccess();
        model.transfers = &transfers;
        Ask(107, CFields().Bytes());
    }

    void Write(const std::string& path, const std::string& bytes)
    {
        fs::create_directories((shared / path).parent_path());
        std::ofstream(shared / path, std::ios::binary) << bytes;
    }

    STestReply Ask(uint16_t type, const std::string& body)
    {
        STestTransaction request{};
        request.header.type = type;
        request.body = body;
        STestReply reply;
        std::vector<std::pair<uint16_t, std::string>> followUps;
        EXPECT_TRUE(model.Answer(server, 1, request, reply, followUps));
        return reply;
    }

    // A request about one item: its folder's path record (none for the root) and its name.
    STestReply AskItem(uint16_t type, const std::vector<std::string>& folder, const std::string& name,
                       CFields more = CFields())
    {
        CFields fields;
        fields.Add(201, name);
        if (!folder.empty()) fields.Add(202, PathRecord(folder));
        for (const auto& [id, data] : CFields::Parse(more.Bytes()))
            fields.Add(id, data);
        return Ask(type, fields.Bytes());
    }

    std::vector<std::string> Names(const std::vector<std::string>& folder)
    {
        const STestReply reply =
            Ask(200, folder.empty() ? CFields().Bytes() : CFields().Add(202, PathRecord(folder)).Bytes());
        std::vector<std::string> names;
        for (const auto& [id, data] : CFields::Parse(reply.body))
            if (id == 200) names.push_back(data.substr(20));
        return names;
    }

    QTemporaryDir dir;
    fs::path shared, outside;
    CServerModel model;
    CTestServer server;
    CTransferServer transfers;
};
} // namespace

TEST_F(ServerFilesTest, ListingsCarryCodesSizesAndItemCountsAndShowLinksAsAliases)
{
    const STestReply reply = Ask(200, CFields().Bytes());
    std::map<std::string, std::string> entries;
    for (const auto& [id, data] : CFields::Parse(reply.body))
        entries[data.substr(20)] = data;
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries["Docs"].substr(0, 12), "fldr" + std::string(4, '\0') + testwire::BE32(2));
    EXPECT_EQ(entries["Report.txt"].substr(0, 12), "TEXTttxt" + testwire::BE32(7));
    EXPECT_EQ(entries["Out"].substr(0, 4), "alis");
    EXPECT_EQ(entries["Secret.txt"].substr(0, 4), "alis");
}

TEST_F(ServerFilesTest, NoPathNameOrLinkReachesOutsideTheSharedFolder)
{
    EXPECT_EQ(Ask(200, CFields().Add(202, PathRecord({".."})).Bytes()).error, 1u);
    EXPECT_EQ(Ask(200, CFields().Add(202, PathRecord({"Out"})).Bytes()).error, 1u);
    EXPECT_EQ(Ask(200, CFields().Add(202, PathRecord({"Docs/../.."})).Bytes()).error, 1u);
    EXPECT_EQ(Ask(200, CFields().Add(202, PathRecord({std::string("Docs\0", 5)})).Bytes()).error, 1u);
    // A record with bytes its count does not account for.
    EXPECT_EQ(Ask(200, CFields().Add(202, PathRecord({"Docs"}) + "zz").Bytes()).error, 1u);
    EXPECT_EQ(AskItem(206, {}, "../outside/secret.txt").error, 1u);
    EXPECT_EQ(AskItem(206, {"Out"}, "secret.txt").error, 1u);
    EXPECT_EQ(AskItem(202, {}, "Secret.txt", CFields().AddInteger(204, 2)).error, 1u);
    EXPECT_EQ(AskItem(205, {}, "..").error, 1u);
    EXPECT_EQ(AskItem(207, {}, "Report.txt", CFields().Add(211, "../stolen.txt")).error, 1u);
    EXPECT_EQ(AskItem(208, {}, "Report.txt", CFields().Add(212, PathRecord({"Out"}))).error, 1u);
    EXPECT_EQ(AskItem(209, {"Out"}, "secret.txt").error, 1u);
    EXPECT_TRUE(fs::exists(shared / "Report.txt"));
    EXPECT_FALSE(fs::exists(outside / "stolen.txt"));
    // Deleting a link takes the link, never what it leads to.
    EXPECT_EQ(AskItem(204, {}, "Out").error, 0u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(shared / "Out")));
    EXPECT_TRUE(fs::exists(outside / "secret.txt"));
}

TEST_F(ServerFilesTest, ChangesHappenOnDiskAndCommentsFollowTheirItems)
{
    EXPECT_EQ(AskItem(205, {"Docs"}, "Letters").error, 0u);
    EXPECT_TRUE(fs::is_directory(shared / "Docs/Letters"));
    EXPECT_EQ(AskItem(205, {"Docs"}, "Letters").error, 1u);

    EXPECT_EQ(AskItem(207, {"Docs"}, "Old", CFields().Add(210, "archive")).error, 0u);
    EXPECT_EQ(model.comments["Docs/Old"], "archive");
    model.comments["Docs/Old/Notes.txt"] = "inner";
    EXPECT_EQ(AskItem(207, {"Docs"}, "Old", CFields().Add(211, "Attic")).error, 0u);
    EXPECT_TRUE(fs::exists(shared / "Docs/Attic/Notes.txt"));
    EXPECT_EQ(model.comments["Docs/Attic"], "archive");
    EXPECT_EQ(model.comments["Docs/Attic/Notes.txt"], "inner");
    // Renaming onto an existing item would lose it.
    EXPECT_EQ(AskItem(207, {"Docs"}, "Attic", CFields().Add(211, "Guide.txt")).error, 1u);
    // The same name again is no change.
    EXPECT_EQ(AskItem(207, {"Docs"}, "Attic", CFields().Add(211, "Attic")).error, 0u);

    EXPECT_EQ(AskItem(208, {"Docs"}, "Attic").error, 0u); // no destination: the root
    EXPECT_TRUE(fs::exists(shared / "Attic/Notes.txt"));
    EXPECT_EQ(model.comments["Attic/Notes.txt"], "inner");
    EXPECT_EQ(AskItem(208, {}, "Attic", CFields().Add(212, PathRecord({"Attic"}))).error, 1u);
    EXPECT_TRUE(fs::exists(shared / "Attic"));

    EXPECT_EQ(AskItem(209, {}, "Report.txt", CFields().Add(212, PathRecord({"Docs"}))).error, 0u);
    EXPECT_TRUE(fs::is_symlink(shared / "Docs/Report.txt"));
    EXPECT_EQ(fs::canonical(shared / "Docs/Report.txt"), fs::canonical(shared / "Report.txt"));
    // An alias moved elsewhere still leads to its original.
    EXPECT_EQ(AskItem(208, {"Docs"}, "Report.txt", CFields().Add(212, PathRecord({"Attic"}))).error, 0u);
    EXPECT_EQ(fs::canonical(shared / "Attic/Report.txt"), fs::canonical(shared / "Report.txt"));

    EXPECT_EQ(AskItem(204, {}, "Attic").error, 0u);
    EXPECT_FALSE(fs::exists(shared / "Attic"));
    EXPECT_EQ(model.comments.count("Attic/Notes.txt"), 0u);
    EXPECT_TRUE(fs::exists(shared / "Report.txt"));
}

TEST_F(ServerFilesTest, InformationCarriesKindDatesSizeAndComment)
{
    model.comments["Report.txt"] = "figures of the year";
    const STestReply reply = AskItem(206, {}, "Report.txt");
    EXPECT_EQ(CFields::Find(reply.body, 201), "Report.txt");
    EXPECT_EQ(CFields::Find(reply.body, 213), "TEXT");
    EXPECT_EQ(CFields::Find(reply.body, 210), "figures of the year");
    EXPECT_EQ(CFields::Find(reply.body, 207), testwire::BE16(7));
    const std::string modified = CFields::Find(reply.body, 209);
    ASSERT_EQ(modified.size(), 8u);
    EXPECT_GE(testwire::ReadBE16(modified, 0), 2024);
    EXPECT_LT(testwire::ReadBE32(modified, 4), 366u * 86400u);
}

TEST_F(ServerFilesTest, ChangesNeedTheirRights)
{
    model.guestAccess = SAccessBits{};
    Ask(107, CFields().Bytes());
    EXPECT_EQ(AskItem(204, {}, "Report.txt").error, 1u);
    EXPECT_EQ(AskItem(205, {}, "New").error, 1u);
    EXPECT_EQ(AskItem(207, {}, "Report.txt", CFields().Add(211, "Other.txt")).error, 1u);
    EXPECT_EQ(AskItem(208, {}, "Report.txt", CFields().Add(212, PathRecord({"Docs"}))).error, 1u);
    EXPECT_EQ(AskItem(202, {}, "Report.txt", CFields().AddInteger(204, 2)).error, 1u);
    EXPECT_TRUE(fs::exists(shared / "Report.txt"));
    EXPECT_FALSE(fs::exists(shared / "New"));
}

TEST_F(ServerFilesTest, APreviewIsServedOnceOnThePortAfterTheServersAndThenClosed)
{
    ASSERT_TRUE(CTransferServer::ListenPair(server, transfers));
    EXPECT_EQ(transfers.Port(), server.Port() + 1);
    const STestReply reply = AskItem(202, {}, "Report.txt", CFields().AddInteger(204, 2));
    ASSERT_EQ(reply.error, 0u);
    const std::string ref = CFields::Find(reply.body, 107);
    EXPECT_EQ(CFields::Find(reply.body, 108), testwire::BE16(7));
    const uint32_t refNum = ref.size() == 4 ? testwire::ReadBE32(ref, 0) : testwire::ReadBE16(ref, 0);

    // A client that quotes the number gets the bytes, then the close; the number is used up.
    auto connect = [&](const std::string& handshake)
    {
        int fd = -1;
        EXPECT_EQ(platform::OpenStreamSocket(fd), 0);
        const int err = platform::ConnectIPv4(fd, platform::LoopbackAddressBE(), transfers.Port());
        EXPECT_TRUE(err == 0 || err == EINPROGRESS);
        auto socket = std::make_unique<CTestSocket>(fd, true);
        socket->Write(handshake);
        return socket;
    };
    const std::string handshake = "QVXF" + testwire::BE32(refNum) + std::string(8, '\0');
    bool closed = false;
    auto client = connect(handshake);
    client->onClosed = [&] { closed = true; };
    ASSERT_TRUE(PumpUntil([&] { return closed; }, "the preview and its close"));
    EXPECT_EQ(client->Input(), "figures");
    EXPECT_FALSE(transfers.HasJob(refNum));

    bool closedAgain = false;
    auto again = connect(handshake);
    again->onClosed = [&] { closedAgain = true; };
    ASSERT_TRUE(PumpUntil([&] { return closedAgain; }, "the second use to be refused"));
    EXPECT_TRUE(again->Input().empty());
    bool closedGarbage = false;
    auto garbage = connect("HTTP/1.0 GET /\r\n\r\n");
    garbage->onClosed = [&] { closedGarbage = true; };
    ASSERT_TRUE(PumpUntil([&] { return closedGarbage; }, "a stranger to be refused"));
    EXPECT_EQ(transfers.Connections().size(), 3u);
}

TEST_F(ServerFilesTest, AHandlerGivenForAKindGetsTheBytesThatFollowTheHandshake)
{
    ASSERT_TRUE(CTransferServer::ListenPair(server, transfers));
    std::string received;
    bool clientGone = false;
    transfers.SetHandler(STransferJob::EKind::Upload,
                         [&](CTransferServer&, STransferConnection& c)
                         {
                             c.onData = [&, conn = &c]
                             {
                                 received += conn->socket->Input();
                                 conn->socket->Input().clear();
                             };
                             c.onClosed = [&] { clientGone = true; };
                         });
    STransferJob job;
    job.kind = STransferJob::EKind::Upload;
    const uint32_t refNum = transfers.AddJob(job);
    int fd = -1;
    ASSERT_EQ(platform::OpenStreamSocket(fd), 0);
    platform::ConnectIPv4(fd, platform::LoopbackAddressBE(), transfers.Port());
    auto client = std::make_unique<CTestSocket>(fd, true);
    // The bytes come with the handshake in one piece, and more follow.
    client->Write("QVXF" + testwire::BE32(refNum) + testwire::BE32(10) + std::string(4, '\0') + "hello");
    ASSERT_TRUE(PumpUntil([&] { return received == "hello"; }, "the bytes behind the handshake"));
    client->Write("world");
    ASSERT_TRUE(PumpUntil([&] { return received == "helloworld"; }, "the bytes that follow"));
    client.reset();
    EXPECT_TRUE(PumpUntil([&] { return clientGone; }, "the client's close"));
}
