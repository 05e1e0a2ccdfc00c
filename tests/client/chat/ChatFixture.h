// A logged-in client for the conversation tests: every access granted, a user named "tester", and a
// second user "Robin" who only seems to be online, so that the server's side of a conversation can be
// played by pushing transactions.
#pragma once

#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "client/app/CMyApplication.h"
#include "client/chat/CMyChatWin.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/chat/CMyPrivMsgWin.h"
#include "client/widgets/CMyMsgWin.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CTextView.h"
#include "tests/support/CAppHarness.h"
#include "tools/testserver/TestWire.h"

class ChatFixture : public testing::Test
{
protected:
    static constexpr uint16_t kRobin = 900;

    void SetUp() override
    {
        h.model.guestAccess = CServerModel::AllAccess();
        h.model.extraUsers.push_back({kRobin, 410, 0, "Robin"});
        h.Start();
        app = &h.App();
        SetName(app->Features().Settings().userName, "tester");
        ASSERT_TRUE(h.Login());
    }

    // Messages and notes outlive sessions; they go with the test.
    void TearDown() override
    {
        for (CWindow* w : h.Windows<CMyPrivMsgWin>())
            delete w;
        for (CWindow* w : h.Windows<CMyMsgWin>())
            delete w;
    }

    template <size_t N>
    static void SetName(uint8_t (&dest)[N], const std::string& text)
    {
        UPString::SetText(dest, text.c_str());
    }

    // What the server sends for a line of a chat (0: the public one).
    static std::string ChatLine(const std::string& line, uint32_t chatID = 0)
    {
        testwire::CFields fields;
        if (chatID) fields.AddInteger(114, int32_t(chatID));
        return fields.Add(101, line).Bytes();
    }

    // Types into a chat's entry box and presses Return (part 1) or Ctrl+Return (part 2).
    void Say(CWindow* window, CTextView* entry, uint32_t hitID, const std::string& text, uint16_t part = 1)
    {
        entry->SetText(text.data(), uint32_t(text.size()));
        h.Hit(window, hitID, part);
    }
    void SayInPublic(const std::string& text, uint16_t part = 1)
    {
        Say(app->Features().Windows().Chat(), app->Features().Windows().Chat()->GetSendView(), 1004, text,
            part);
    }

    bool WaitForRequests(uint16_t type, size_t count)
    {
        return h.WaitUntil([&] { return h.Requests(type).size() >= count; }, "requests at the server");
    }
    bool WaitForChat(const std::string& text)
    {
        return h.WaitUntil([&] { return h.ChatText() == text; }, "the public chat's text");
    }

    // Everything the server pushed before has been handled once this server message's box showed.
    bool Sync()
    {
        const std::string text = "sync " + std::to_string(++mSyncs);
        h.server.PushTransaction(
            104, testwire::CFields().AddInteger(103, 0).Add(101, text).AddInteger(109, 1).Bytes());
        return h.WaitUntil([&] { return h.HasBoxTitled("Server Message", text); }, "the server's message");
    }

    CAppHarness h;
    CMyApplication* app = nullptr;

private:
    int mSyncs = 0;
};
