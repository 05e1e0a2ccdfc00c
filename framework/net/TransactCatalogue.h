// The vocabulary spoken with servers: transaction types and field ids, with the encoding each field uses.
#pragma once

#include <cstdint>

// Transaction types. "c→s" are sent by the client, "s→c" by the server; some numbers are used both ways.
enum : uint16_t
{
    kTranGetNews = 101,              // c→s, reply 101 news text
    kTranNewMsg = 102,               // s→c, 101 a new article
    kTranPostNews = 103,             // c→s, 101 article
    kTranServerMsg = 104,            // s→c, 103 sender (0 = the server) and text
    kTranChatSend = 105,             // c→s one-way, 101 line, 109 alternate, 114 private chat
    kTranChatMsg = 106,              // s→c, 114 chat id, 101 formatted line
    kTranLogin = 107,                // c→s, 105 and 106 complemented, 102 name, 104 icon
    kTranSendPrivMsg = 108,          // c→s, 103 recipient, 113 options, 101 text, 214 quote
    kTranShowAgreement = 109,        // s→c, 101 agreement
    kTranDisconnectUser = 110,       // c→s, 103 user, 113 = 1 to ban
    kTranDisconnectMsg = 111,        // s→c, 101 reason
    kTranInviteNewChat = 112,        // c→s, 103 per invited user; reply 114 and one user
    kTranInviteToChat = 113,         // both ways: 103 and 114 out, 114 and 102 in
    kTranRejectChatInvite = 114,     // c→s one-way, 114
    kTranJoinChat = 115,             // c→s, 114; reply 115 subject, 300 per member
    kTranLeaveChat = 116,            // c→s one-way, 114
    kTranNotifyChatChangeUser = 117, // s→c, 114 103 104 112 102
    kTranNotifyChatDeleteUser = 118, // s→c, 114 103
    kTranNotifyChatSubject = 119,    // s→c, 114 115
    kTranSetChatSubject = 120,       // c→s one-way, 114 115
    kTranGetFileList = 200,          // c→s, 202 path; reply 200 per entry
    kTranDownloadFile = 202,         // c→s, 201 202 then 203 or 204; reply 107 108
    kTranUploadFile = 203,           // c→s, 201 202 then 108 or 204; reply 107 (203)
    kTranDeleteFile = 204,           // c→s, 201 202
    kTranNewFolder = 205,            // c→s, 201 202
    kTranGetFileInfo = 206,          // c→s, 201 202; reply 201 205 206 210 213 208 209 207
    kTranSetFileInfo = 207,          // c→s, 201 202 211 210
    kTranMoveFile = 208,             // c→s, 201 202 212
    kTranMakeFileAlias = 209,        // c→s, 201 202 212
    kTranDownloadFldr = 210,         // c→s, 201 202; reply 107 108 220
    kTranGetOnlineUsers = 300,       // c→s; reply 300 per user
    kTranNotifyChangeUser = 301,     // s→c, 103 104 112 102
    kTranNotifyDeleteUser = 302,     // s→c, 103
    kTranGetClientInfo = 303,        // c→s, 103; reply 102 101
    kTranSetClientUserInfo = 304,    // c→s one-way, 104 102
    kTranNewUser = 350,              // c→s, 105 106 complemented, 102, 110
    kTranDeleteUser = 351,           // c→s, 105 complemented
    kTranOpenUser = 352,             // c→s, 105 plain; reply 102 105 (complemented) 106 110
    kTranSetUser = 353,              // c→s, 105 106 complemented (a lone 0x00 password as it is), 102 110
    kTranUserAccess = 354,           // s→c, 110
    kTranUserBroadcast = 355,        // c→s 101; s→c as a server message with a sender
};

// Field ids, with the encoding of their data.
enum : uint16_t
{
    kFieldErrorText = 100,       // text: the server's explanation in any reply
    kFieldData = 101,            // bytes or text: the main text of a transaction
    kFieldUserName = 102,        // text
    kFieldUserID = 103,          // integer, 16-bit value
    kFieldUserIconID = 104,      // integer, 16-bit value
    kFieldUserLogin = 105,       // complemented text (plain in an open-user request)
    kFieldUserPassword = 106,    // complemented text
    kFieldRefNum = 107,          // integer, 32-bit value
    kFieldTransferSize = 108,    // integer, 32-bit value
    kFieldChatOptions = 109,     // integer
    kFieldUserAccess = 110,      // 8 bytes of access bits
    kFieldUserFlags = 112,       // integer, 16-bit value
    kFieldOptions = 113,         // integer
    kFieldChatID = 114,          // integer, 32-bit value; absent or 0 = the public chat
    kFieldChatSubject = 115,     // text
    kFieldFileEntry = 200,       // file entry record, one field per entry
    kFieldFileName = 201,        // text
    kFieldFilePath = 202,        // path record; absent for the root
    kFieldResumeData = 203,      // resume record
    kFieldTransferOptions = 204, // integer: 2 = preview (download), 1 = resume (upload)
    kFieldFileTypeText = 205,    // text
    kFieldFileCreatorText = 206, // text
    kFieldFileSize = 207,        // integer
    kFieldFileCreateDate = 208,  // date record
    kFieldFileModifyDate = 209,  // date record
    kFieldFileComment = 210,     // text
    kFieldFileNewName = 211,     // text
    kFieldFileNewPath = 212,     // path record
    kFieldFileTypeCode = 213,    // 4 bytes
    kFieldQuotedText = 214,      // bytes
    kFieldFolderItemCount = 220, // integer
    kFieldUserEntry = 300,       // user entry record, one field per entry
};
