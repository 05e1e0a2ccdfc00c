// Requests about users: the online list, account administration, disconnecting a user and asking
// about one.
#pragma once

#include "client/core/CMyTask.h"
#include "client/core/SMyUserAccess.h"

class CMyGetOnlineUsersTask : public CMyTransactTask
{
public:
    CMyGetOnlineUsersTask();
    void Process() override;
};

// Logins, passwords and names are length-prefixed.
class CMyNewUserTask : public CMyTransactTask
{
public:
    CMyNewUserTask(const uint8_t* name, const uint8_t* login, const uint8_t* pass,
                   const SMyUserAccess& access);
    void Process() override;
};

class CMyDeleteUserTask : public CMyTransactTask
{
public:
    explicit CMyDeleteUserTask(const uint8_t* login);
    void Process() override;
};

// The password of a set-user request that keeps the stored one: the single byte 0, which goes out as
// it is (any other password is complemented).
inline constexpr uint8_t kUnchangedPassword[] = {1, 0};

class CMySetUserTask : public CMyTransactTask
{
public:
    CMySetUserTask(const uint8_t* name, const uint8_t* login, const uint8_t* pass,
                   const SMyUserAccess& access);
    void Process() override;
};

class CMyOpenUserTask : public CMyTransactTask
{
public:
    explicit CMyOpenUserTask(const uint8_t* login);
    void Process() override;

private:
    uint8_t mLogin[32];
};

class CMyDisconnectUserTask : public CMyTransactTask
{
public:
    CMyDisconnectUserTask(uint16_t id, const uint8_t* name, bool ban);
    void Process() override;
};

class CMyGetClientInfoTask : public CMyTransactTask
{
public:
    CMyGetClientInfoTask(uint16_t id, const uint8_t* name);
    void Process() override;
};
