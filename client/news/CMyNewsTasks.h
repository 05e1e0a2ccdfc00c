// Requests about the server's news: reading it, posting an article and broadcasting to everyone.
#pragma once

#include "client/core/CMyTask.h"

class CMyGetNewsTask : public CMyTransactTask
{
public:
    CMyGetNewsTask();
    void Process() override;
};

class CMyPostNewsTask : public CMyTransactTask
{
public:
    CMyPostNewsTask(const void* data, uint32_t dataSize);
    void Process() override;
};

class CMyBroadcastTask : public CMyTransactTask
{
public:
    CMyBroadcastTask(const void* data, uint32_t dataSize);
    void Process() override;
};
