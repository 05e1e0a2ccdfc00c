// Private chats through the whole client: opening one, invitations both ways and the options that
// answer them, the notices of members and subject, and leaving.
#include <QLabel>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/chat/CMyChatInviteWin.h"
#include "client/chat/CMyChatSubjectWin.h"
#include "client/chat/CMySendPrivMsgWin.h"
#include "client/chat/CMySubjectView.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyMsgWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/SHitMsgData.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
class PrivateChat : public ChatFixture
{
protected:
    static constexpr uint32_t kChatID = 0x12345678; // needs all four bytes of the field

    // The server asks the user into chat kChatID on Robin's behalf.
    void Invite()
    {
        h.server.PushTransaction(113, testwire::CFields().AddInteger(114, kChatID).Add(102, "Robin").Bytes());
    }
    CMyChatWin* Chat() const
    {
        const auto chats = h.Windows<CMyChatWin>();
        return chats.size() == 1 ? chats.front() : nullptr;
    }
    std::string ChatText(CMyChatWin* chat) const { return chat->GetChatView()->GetText(); }
    std::vector<std::string> Members(CMyChatWin* chat) const
    {
        std::vector<std::string> names;
        CMyUserListView* list = chat->GetUserList();
        for (uint32_t row = 1; row <= list->GetItemCount(); ++row)
            names.push_back(CAppHarness::Str(list->GetItem(row)->name));
        return names;
    }
    static std::string Member(uint16_t id, const std::string& name, int16_t icon = 410)
    {
        return testwire::CFields()
            .AddInteger(114, kChatID)
            .AddInteger(103, id)
            .AddInteger(104, icon)
            .AddInteger(112, 0)
            .Add(102, name)
            .Bytes();
    }
    // An accepted invitation to a chat whose join reply names Robin and the user.
    CMyChatWin* Join()
    {
        STestReply reply;
        reply.body = testwire::CFields()
                         .Add(115, "Boats")
                         .Add(300, testwire::UserEntry(kRobin, 410, 0, "Robin"))
                         .Add(300, testwire::UserEntry(1, 414, 0, "tester"))
                         .Bytes();
        h.server.SetReply(115, reply);
        Invite();
        if (!h.WaitUntil([&] { return h.Windows<CMyChatInviteWin>().size() == 1; }, "the invitation"))
            return nullptr;
        h.Hit(h.Windows<CMyChatInviteWin>().front(), kHitAcceptChatInvite);
        h.WaitUntil([&] { return Chat() && Members(Chat()).size() == 2; }, "the joined chat's members");
        return Chat();
    }
};

TEST_F(PrivateChat, OpeningOneWithTheSelectedUserTalksInItAndLeavesOnClose)
{
    // Robin only seems to be online, so the model opens the chat with the user alone in it.
    h.model.nextChatID = kChatID;
    CMyUserListView* users = app->Features().Windows().Users()->View();
    users->SelectOnly(users->FindUser(kRobin));
    h.Hit(app->Features().Windows().Users(), kHitOpenPrivateChat);
    ASSERT_TRUE(WaitForRequests(112, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(112)[0], 103), std::string("\x03\x84", 2));
    ASSERT_TRUE(h.WaitUntil([&] { return Chat() != nullptr; }, "the chat window"));
    CMyChatWin* chat = Chat();
    EXPECT_EQ(chat->GetChatID(), kChatID);
    EXPECT_EQ(Members(chat), std::vector<std::string>{"tester"});

    Say(chat, chat->GetSendView(), kHitPrivChatSend, "ahoy", 2);
    ASSERT_TRUE(WaitForRequests(105, 1));
    const auto line = h.Requests(105)[0];
    EXPECT_EQ(CAppHarness::Field(line, 114), testwire::BE32(kChatID));
    EXPECT_EQ(CAppHarness::Field(line, 109), std::string("\0\1", 2));
    EXPECT_EQ(CAppHarness::Field(line, 101), "ahoy");
    ASSERT_TRUE(h.WaitUntil([&] { return ChatText(chat) == " *** tester ahoy"; }, "the chat's echo"));
    EXPECT_EQ(h.ChatText(), ""); // not in the public chat

    h.Hit(chat, kHitCloseBox);
    EXPECT_TRUE(h.Windows<CMyChatWin>().empty());
    ASSERT_TRUE(WaitForRequests(116, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(116)[0], 114), testwire::BE32(kChatID));
}

