// Administering accounts through the real windows against the local server: a new account, opening,
// saving with and without a new password, deleting after the question, empty logins; commands on a
// selected user: disconnecting (banning after the question) and client information.
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "client/app/AppNumbers.h"
#include "client/app/CMyOldToolbarWin.h"
#include "client/users/CMyEditUserWin.h"
#include "client/users/CMyOpenUserWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CTextView.h"
#include "tests/client/users/UsersTestSupport.h"

using namespace userstest;

namespace
{
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

class AccountsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        h.model.accounts["admin"] = {"admin", "Administrator", CServerModel::AllAccess()};
        h.model.accounts["bob"] = {"secret", "Bob", CServerModel::AllAccess()};
        h.model.extraUsers.push_back({900, 410, 0, "Robin"});
        h.Start();
        ASSERT_TRUE(h.Login("admin", "admin"));
    }
    CMyEditUserWin* EditWin()
    {
        const auto wins = h.Windows<CMyEditUserWin>();
        return wins.size() == 1 ? wins[0] : nullptr;
    }
    // Opens an account through Ctrl+O and the dialog, and waits for its window.
    CMyEditUserWin* Open(const std::string& login)
    {
        h.OnModal<CMyOpenUserWin>(
            [login](CMyOpenUserWin& w)
            {
                EXPECT_FALSE(w.GetOpenButton()->IsEnabled());
                w.GetLoginField()->SetText(CAppHarness::P(login).data());
                EXPECT_TRUE(w.GetOpenButton()->IsEnabled());
                w.Hit(CMyOpenUserWin::kHitOpen);
            });
        h.Key('O', 'o', kModCtrl);
        if (!h.WaitUntil([&] { return EditWin() != nullptr; }, "the account's window")) return nullptr;
        return EditWin();
    }
    bool WaitForRequest(uint16_t type, size_t count = 1)
    {
        return h.WaitUntil([&] { return h.Requests(type).size() == count; }, "the request");
    }
    static std::string Text(CTextView* field) { return field->GetText(); }
    void SelectUser(uint16_t id)
    {
        CMyUserListView* list = h.App().Features().Windows().Users()->View();
        list->SelectOnly(list->FindUser(id));
    }

    CAppHarness h;
};
} // namespace

TEST_F(AccountsTest, ANewAccountGoesOutWithTheDefaultAccessAndARandomPassword)
{
    h.Key('M', 'm', kModCtrl);
    CMyEditUserWin* win = EditWin();
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(CAppHarness::Title(win), "New User");
    EXPECT_TRUE(win->IsNewAccount());
    EXPECT_FALSE(win->GetDeleteButton()->IsEnabled());
    EXPECT_FALSE(win->GetLoginField()->IsReadOnly());
    const std::string password = Text(win->GetPasswordField());
    ASSERT_EQ(password.size(), 20u);
    EXPECT_EQ(password.find_first_not_of(kAlphabet), std::string::npos);
    SMyUserAccess access;
    win->GetAccess(access);
    EXPECT_EQ(std::string(access.bytes, access.bytes + 8), std::string("\x60\x60\x0C\x20\0\0\0\0", 8));

    win->GetNameField()->SetText(CAppHarness::P("Carol").data());
    win->GetLoginField()->SetText(CAppHarness::P("carol").data());
    h.Hit(win, kHitSaveEditUser);
    EXPECT_EQ(EditWin(), nullptr);
    ASSERT_TRUE(WaitForRequest(350));
    const STestTransaction create = h.Requests(350)[0];
    EXPECT_EQ(CAppHarness::Field(create, 105), CServerModel::Complement("carol"));
    EXPECT_EQ(CAppHarness::Field(create, 106), CServerModel::Complement(password));
    EXPECT_EQ(CAppHarness::Field(create, 102), "Carol");
    EXPECT_EQ(CAppHarness::Field(create, 110), std::string("\x60\x60\x0C\x20\0\0\0\0", 8));
    ASSERT_TRUE(h.WaitUntil([&] { return h.model.accounts.count("carol") != 0; }, "the new account"));
    EXPECT_EQ(h.model.accounts["carol"].password, password);

    // Every new account gets a password of its own.
    h.MenuItem(kItemNewUser);
    ASSERT_NE(EditWin(), nullptr);
    EXPECT_NE(Text(EditWin()->GetPasswordField()), password);
    h.Hit(EditWin(), kHitCancelEditUser);
    EXPECT_EQ(EditWin(), nullptr);
    EXPECT_EQ(h.Requests(350).size(), 1u);
}

