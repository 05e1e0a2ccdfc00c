// The kinds of notice the client shows on the desktop while the user works in another program; the
// features ask the desktop for one (CMyDesktopHost).
#pragma once

#include <cstdint>

enum class EMyNotice : uint16_t
{
    PrivateMessage,
    ChatInvitation,
    Broadcast,
    TransferDone,
    TransferFailed,
    ChatMention,
};
