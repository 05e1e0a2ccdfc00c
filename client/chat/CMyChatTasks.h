// Requests of private messaging and private chats.
#pragma once

#include "client/core/CMyTask.h"

class CMySendPrivMsgTask : public CMyTransactTask
{
public:
    // The quoted text goes out only when both it and its size are given.
    CMySendPrivMsgTask(uint16_t yourID, const void* myMsg, uint32_t myMsgSize, uint16_t options,
                       const void* yourMsg, uint32_t yourMsgSize);
    void Process() override;
};

class CMyInviteNewChatTask : public CMyTransactTask
{
public:
    CMyInviteNewChatTask(const uint32_t* userIDs, uint32_t count);
    void Process() override;
};

class CMyJoinChatTask : public CMyTransactTask
{
public:
    explicit CMyJoinChatTask(uint32_t chatID);
    void Process() override;

    uint32_t mChatID;
};