TEST_F(PrivateChat, AnAcceptedInvitationFillsMembersAndSubjectFromTheJoinReply)
{
    CMyChatWin* chat = Join();
    ASSERT_NE(chat, nullptr);
    EXPECT_TRUE(h.Windows<CMyChatInviteWin>().empty());
    EXPECT_EQ(CAppHarness::Field(h.Requests(115)[0], 114), testwire::BE32(kChatID));
    EXPECT_EQ(Members(chat), (std::vector<std::string>{"Robin", "tester"}));
    EXPECT_EQ(chat->GetSubjectView()->GetText(), "Boats");
    EXPECT_EQ(CAppHarness::Title(chat), "Private Chat:  Boats");

    // Members come, change and go, and the subject changes, as the server tells.
    h.server.PushTransaction(117, Member(7, "Sam"));
    h.server.PushTransaction(117, Member(7, "Samuel"));
    h.server.PushTransaction(117, Member(7, "Samuel", 414)); // only the icon: no line
    h.server.PushTransaction(118,
                             testwire::CFields().AddInteger(114, kChatID).AddInteger(103, kRobin).Bytes());
    h.server.PushTransaction(118, testwire::CFields().AddInteger(114, kChatID).AddInteger(103, 55).Bytes());
    h.server.PushTransaction(119, testwire::CFields().AddInteger(114, kChatID).Add(115, "Ships").Bytes());
    // The same subject again changes nothing and says nothing.
    h.server.PushTransaction(119, testwire::CFields().AddInteger(114, kChatID).Add(115, "Ships").Bytes());
    ASSERT_TRUE(Sync());
    EXPECT_EQ(ChatText(chat), " <<< Sam has joined the chat >>>\r <<< Sam is now known as Samuel >>>\r"
                              " <<< Robin has left the chat >>>\r <<< subject is now \"Ships\" >>>");
    EXPECT_EQ(Members(chat), (std::vector<std::string>{"tester", "Samuel"}));
    EXPECT_EQ(CAppHarness::Title(chat), "Private Chat:  Ships");
}

TEST_F(PrivateChat, DecliningAnInvitationTellsTheServer)
{
    Invite();
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyChatInviteWin>().size() == 1; }, "the invitation"));
    h.Hit(h.Windows<CMyChatInviteWin>().front(), kHitRejectChatInvite);
    EXPECT_TRUE(h.Windows<CMyChatInviteWin>().empty());
    ASSERT_TRUE(WaitForRequests(114, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(114)[0], 114), testwire::BE32(kChatID));
    EXPECT_TRUE(h.Windows<CMyChatWin>().empty());
}

TEST_F(PrivateChat, TheOptionsDeclineInvitationsByThemselves)
{
    // Refusing private chats: an action line into the chat, then the refusal.
    app->Features().Settings().refusePrivateChat = 1;
    Invite();
    ASSERT_TRUE(WaitForRequests(114, 1));
    auto lines = h.Requests(105);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(CAppHarness::Field(lines[0], 109), std::string("\0\1", 2));
    EXPECT_EQ(CAppHarness::Field(lines[0], 114), testwire::BE32(kChatID));
    EXPECT_EQ(CAppHarness::Field(lines[0], 101), "does't accept private chat!");

    // The automatic response answers every invitation with its text and leaves a note who asked.
    app->Features().Settings().refusePrivateChat = 0;
    app->Features().Settings().automaticResponse = 1;
    SetName(app->Features().Settings().automaticResponseText, "Out fishing.");
    Invite();
    ASSERT_TRUE(WaitForRequests(114, 2));
    lines = h.Requests(105);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(CAppHarness::Field(lines[1], 109), "");
    EXPECT_EQ(CAppHarness::Field(lines[1], 101), "Out fishing.");
    EXPECT_TRUE(h.Windows<CMyChatInviteWin>().empty());
    const auto notes = h.Windows<CMyMsgWin>();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(CAppHarness::Title(notes[0]), "Chat");
    const std::string note = notes[0]->GetLabel()->Label()->text().toStdString();
    EXPECT_EQ(note.rfind("Robin invited you to private chat at ", 0), 0u) << note;
}

TEST_F(PrivateChat, ARenameWritesOneLineWhereverTheUserIsAndAnIconChangeNone)
{
    CMyChatWin* chat = Join();
    ASSERT_NE(chat, nullptr);
    // A second chat that Robin is not in.
    CMyChatWin::Open(kChatID + 1, app->Features().Settings().colorChat, app->Features().Session().Access(),
                     100);
    CMyChatWin* other = app->GetChatWinByID(kChatID + 1);
    ASSERT_NE(other, nullptr);
    other->GetUserList()->AddUser(1, 414, 0, "tester", 6);

    SUserEntry robin{kRobin, 410, 0, {}};
    SetName(robin.name, "Robert");
    const auto oldName = CAppHarness::P("Robin");
    app->ShowUserChangeInChats(robin, oldName.data());
    EXPECT_EQ(h.ChatText(), " <<< Robin is now known as Robert >>>");
    EXPECT_EQ(ChatText(chat), " <<< Robin is now known as Robert >>>");
    EXPECT_EQ(Members(chat)[0], "Robert");
    EXPECT_EQ(ChatText(other), "");
    EXPECT_EQ(Members(other), std::vector<std::string>{"tester"});
    delete other;

    // A name longer than 31 characters is the same name when only the icon changes.
    const std::string longName = "Robert of the Northern Harbour Lights";
    app->Features().Chat().ClearPublicChat();
    h.server.PushTransaction(117, Member(kRobin, longName));
    ASSERT_TRUE(Sync());
    const std::string before = ChatText(chat);
    SetName(robin.name, longName);
    robin.iconID = 2001;
    const auto longOld = CAppHarness::P(longName);
    app->ShowUserChangeInChats(robin, longOld.data());
    h.server.PushTransaction(117, Member(kRobin, longName, 2002));
    ASSERT_TRUE(Sync());
    EXPECT_EQ(h.ChatText(), "");
    EXPECT_EQ(ChatText(chat), before);
    EXPECT_EQ(chat->GetUserList()->GetItem(1)->icon, 2002);
}

