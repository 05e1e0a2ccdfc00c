// The server model's accounts and the access each request needs: what the local test server and the
// demo server answer when clients administer accounts, disconnect users, post news and broadcast.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"

namespace
{
using testwire::CFields;

class ServerAccountsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        model.accounts["admin"] = {"admin", "Administrator", CServerModel::AllAccess()};
        model.accounts["bob"] = {"secret", "Bob", {0x60, 0x60, 0x0C, 0x20, 0, 0, 0, 0}};
    }
    STestReply Ask(uint32_t connection, uint16_t type, const std::string& body)
    {
        STestTransaction request{};
        request.header.type = type;
        request.body = body;
        STestReply reply;
        std::vector<std::pair<uint16_t, std::string>> followUps;
        EXPECT_TRUE(model.Answer(server, connection, request, reply, followUps)) << type;
        return reply;
    }
    STestReply LogIn(uint32_t connection, const std::string& login, const std::string& password)
    {
        return Ask(connection, 107,
                   CFields()
                       .Add(105, CServerModel::Complement(login))
                       .Add(106, CServerModel::Complement(password))
                       .Add(102, login.empty() ? "guest" : login)
                       .Bytes());
    }
    static std::string Account(const std::string& login, const std::string& password, const std::string& name,
                               const std::string& access)
    {
        CFields f;
        f.Add(105, CServerModel::Complement(login));
        if (!password.empty())
            f.Add(106, password == std::string(1, '\0') ? password : CServerModel::Complement(password));
        return f.Add(102, name).Add(110, access).Bytes();
    }

    CServerModel model;
    CTestServer server;
};
} // namespace

TEST_F(ServerAccountsTest, EveryAdministrativeRequestNeedsItsAccessBit)
{
    ASSERT_EQ(LogIn(1, "bob", "secret").error, 0u);
    const std::vector<std::pair<uint16_t, std::string>> requests = {
        {350, Account("new", "pw", "New", std::string(8, '\0'))},
        {351, CFields().Add(105, CServerModel::Complement("admin")).Bytes()},
        {352, CFields().Add(105, "admin").Bytes()},
        {353, Account("admin", "x", "Admin", std::string(8, '\0'))},
        {110, CFields().AddInteger(103, 1).Bytes()},
        {303, CFields().AddInteger(103, 1).Bytes()},
        {355, CFields().Add(101, "hi").Bytes()},
    };
    for (const auto& [type, body] : requests)
    {
        const STestReply reply = Ask(1, type, body);
        EXPECT_NE(reply.error, 0u) << type;
        EXPECT_NE(CFields::Find(reply.body, 100), "") << type;
    }
    EXPECT_EQ(model.accounts.size(), 2u);
    EXPECT_EQ(model.accounts["admin"].name, "Administrator");
    // Bob may post news.
    EXPECT_EQ(Ask(1, 103, CFields().Add(101, "by Bob").Bytes()).error, 0u);
    EXPECT_NE(model.news.find("by Bob"), std::string::npos);
}

TEST_F(ServerAccountsTest, AccountsLastForTheRunAndKeepTheirPasswordsSecret)
{
    ASSERT_EQ(LogIn(1, "admin", "admin").error, 0u);
    EXPECT_EQ(Ask(1, 350, Account("carol", "pw1", "Carol", std::string("\x60\x60", 2))).error, 0u);
    // Twice the same login, or none: refused.
    EXPECT_NE(Ask(1, 350, Account("carol", "pw2", "Other", "")).error, 0u);
    EXPECT_NE(Ask(1, 350, Account("", "pw2", "Nobody", "")).error, 0u);
    EXPECT_EQ(model.accounts["carol"].password, "pw1");
    EXPECT_EQ(model.accounts["carol"].access, (SAccessBits{0x60, 0x60, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LogIn(2, "carol", "pw1").error, 0u);

    // Opening it tells only that there is a password.
    const STestReply opened = Ask(1, 352, CFields().Add(105, "carol").Bytes());
    ASSERT_EQ(opened.error, 0u);
    EXPECT_EQ(CFields::Find(opened.body, 105), CServerModel::Complement("carol"));
    EXPECT_EQ(CFields::Find(opened.body, 102), "Carol");
    EXPECT_FALSE(CFields::Find(opened.body, 106).empty());
    EXPECT_EQ(opened.body.find(CServerModel::Complement("pw1")), std::string::npos);

    // The one byte 0 keeps the password; another one replaces it; none clears it.
    EXPECT_EQ(Ask(1, 353, Account("carol", std::string(1, '\0'), "Caro", std::string(8, '\x11'))).error, 0u);
    EXPECT_EQ(model.accounts["carol"].password, "pw1");
    EXPECT_EQ(model.accounts["carol"].name, "Caro");
    EXPECT_EQ(model.AccessOf(2), (SAccessBits{0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11}));
    EXPECT_EQ(Ask(1, 353, Account("carol", "pw3", "Caro", "")).error, 0u);
    EXPECT_EQ(model.accounts["carol"].password, "pw3");
    EXPECT_EQ(Ask(1, 353, Account("carol", "", "Caro", "")).error, 0u);
    EXPECT_EQ(model.accounts["carol"].password, "");

    EXPECT_EQ(Ask(1, 351, CFields().Add(105, CServerModel::Complement("carol")).Bytes()).error, 0u);
    EXPECT_EQ(model.accounts.count("carol"), 0u);
    EXPECT_NE(Ask(1, 351, CFields().Add(105, CServerModel::Complement("carol")).Bytes()).error, 0u);
    EXPECT_NE(Ask(1, 352, CFields().Add(105, "carol").Bytes()).error, 0u);
    EXPECT_NE(LogIn(3, "carol", "").error, 0u);
}

TEST_F(ServerAccountsTest, DisconnectingRespectsProtectionAndBansTheAccount)
{
    model.accounts["guard"] = {"pw", "Guard", {0, 0, 0x01, 0, 0, 0, 0, 0}}; // cannot be disconnected
    ASSERT_EQ(LogIn(1, "admin", "admin").error, 0u);
    ASSERT_EQ(LogIn(2, "bob", "secret").error, 0u);
    ASSERT_EQ(LogIn(3, "guard", "pw").error, 0u);
    uint16_t bob = 0, guard = 0, admin = 0;
    for (const SServerUser& u : model.OnlineUsers())
        (u.name == "bob" ? bob : u.name == "guard" ? guard : admin) = u.id;
    EXPECT_NE(Ask(1, 110, CFields().AddInteger(103, guard).Bytes()).error, 0u);
    EXPECT_NE(Ask(1, 110, CFields().AddInteger(103, admin).Bytes()).error, 0u);
    EXPECT_NE(Ask(1, 110, CFields().AddInteger(103, 999).Bytes()).error, 0u);
    EXPECT_EQ(Ask(1, 110, CFields().AddInteger(103, bob).AddInteger(113, 1).Bytes()).error, 0u);
    EXPECT_EQ(model.banned.count("bob"), 1u);
    EXPECT_NE(LogIn(4, "bob", "secret").error, 0u);

    // Client information names the account of a connected user.
    const STestReply info = Ask(1, 303, CFields().AddInteger(103, guard).Bytes());
    EXPECT_EQ(CFields::Find(info.body, 102), "guard");
    EXPECT_NE(CFields::Find(info.body, 101).find("Account: guard"), std::string::npos);
}
