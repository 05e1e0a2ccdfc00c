// The application's own messages, which the core posts as well as the windows: a box must never open
// while a transaction or a task is being handled, so they post and the box opens when the run loop
// delivers the message.
#pragma once

#include <cstdint>

enum : uint32_t
{
    kMsgServerMessage = 1100,
    kMsgConnectionLost = 1101,
    kMsgAdminMessage = 1102,
    kMsgTransferClosed = 1103,
    kMsgShowAgreement = 1105,
    kMsgServerDisconnect = 1106,
    kMsgVersionRefused = 1107,
    // Messages that came while many message windows were open wait to be shown in one box.
    kMsgFoldedMessages = 1108,
    // Folder windows that a reconnect found gone were closed: one note tells of all of them.
    kMsgFolderGone = 1109,
    // A login entered in the connect dialog was refused: the dialog comes back (data: the session serial).
    kMsgLoginRefused = 1110,
    // The machine woke or the network came back: the session checks its connection.
    kMsgCheckLink = 1111,
};
