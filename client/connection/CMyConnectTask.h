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
    // From its start to its end the server connection's notices bring the steps; before it, the
    // keyring's answer with the password.
    bool IsWaitingOnNetwork() const override;
    bool StopEndsSession() const override { return true; }
};
