// The kinds of notice the client shows on the desktop while the user works in another program; the
// features ask the application for one (NotifyDesktop, NotifyTransferEnded).
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