TEST_F(AccountsTest, AnEmptyLoginIsRefusedWithBox135AndTheWindowStays)
{
    h.Hit(h.App().Features().Windows().Toolbar(), kHitNewUser);
    ASSERT_NE(EditWin(), nullptr);
    h.Hit(EditWin(), kHitSaveEditUser);
    EXPECT_TRUE(h.HasBox(135));
    EXPECT_NE(EditWin(), nullptr);
    // Delete means nothing for an account that does not exist yet.
    h.App().DoDeleteEditUser(EditWin());
    EXPECT_FALSE(h.HasBox(144));
    h.Pump();
    EXPECT_TRUE(h.Requests(350).empty());
    EXPECT_TRUE(h.Requests(351).empty());
}

TEST_F(AccountsTest, AnOpenedAccountSavedWithoutRetypingKeepsItsPasswordAndSendsOnlyBoxedBits)
{
    CMyEditUserWin* win = Open("bob");
    ASSERT_NE(win, nullptr);
    // The login goes out plain for opening and comes back complemented.
    EXPECT_EQ(CAppHarness::Field(h.Requests(352)[0], 105), "bob");
    EXPECT_EQ(CAppHarness::Title(win), "Edit User");
    EXPECT_FALSE(win->IsNewAccount());
    EXPECT_EQ(Text(win->GetNameField()), "Bob");
    EXPECT_EQ(Text(win->GetLoginField()), "bob");
    EXPECT_TRUE(win->GetLoginField()->IsReadOnly());
    EXPECT_TRUE(win->GetDeleteButton()->IsEnabled());
    // The password is never shown, only that there is one.
    EXPECT_TRUE(Text(win->GetPasswordField()).empty());
    EXPECT_TRUE(win->IsPasswordKept());
    EXPECT_FALSE(win->GetPasswordField()->LineEdit()->placeholderText().isEmpty());
    for (const SMyAccessRow& row : CMyEditUserWin::kAccessRows)
    {
        if (row.bit < 0) continue;
        EXPECT_TRUE(win->GetAccessBox(uint32_t(row.bit))->GetMark()) << row.label;
    }
    EXPECT_EQ(win->GetAccessBox(11), nullptr);

    h.Hit(win, kHitSaveEditUser);
    ASSERT_TRUE(WaitForRequest(353));
    const STestTransaction save = h.Requests(353)[0];
    EXPECT_EQ(CAppHarness::Field(save, 105), CServerModel::Complement("bob"));
    EXPECT_EQ(CAppHarness::Field(save, 106), std::string(1, '\0'));
    EXPECT_EQ(CAppHarness::Field(save, 102), "Bob");
    // All 64 bits were set; only the 28 with a check box go back.
    EXPECT_EQ(CAppHarness::Field(save, 110), std::string("\xFF\xE3\xCF\xFF\x80\0\0\0", 8));
    ASSERT_TRUE(h.WaitUntil([&] { return h.model.accounts["bob"].access[4] == 0x80; }, "the change"));
    EXPECT_EQ(h.model.accounts["bob"].password, "secret");
}

