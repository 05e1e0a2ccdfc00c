// The demo server's configuration and its sample folder: what the client's folder windows get to see.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tools/quenvol-server/ServerConfig.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"

namespace
{
using testwire::CFields;

std::string DemoPathRecord(const std::vector<std::string>& levels)
{
    std::string record = testwire::BE16(uint16_t(levels.size()));
    for (const std::string& level : levels)
        record += std::string(2, '\0') + char(level.size()) + level;
    return record;
}

struct SEntry
{
    std::string type;
    uint32_t size;
    std::string name;
};

// Asks the model for a folder listing and reads the file entries back as the client would.
bool List(CServerModel& model, const std::string& pathRecord, std::vector<SEntry>& outEntries)
{
    CTestServer server;
    STestTransaction request{};
    request.header.type = 200;
    request.body = pathRecord.empty() ? CFields().Bytes() : CFields().Add(202, pathRecord).Bytes();
    STestReply reply;
    std::vector<std::pair<uint16_t, std::string>> followUps;
    EXPECT_TRUE(model.Answer(server, 1, request, reply, followUps));
    outEntries.clear();
    for (const auto& [id, data] : CFields::Parse(reply.body))
        if (id == 200)
            outEntries.push_back({data.substr(0, 4), testwire::ReadBE32(data, 8), data.substr(20)});
    return reply.error == 0;
}

CServerModel DemoModel()
{
    CServerModel model;
    std::string error;
    EXPECT_TRUE(ReadServerConfig(QUENVOL_SOURCE_DIR "/tools/quenvol-server/demo.conf", model, error))
        << error;
    return model;
}
} // namespace

TEST(DemoServer, SampleFolderListsFoldersWithItemCountsAndFilesWithTheirCodes)
{
    CServerModel model = DemoModel();
    EXPECT_NE(model.SharedFolder().find("demo-files"), std::string::npos);
    std::vector<SEntry> root;
    ASSERT_TRUE(List(model, "", root));
    ASSERT_GE(root.size(), 3u);
    bool sawSoftware = false, sawReadMe = false;
    for (const SEntry& e : root)
    {
        if (e.name == "Software") sawSoftware = e.type == "fldr" && e.size == 2;
        if (e.name == "Read Me.txt") sawReadMe = e.type == "TEXT" && e.size > 0;
    }
    EXPECT_TRUE(sawSoftware);
    EXPECT_TRUE(sawReadMe);

    std::vector<SEntry> software;
    ASSERT_TRUE(List(model, DemoPathRecord({"Software"}), software));
    ASSERT_EQ(software.size(), 2u);
    EXPECT_EQ(software[0].name, "Old Versions");
    EXPECT_EQ(software[0].type, "fldr");
    EXPECT_EQ(software[1].name, "Release Notes.txt");
    std::vector<SEntry> old;
    EXPECT_TRUE(List(model, DemoPathRecord({"Software", "Old Versions"}), old));
    EXPECT_EQ(old.size(), 1u);
}

TEST(DemoServer, UnknownOrDamagedPathsAreRefusedWithoutReadingPastTheRecord)
{
    CServerModel model = DemoModel();
    std::vector<SEntry> entries;
    EXPECT_FALSE(List(model, DemoPathRecord({"Nowhere"}), entries));
    // Three levels announced, one present: a damaged record names no folder.
    std::string damaged = DemoPathRecord({"Software"});
    damaged[1] = 3;
    EXPECT_FALSE(List(model, damaged, entries));
    EXPECT_TRUE(entries.empty());
}

TEST(DemoServer, ConfigurationMistakesNameTheirLine)
{
    CServerModel model;
    std::string error;
    EXPECT_FALSE(ParseServerConfig("news hello\nfiles /no/such/folder/here\n", model, error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_FALSE(ParseServerConfig("file 10 A/B/c.txt\n", model, error));
    // A relative folder is taken from the configuration file's folder.
    EXPECT_TRUE(
        ParseServerConfig("files demo-files\n", model, error, QUENVOL_SOURCE_DIR "/tools/quenvol-server"));
    EXPECT_NE(model.SharedFolder().find("demo-files"), std::string::npos);
}

TEST(DemoServer, TheConfigurationNamesTheTrackerAndWhatItLists)
{
    CServerModel model;
    SServerTrackerConfig tracker;
    std::string error;
    ASSERT_TRUE(
        ParseServerConfig("tracker 0 Demo | On this machine\nlisted 127.0.0.2 5600 12 Harbour | Boats\n"
                          "listed 127.0.0.3 5500 0 Plain\n",
                          model, tracker, error))
        << error;
    EXPECT_EQ(tracker.port, 0);
    EXPECT_EQ(tracker.name, "Demo");
    EXPECT_EQ(tracker.desc, "On this machine");
    ASSERT_EQ(tracker.listed.size(), 2u);
    EXPECT_EQ(tracker.listed[0].address[3], 2);
    EXPECT_EQ(tracker.listed[0].port, 5600);
    EXPECT_EQ(tracker.listed[0].users, 12);
    EXPECT_EQ(tracker.listed[1].desc, "");
    for (const char* bad : {"listed 127.0.0 5500 1 X\n", "listed 127.0.0.300 5500 1 X\n",
                            "listed 1.2.3.4 0 1 X\n", "tracker 70000 X\n", "tracker 1 | no name\n"})
        EXPECT_FALSE(ParseServerConfig(bad, model, tracker, error)) << bad;
    // The demo's own configuration reads.
    SServerTrackerConfig demo;
    CServerModel demoModel;
    ASSERT_TRUE(ReadServerConfig(std::string(QUENVOL_SOURCE_DIR) + "/tools/quenvol-server/demo.conf",
                                 demoModel, demo, error))
        << error;
    EXPECT_EQ(demo.port, 5498);
    EXPECT_GE(demo.listed.size(), 2u);
}