TEST_F(PrivateChat, TheMemberListInvitesADroppedUserOnlyWithAWholePayloadAndWritesToTheSelectedOne)
{
    CMyChatWin* chat = Join();
    ASSERT_NE(chat, nullptr);
    SHitMsgData drop{};
    drop.id = kHitPrivChatUsers;
    drop.part = kPartDrop;
    const uint32_t user = 7, id = kChatID;
    std::memcpy(drop.data, &user, 4);
    std::memcpy(drop.data + 4, &id, 4);
    drop.dataSize = 7;
    chat->Hit(drop);
    drop.dataSize = 8;
    chat->Hit(drop);
    ASSERT_TRUE(WaitForRequests(113, 1));
    h.Pump();
    const auto invitations = h.Requests(113);
    ASSERT_EQ(invitations.size(), 1u);
    EXPECT_EQ(CAppHarness::Field(invitations[0], 103), std::string("\0\7", 2));
    EXPECT_EQ(CAppHarness::Field(invitations[0], 114), testwire::BE32(kChatID));

    // Any other hit on the member list writes to the member selected there.
    CMyUserListView* members = chat->GetUserList();
    members->SelectOnly(members->FindUser(kRobin));
    std::string recipient;
    h.OnModal<CMySendPrivMsgWin>(
        [&](CMySendPrivMsgWin& w)
        {
            recipient = w.GetRecipient();
            w.Hit(CMySendPrivMsgWin::kHitCancel);
        });
    h.Hit(chat, kHitPrivChatUsers, 1);
    EXPECT_EQ(recipient, "Robin");
}

TEST_F(PrivateChat, TheSubjectDialogAsksTheServerWhichThenRetitles)
{
    CMyChatWin* chat = Join();
    ASSERT_NE(chat, nullptr);
    h.OnModal<CMyChatSubjectWin>(
        [](CMyChatSubjectWin& w)
        {
            w.GetField()->SetText("Sails", 5);
            w.Hit(CMyChatSubjectWin::kHitSet);
        });
    h.Hit(chat, kHitSetChatSubject);
    ASSERT_TRUE(WaitForRequests(120, 1));
    EXPECT_EQ(CAppHarness::Field(h.Requests(120)[0], 114), testwire::BE32(kChatID));
    EXPECT_EQ(CAppHarness::Field(h.Requests(120)[0], 115), "Sails");
    EXPECT_EQ(CAppHarness::Title(chat), "Private Chat:  Boats"); // until the server says so

    // The session ends while the dialog is open: nothing is sent.
    h.OnModal<CMyChatSubjectWin>([&](CMyChatSubjectWin&) { app->DoDisconnect(); });
    h.Hit(chat, kHitSetChatSubject);
    EXPECT_TRUE(h.Windows<CMyChatSubjectWin>().empty());
    EXPECT_EQ(h.Requests(120).size(), 1u);
}

TEST_F(PrivateChat, TheSessionsEndClosesChatsAndInvitationsWithoutLeaving)
{
    CMyChatWin* chat = Join();
    ASSERT_NE(chat, nullptr);
    Invite();
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyChatInviteWin>().size() == 1; }, "the invitation"));
    app->DoDisconnect();
    EXPECT_TRUE(h.Windows<CMyChatWin>().empty());
    EXPECT_TRUE(h.Windows<CMyChatInviteWin>().empty());
    EXPECT_TRUE(h.Requests(116).empty());
}

TEST_F(PrivateChat, AJoinRefusedByTheServerClosesTheWindow)
{
    STestReply refused;
    refused.error = 1;
    refused.body = testwire::CFields().Add(100, "No such chat.").Bytes();
    h.server.SetReply(115, refused);
    Invite();
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyChatInviteWin>().size() == 1; }, "the invitation"));
    h.Hit(h.Windows<CMyChatInviteWin>().front(), kHitAcceptChatInvite);
    ASSERT_TRUE(
        h.WaitUntil([&] { return h.HasBoxTitled("Server Message", "No such chat."); }, "the refusal"));
    EXPECT_TRUE(h.Windows<CMyChatWin>().empty());
}
} // namespace