TEST_F(AccountsTest, ATypedPasswordAndChangedBoxesAreSent)
{
    CMyEditUserWin* win = Open("bob");
    ASSERT_NE(win, nullptr);
    // Typing in the field is what counts, even when the user types what looks like a hint.
    QTest::keyClicks(win->GetPasswordField()->LineEdit(), "(unchanged)");
    EXPECT_FALSE(win->IsPasswordKept());
    EXPECT_TRUE(win->GetPasswordField()->LineEdit()->placeholderText().isEmpty());
    win->GetAccessBox(32)->SetMark(false);
    win->GetAccessBox(0)->SetMark(false);
    h.Hit(win, kHitSaveEditUser);
    ASSERT_TRUE(WaitForRequest(353));
    const STestTransaction save = h.Requests(353)[0];
    EXPECT_EQ(CAppHarness::Field(save, 106), CServerModel::Complement("(unchanged)"));
    EXPECT_EQ(CAppHarness::Field(save, 110), std::string("\x7F\xE3\xCF\xFF\0\0\0\0", 8));
    ASSERT_TRUE(h.WaitUntil([&] { return h.model.accounts["bob"].password == "(unchanged)"; }, "the change"));
}

TEST_F(AccountsTest, DeletingAsksBox144First)
{
    CMyEditUserWin* win = Open("bob");
    ASSERT_NE(win, nullptr);
    h.boxAnswers = {2};
    h.Hit(win, kHitDeleteEditUser);
    ASSERT_TRUE(h.HasBox(144, "bob"));
    EXPECT_EQ(EditWin(), win);
    h.Pump();
    EXPECT_TRUE(h.Requests(351).empty());

    h.boxAnswers = {1};
    h.Hit(win, kHitDeleteEditUser);
    EXPECT_EQ(EditWin(), nullptr);
    ASSERT_TRUE(WaitForRequest(351));
    EXPECT_EQ(CAppHarness::Field(h.Requests(351)[0], 105), CServerModel::Complement("bob"));
    ASSERT_TRUE(h.WaitUntil([&] { return h.model.accounts.count("bob") == 0; }, "the account to go"));
}

TEST_F(AccountsTest, AnAnswerWithoutALoginEditsTheAccountThatWasAsked)
{
    STestReply reply;
    reply.body = CFields().Add(102, "Bob").Add(110, std::string("\x80", 1)).Bytes();
    h.server.SetReply(352, reply);
    CMyEditUserWin* win = Open("bob");
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(Text(win->GetLoginField()), "bob");
    // No password field: no hint, and an empty password counts as typed.
    EXPECT_FALSE(win->IsPasswordKept());
    SMyUserAccess access;
    win->GetAccess(access);
    EXPECT_EQ(std::string(access.bytes, access.bytes + 8), std::string("\x80\0\0\0\0\0\0\0", 8));
}

TEST_F(AccountsTest, TheOpenDialogSendsNothingWhenCancelledOrWhenItsSessionEnds)
{
    h.OnModal<CMyOpenUserWin>([](CMyOpenUserWin& w) { w.Hit(CMyOpenUserWin::kHitCancel); });
    h.Key('O', 'o', kModCtrl);
    // The session ends while the dialog waits: its loop ends, and no account is opened anywhere.
    h.OnModal<CMyOpenUserWin>(
        [&](CMyOpenUserWin& w)
        {
            w.GetLoginField()->SetText(CAppHarness::P("bob").data());
            h.server.CloseConnection();
        });
    h.Key('O', 'o', kModCtrl);
    EXPECT_EQ(h.modalCount, 2u);
    EXPECT_FALSE(h.App().Features().Session().IsConnected());
    h.Pump();
    EXPECT_TRUE(h.Requests(352).empty());
    EXPECT_EQ(EditWin(), nullptr);
    // Not connected: the account commands do nothing at all.
    h.Key('O', 'o', kModCtrl);
    h.Key('M', 'm', kModCtrl);
    EXPECT_EQ(h.modalCount, 2u);
    EXPECT_EQ(EditWin(), nullptr);
}

TEST_F(AccountsTest, AnAccountWindowClosesWithItsSession)
{
    ASSERT_NE(Open("bob"), nullptr);
    h.App().DoDisconnect();
    EXPECT_EQ(EditWin(), nullptr);
}

