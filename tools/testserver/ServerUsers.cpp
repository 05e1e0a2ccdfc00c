// The server model's user requests: client information and disconnecting a user, and the accounts
// (created, opened, changed and deleted for the rest of the server's run). Each needs its access bit.
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
enum : uint32_t
{
    kBitCreateUsers = 14,
    kBitDeleteUsers = 15,
    kBitReadUsers = 16,
    kBitModifyUsers = 17,
    kBitDisconnectUsers = 22,
    kBitCannotBeDisconnected = 23,
    kBitGetUserInfo = 24,
};

// A field of 8 bytes at most, missing bytes clear.
SAccessBits ReadAccess(const std::string& data)
{
    SAccessBits access{};
    for (size_t i = 0; i < access.size() && i < data.size(); ++i)
        access[i] = uint8_t(data[i]);
    return access;
}

std::string AccessField(const SAccessBits& access)
{
    return std::string(access.begin(), access.end());
}
} // namespace

bool CServerModel::AnswerUsers(SRequest& r)
{
    switch (r.request.header.type)
    {
    case 303: // client information
    {
        if (!Require(r, kBitGetUserInfo, "You are not allowed to get information about users.")) return true;
        const uint16_t id = uint16_t(Integer(CFields::Find(r.request.body, kUserID)));
        for (const auto& [connection, s] : mSessions)
            if (s.loggedIn && s.user.id == id)
            {
                const std::string text =
                    "Name: " + s.user.name + "\rAccount: " + (s.login.empty() ? "guest" : s.login) +
                    "\rUser ID: " + std::to_string(id) + "\rIcon: " + std::to_string(s.user.icon) +
                    "\rConnection: " + std::to_string(connection);
                r.reply.body = CFields().Add(kName, s.user.name).Add(kData, text).Bytes();
                return true;
            }
        for (const SServerUser& user : extraUsers)
            if (user.id == id)
            {
                r.reply.body = CFields()
                                   .Add(kName, user.name)
                                   .Add(kData, "Name: " + user.name + "\rConnected to the demo server.")
                                   .Bytes();
                return true;
            }
        Refuse(r.reply, "No such user.");
        return true;
    }
    case 110: // disconnect a user, banning the account with option 1
    {
        if (!Require(r, kBitDisconnectUsers, "You are not allowed to disconnect users.")) return true;
        const uint16_t id = uint16_t(Integer(CFields::Find(r.request.body, kUserID)));
        const bool ban = Integer(CFields::Find(r.request.body, kOptions)) == 1;
        uint32_t target = 0;
        for (const auto& [connection, s] : mSessions)
            if (s.loggedIn && s.user.id == id) target = connection;
        if (!target)
        {
            Refuse(r.reply, "That user cannot be disconnected.");
            return true;
        }
        if (target == r.connection)
        {
            Refuse(r.reply, "You cannot disconnect yourself.");
            return true;
        }
        const SSession& victim = mSessions[target];
        if (HasBit(victim.access, kBitCannotBeDisconnected))
        {
            Refuse(r.reply, "That user cannot be disconnected.");
            return true;
        }
        if (ban && !victim.login.empty()) banned.insert(victim.login);
        SendDisconnectMessage(r.server, target,
                              (ban ? "You were banned by " : "You were disconnected by ") +
                                  r.session.user.name + ".");
        // The others hear of it as of any user who leaves.
        r.server.CloseConnection(target);
        return true;
    }
    default:
        return false;
    }
}

bool CServerModel::AnswerAccounts(SRequest& r)
{
    const std::string& body = r.request.body;
    switch (r.request.header.type)
    {
    case 350: // new account
    {
        if (!Require(r, kBitCreateUsers, "You are not allowed to create accounts.")) return true;
        const std::string login = Complement(CFields::Find(body, kLogin));
        if (login.empty())
            Refuse(r.reply, "An account needs a login.");
        else if (accounts.count(login))
            Refuse(r.reply, "An account with the login \"" + login + "\" already exists.");
        else
            accounts[login] = {Complement(CFields::Find(body, kPassword)), CFields::Find(body, kName),
                               ReadAccess(CFields::Find(body, kAccess))};
        return true;
    }
    case 351: // delete an account; its users stay connected
    {
        if (!Require(r, kBitDeleteUsers, "You are not allowed to delete accounts.")) return true;
        if (!accounts.erase(Complement(CFields::Find(body, kLogin)))) Refuse(r.reply, "No such account.");
        return true;
    }
    case 352: // open an account: the login comes plain and goes back complemented
    {
        if (!Require(r, kBitReadUsers, "You are not allowed to read accounts.")) return true;
        const std::string login = CFields::Find(body, kLogin);
        auto it = accounts.find(login);
        if (it == accounts.end())
        {
            Refuse(r.reply, "No such account.");
            return true;
        }
        CFields reply;
        reply.Add(kName, it->second.name).Add(kLogin, Complement(login));
        // Clients only learn whether there is a password, never the password.
        if (!it->second.password.empty()) reply.Add(kPassword, Complement("x"));
        reply.Add(kAccess, AccessField(it->second.access));
        r.reply.body = reply.Bytes();
        return true;
    }
    case 353: // change an account; a password of the one byte 0 keeps the old one
    {
        if (!Require(r, kBitModifyUsers, "You are not allowed to modify accounts.")) return true;
        const std::string login = Complement(CFields::Find(body, kLogin));
        auto it = accounts.find(login);
        if (it == accounts.end())
        {
            Refuse(r.reply, "No such account.");
            return true;
        }
        const std::string password = CFields::Find(body, kPassword);
        if (password != std::string(1, '\0')) it->second.password = Complement(password);
        it->second.name = CFields::Find(body, kName);
        it->second.access = ReadAccess(CFields::Find(body, kAccess));
        // Whoever is logged in with the account works with its new access from now on.
        for (auto& [connection, s] : mSessions)
            if (s.loggedIn && s.login == login)
            {
                s.access = it->second.access;
                r.server.PushTransactionTo(connection, 354,
                                           CFields().Add(kAccess, AccessField(s.access)).Bytes());
            }
        return true;
    }
    default:
        return false;
    }
}
