#include "client/chat/CMyChatInviteWin.h"

#include "client/app/AppNumbers.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CLabelView.h"

namespace
{
// No close box: the invitation is answered with one of its buttons.
constexpr uint16_t kStyleInviteWin = 0;
} // namespace

CMyChatInviteWin::CMyChatInviteWin(uint32_t chatID, const uint8_t* inviter)
    : CMySessionWin(SRect{0, 0, 280, 96}, kWindowDocument2, kStyleInviteWin), mChatID(chatID)
{
    SetTitle("Chat Invitation", 15);
    new CLabelView(this, SRect{10, 10, 270, 28}, "You are invited to chat with:");
    mNameLabel = new CLabelView(this, SRect{20, 30, 270, 48});
    mNameLabel->SetText(inviter);
    mNameLabel->SetBold(true);
    auto* accept = new CButtonView(this, SRect{194, 60, 270, 86}, "Chat");
    accept->SetID(kHitAcceptChatInvite);
    accept->SetDefault(true);
    auto* decline = new CButtonView(this, SRect{104, 63, 184, 83}, "Decline");
    decline->SetID(kHitRejectChatInvite);
    decline->SetCancel(true);
}
