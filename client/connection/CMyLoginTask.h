// Logs in with an account (or as a guest when the login is empty), sending the user's name and icon.
#pragma once

#include "client/core/CMyTask.h"

class CMyLoginTask : public CMyTransactTask
{
public:
    // Length-prefixed login and password.
    CMyLoginTask(const uint8_t* login, const uint8_t* password);
    void Process() override;
    // A session whose login is stopped cannot go on.
    bool StopEndsSession() const override { return true; }
};
