// A client left running in a busy server keeps a bounded scrollback in the public chat, in private
// chats and in the news: pushing three times the setting leaves the newest lines and no more.
#include <gtest/gtest.h>
#include <string>

#include "client/app/AppNumbers.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "tests/client/chat/ChatFixture.h"

namespace
{
class Scrollback : public ChatFixture
{
protected:
    static constexpr uint32_t kChatID = 4242;

    void SetUp() override
    {
        ChatFixture::SetUp();
        // A hand-edited file in the billions is held to the ceiling, and a value of none, which would let
        // the views grow without end, to the least.
        app->Features().Windows().SetScrollback(4000000000u);
        ASSERT_EQ(app->Features().Windows().Scrollback(), CMyWindowSet::kMaxScrollback);
        app->Features().Windows().SetScrollback(0);
        ASSERT_EQ(app->Features().Windows().Scrollback(), kLines);
    }

    // Pushes three times the scrollback into a chat and waits for the last line.
    bool PushLines(CTextView* view, uint32_t chatID)
    {
        for (uint32_t i = 1; i <= 3 * kLines; ++i)
            h.server.PushTransaction(106, ChatLine("\rRobin:  line " + std::to_string(i), chatID));
        return h.WaitUntil([&] { return EndsWith(view->GetText(), "Robin:  line 300"); }, "the last line");
    }
    static bool EndsWith(const std::string& text, const std::string& end)
    {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }
    static bool HoldsTheScrollback(CTextView* view)
    {
        return view->GetLineCount() >= kLines && view->GetLineCount() <= kLines + kLines / 10;
    }

    static constexpr uint32_t kLines = CMyWindowSet::kMinScrollback;
};

TEST_F(Scrollback, PublicChatKeepsTheNewestLines)
{
    CTextView* view = app->Features().Windows().Chat()->GetChatView();
    ASSERT_TRUE(PushLines(view, 0));
    EXPECT_TRUE(HoldsTheScrollback(view)) << view->GetLineCount();
}

TEST_F(Scrollback, APrivateChatOpenedLaterKeepsTheSameScrollback)
{
    h.model.nextChatID = kChatID;
    CMyUserListView* users = app->Features().Windows().Users()->View();
    users->SelectOnly(users->FindUser(kRobin));
    h.Hit(app->Features().Windows().Users(), kHitOpenPrivateChat);
    ASSERT_TRUE(h.WaitUntil([&] { return h.Windows<CMyChatWin>().size() == 1; }, "the chat window"));
    CTextView* view = h.Windows<CMyChatWin>().front()->GetChatView();
    ASSERT_TRUE(PushLines(view, kChatID));
    EXPECT_TRUE(HoldsTheScrollback(view)) << view->GetLineCount();
    EXPECT_TRUE(app->Features().Windows().Chat()->GetChatView()->IsEmpty());
}

TEST_F(Scrollback, NewsKeepsTheNewestArticlesOnTop)
{
    for (uint32_t i = 1; i <= 3 * kLines; ++i)
        h.server.PushTransaction(102,
                                 testwire::CFields().Add(101, "article " + std::to_string(i) + "\r").Bytes());
    ASSERT_TRUE(h.WaitUntil([&] { return h.NewsText().rfind("article 300\r", 0) == 0; }, "the last article"));
    EXPECT_TRUE(HoldsTheScrollback(app->Features().Windows().News()->GetTextView()));
}
} // namespace
