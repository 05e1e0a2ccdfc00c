// The numbers the application dispatches on: key commands, window hits and its own messages.
#pragma once

#include <cstdint>

// The application's own messages 1100-1111.
#include "client/core/MyAppMessages.h"
// The connection messages 100-106 come from the transport.
#include "framework/net/UTransport.h"

// Commands (client/app/UMyCommands.cpp): the numbers key commands carry; a command with a toolbar button
// has its button's hit number.
enum : uint32_t
{
    kCmdPostNews = 1000,
    kCmdShowConnect = 1001,
    kCmdDisconnect = 1002,
    kCmdOptions = 1003,
    kCmdShowChat = 1005,
    kCmdShowPublicFiles = 1006,
    kCmdQuitApp = 1007,
    kCmdShowNews = 1008,
    kCmdShowTasks = 1009,
    kCmdShowUsers = 1010,
    kCmdAbout = 1013,
    kCmdNewUser = 1020,
    kCmdOpenUser = 1021,
    kCmdShowTracker = 1029,
    // Given by Ctrl+B and its menu item; the toolbar has no button for itself.
    kCmdShowToolbar = 1030,
    kCmdBringFrontPrivMsg = 1032,
    kCmdSecret = 1033,
    kCmdCloseWindow = 1034,
    kCmdCloseAllFileWindows = 1042,
    kCmdBroadcast = 1043,
    kCmdOpenParentFolder = 1109,
};

// Window hits (view ids).
enum : uint32_t
{
    kHitPostNews = 1000,
    kHitShowConnect = 1001,
    kHitDisconnect = 1002,
    kHitOptions = 1003,
    kHitChatSend = 1004,
    kHitShowChat = 1005,
    kHitShowFiles = 1006,
    kHitQuit = 1007,
    kHitShowNews = 1008,
    kHitShowTasks = 1009,
    kHitShowUsers = 1010,
    kHitOpenPrivateChat = 1011,
    kHitStopTask = 1012,
    kHitAbout = 1013,
    kHitSendPrivMsg = 1014,
    kHitSendPrivMsg2 = 1016,
    kHitSaveEditUser = 1017,
    kHitCancelEditUser = 1018,
    kHitDeleteEditUser = 1019,
    kHitNewUser = 1020,
    kHitOpenUser = 1021,
    kHitDisconnectUser = 1022,
    kHitDismissMsg = 1023,
    kHitReplyPrivMsg = 1024,
    kHitGetClientInfo = 1025,
    kHitConnectToTracked = 1026,
    kHitConnectToTracked2 = 1028,
    kHitShowTracker = 1029,
    kHitStartTask = 1031,
    kHitPrivChatSend = 1035,
    kHitAcceptChatInvite = 1036,
    kHitRejectChatInvite = 1037,
    kHitPrivChatUsers = 1038,
    kHitSetChatSubject = 1039,
    kHitBroadcast = 1043,
    kHitFilePreview = 1099,
    kHitFileDownload = 1100,
    kHitFileUpload = 1101,
    kHitFileDelete = 1102,
    kHitFileRefresh = 1103,
    kHitFileList = 1104,
    kHitFileNewFolder = 1105,
    kHitFileGetInfo = 1106,
    kHitFileSaveInfo = 1107,
    kHitFileInfoEdited = 1108,
    // The client's own: renaming the selected row of a folder window (F2, its context menu).
    kHitFileRename = 1120,
    // The tasks window's own: its row menu, the Delete key and a double click on a finished row.
    kHitRemoveTask = 1121,
    kHitOpenTaskItem = 1122,
    kHitShowTaskInFolder = 1123,
    kHitClearFinishedTasks = 1124,
};

// Hit parts.
enum : uint16_t
{
    kPartDrop = 4,
};

// Menu items (message 999): File 1xx, Edit 2xx, Quenvol 3xx, View 4xx.
enum : uint16_t
{
    kMenuFile = 129,
    kMenuEdit = 130,
    kMenuQuenvol = 131,
    kMenuView = 132,

    kItemQuit = 101,
    kItemUndo = 201,
    kItemCut = 203,
    kItemCopy = 204,
    kItemPaste = 205,
    kItemClear = 206,
    kItemSelectAll = 208,
    kItemFind = 210,
    kItemConnect = 301,
    kItemDisconnect = 302,
    kItemShowNews = 304,
    kItemShowUsers = 305,
    kItemShowFiles = 306,
    kItemShowChat = 307,
    kItemShowTasks = 308,
    kItemShowTracker = 309,
    kItemShowToolbar = 310,
    kItemPostNews = 311,
    kItemNewUser = 313,
    kItemOpenUser = 314,
    kItemOptions = 316,
    kItemAbout = 317,
    // 318 is the separator before it.
    kItemOpenLogs = 319,
    kItemViewUsers = 401,
    kItemViewChat = 402,
    kItemViewNews = 403,
    kItemViewTasks = 404,
    kItemViewToolbar = 405,
    kItemSeparateWindows = 407,
};

// Message boxes of the application.
enum : int16_t
{
    kBoxTransferClosed = 128,
    kBoxConnectionLost = 131,
    kBoxUnsupportedKind = 136,
    kBoxNotOurDocument = 137,
    kBoxNoSound = 138,
    kBoxUnsupportedKind2 = 139,
    kBoxNetworkError = 142,
    kBoxServerDisconnect = 143,
    kBoxVersionRefused = 146,
    kBoxConnectionLostReconnect = 150,
};

// Icons of the long-lived windows and of server messages.
enum : int16_t
{
    kIconDefaultUser = 414,
    kIconNewsWin = 413,
    kIconChatWin = 415,
    kIconTasksWin = 416,
    kIconUsersWin = 414,
    kIconAdminMessage = 1001,
    kIconServerMessage = 1002,
};
