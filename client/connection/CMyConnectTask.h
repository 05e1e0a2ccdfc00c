// Brings up the server connection and, once it is up, starts the login, online users and news
// requests.
#pragma once

#include "client/core/CMyTask.h"

class CMyConnectTask : public CMyTask
{
public:
    CMyConnectTask();
    ~CMyConnectTask() override;
    void Process() override;
    bool StopEndsSession() const override { return true; }
};