TEST_F(AccountsTest, DisconnectingWithAltAsksBox149AndBans)
{
    CMyUserListWin* users = h.App().Features().Windows().Users();
    // Nobody selected: nothing.
    h.Hit(users, kHitDisconnectUser, 0, kModAlt);
    EXPECT_TRUE(h.boxes.empty());

    SelectUser(900);
    h.boxAnswers = {2};
    h.Hit(users, kHitDisconnectUser, 0, kModAlt);
    EXPECT_TRUE(h.HasBox(149, "Robin"));
    h.Pump();
    EXPECT_TRUE(h.Requests(110).empty());

    h.boxAnswers = {1};
    h.Hit(users, kHitDisconnectUser, 0, kModAlt);
    ASSERT_TRUE(WaitForRequest(110));
    EXPECT_EQ(CAppHarness::Field(h.Requests(110)[0], 103), testwire::BE16(900));
    EXPECT_EQ(CAppHarness::Field(h.Requests(110)[0], 113), testwire::BE16(1));

    // Without Alt: no question, and no ban field at all.
    h.Hit(users, kHitDisconnectUser);
    ASSERT_TRUE(WaitForRequest(110, 2));
    const STestTransaction plain = h.Requests(110)[1];
    EXPECT_EQ(CAppHarness::Field(plain, 103), testwire::BE16(900));
    EXPECT_EQ(CFields::Parse(plain.body).size(), 1u);
    size_t asked = 0;
    for (const CAppHarness::SBox& box : h.boxes)
        asked += box.id == 149;
    EXPECT_EQ(asked, 2u);
}

TEST_F(AccountsTest, ClientInformationOpensATextWindowOfItsOwn)
{
    const auto infoWindows = [&]
    {
        std::vector<CMyTextWin*> found;
        for (CMyTextWin* w : h.Windows<CMyTextWin>())
            if (w != static_cast<CWindow*>(h.App().Features().Windows().News())) found.push_back(w);
        return found;
    };
    SelectUser(900);
    h.Hit(h.App().Features().Windows().Users(), kHitGetClientInfo);
    ASSERT_TRUE(h.WaitUntil([&] { return infoWindows().size() == 1; }, "the information window"));
    CMyTextWin* info = infoWindows()[0];
    EXPECT_EQ(CAppHarness::Title(info), "Robin");
    EXPECT_EQ(info->GetTextView()->GetText(), "Name: Robin\rConnected to the demo server.");
    SRect bounds;
    info->GetBounds(bounds);
    EXPECT_EQ(bounds.Width(), 260);
    EXPECT_LT(bounds.Height(), 150);
    EXPECT_EQ(CAppHarness::Field(h.Requests(303)[0], 103), testwire::BE16(900));
    h.Hit(info, kHitCloseBox);
    EXPECT_TRUE(infoWindows().empty());

    // No name in the answer, and a text of 40 lines: "Unnamed User", and the height stops at 250 + 20.
    STestReply reply;
    std::string lines;
    for (int i = 0; i < 40; ++i)
        lines += "line " + std::to_string(i) + "\r";
    reply.body = CFields().Add(101, lines).Bytes();
    h.server.SetReply(303, reply);
    h.Hit(h.App().Features().Windows().Users(), kHitGetClientInfo);
    ASSERT_TRUE(h.WaitUntil([&] { return infoWindows().size() == 1; }, "the second information window"));
    info = infoWindows()[0];
    EXPECT_EQ(CAppHarness::Title(info), "Unnamed User");
    info->GetBounds(bounds);
    EXPECT_EQ(bounds.Height(), 270);
    h.Hit(info, kHitCloseBox);
}

TEST_F(AccountsTest, ChangingTheAccountInUseChangesTheCommandsAtOnce)
{
    const auto shown = [&](uint32_t id)
    {
        const auto ids = h.ToolbarButtons();
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    ASSERT_TRUE(shown(kHitBroadcast));
    CMyEditUserWin* win = Open("admin");
    ASSERT_NE(win, nullptr);
    win->GetAccessBox(32)->SetMark(false);
    h.Hit(win, kHitSaveEditUser);
    // The server sends the account's new access to whoever uses it.
    ASSERT_TRUE(h.WaitUntil([&] { return !shown(kHitBroadcast); }, "the new access"));
    EXPECT_TRUE(shown(kHitNewUser));
}
