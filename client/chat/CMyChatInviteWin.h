// An invitation to a private chat: who invites, and the buttons to join the chat or decline. It stays
// open beside the other windows until the user answers or the session ends.
#pragma once

#include "client/app/CMySessionWin.h"

class CLabelView;

class CMyChatInviteWin : public CMySessionWin
{
public:
    // `inviter` is length-prefixed.
    CMyChatInviteWin(uint32_t chatID, const uint8_t* inviter);

    uint32_t mChatID;
    CLabelView* mNameLabel = nullptr;
};
