#include "tools/testserver/CServerModel.h"

#include "tools/testserver/CTestServer.h"

using testwire::CFields;

namespace
{
// Field and transaction numbers as the server side knows them.
enum : uint16_t
{
    kError = 100,
    kData = 101,
    kName = 102,
    kUserID = 103,
    kIcon = 104,
    kLogin = 105,
    kPassword = 106,
    kKind = 109,
    kAccess = 110,
    kFlags = 112,
    kUserEntry = 300,
};

int32_t Integer(const std::string& data)
{
    if (data.size() == 2) return testwire::ReadBE16(data, 0);
    if (data.size() == 4) return int32_t(testwire::ReadBE32(data, 0));
    return 0;
}

void Refuse(STestReply& reply, const std::string& text)
{
    reply.error = 1;
    reply.body = CFields().Add(kError, text).Bytes();
}
} // namespace

std::string CServerModel::Complement(std::string text)
{
    for (char& c : text)
        c = char(~uint8_t(c));
    return text;
}

SAccessBits CServerModel::AllAccess()
{
    SAccessBits bits;
    bits.fill(0xFF);
    return bits;
}

bool CServerModel::IsLoggedIn(uint32_t connection) const
{
    auto it = mSessions.find(connection);
    return it != mSessions.end() && it->second.loggedIn;
}

std::string CServerModel::LoginOf(uint32_t connection) const
{
    auto it = mSessions.find(connection);
    return it == mSessions.end() ? std::string() : it->second.login;
}

std::vector<SServerUser> CServerModel::OnlineUsers() const
{
    std::vector<SServerUser> users;
    for (const auto& [connection, session] : mSessions)
        if (session.loggedIn) users.push_back(session.user);
    users.insert(users.end(), extraUsers.begin(), extraUsers.end());
    return users;
}

std::string CServerModel::UserFields(const SServerUser& user)
{
    return CFields()
        .AddInteger(kUserID, user.id)
        .AddInteger(kIcon, user.icon)
        .AddInteger(kFlags, user.flags)
        .Add(kName, user.name)
        .Bytes();
}

void CServerModel::NotifyOthers(CTestServer& server, uint32_t connection, uint16_t type,
                                const std::string& body)
{
    for (const auto& [other, session] : mSessions)
        if (other != connection && session.loggedIn) server.PushTransactionTo(other, type, body);
}

bool CServerModel::Answer(CTestServer& server, uint32_t connection, const STestTransaction& request,
                          STestReply& reply, std::vector<std::pair<uint16_t, std::string>>& followUps)
{
    const std::string& body = request.body;
    SSession& session = mSessions[connection];
    reply = STestReply{};
    switch (request.header.type)
    {
    case 107: // login
    {
        const std::string login = Complement(CFields::Find(body, kLogin));
        const std::string password = Complement(CFields::Find(body, kPassword));
        SAccessBits access = guestAccess;
        std::string name = CFields::Find(body, kName);
        if (login.empty())
        {
            if (!guestAllowed)
            {
                Refuse(reply, "This server does not accept guests.");
                return true;
            }
        }
        else
        {
            auto it = accounts.find(login);
            if (it == accounts.end() || it->second.password != password)
            {
                Refuse(reply, "Incorrect login or password.");
                return true;
            }
            access = it->second.access;
            if (name.empty()) name = it->second.name;
        }
        if (name.empty()) name = "unnamed";
        const bool wasLoggedIn = session.loggedIn;
        session.loggedIn = true;
        session.login = login;
        if (!wasLoggedIn) session.user.id = mNextUserID++;
        session.user.icon = int16_t(Integer(CFields::Find(body, kIcon)));
        session.user.name = name;
        followUps.emplace_back(354,
                               CFields().Add(kAccess, std::string(access.begin(), access.end())).Bytes());
        if (!agreement.empty()) followUps.emplace_back(109, CFields().Add(kData, agreement).Bytes());
        if (!welcome.empty())
            followUps.emplace_back(
                104, CFields().AddInteger(kUserID, 0).Add(kData, welcome).AddInteger(kKind, 1).Bytes());
        NotifyOthers(server, connection, 301, UserFields(session.user));
        return true;
    }
    case 300: // online users
    {
        CFields fields;
        for (const SServerUser& user : OnlineUsers())
            fields.Add(kUserEntry, testwire::UserEntry(user.id, user.icon, user.flags, user.name));
        reply.body = fields.Bytes();
        return true;
    }
    case 101: // news
        reply.body = CFields().Add(kData, news).Bytes();
        return true;
    case 103: // post news
    {
        const std::string article = CFields::Find(body, kData);
        news = article + "\r_________________________________________________\r" + news;
        NotifyOthers(server, connection, 102, CFields().Add(kData, article).Bytes());
        return true;
    }
    case 105: // chat line, one-way: everybody (the sender too) sees it
    {
        const std::string line = "\r" + session.user.name + ":  " + CFields::Find(body, kData);
        for (const auto& [other, s] : mSessions)
            if (s.loggedIn) server.PushTransactionTo(other, 106, CFields().Add(kData, line).Bytes());
        reply.answer = false;
        return true;
    }
    case 303: // client information
    {
        const uint16_t id = uint16_t(Integer(CFields::Find(body, kUserID)));
        for (const SServerUser& user : OnlineUsers())
            if (user.id == id)
            {
                reply.body = CFields()
                                 .Add(kName, user.name)
                                 .Add(kData, "Name: " + user.name + "\rConnected to the demo server.")
                                 .Bytes();
                return true;
            }
        Refuse(reply, "No such user.");
        return true;
    }
    case 304: // name and icon changed
        session.user.icon = int16_t(Integer(CFields::Find(body, kIcon)));
        session.user.name = CFields::Find(body, kName);
        if (session.loggedIn) NotifyOthers(server, connection, 301, UserFields(session.user));
        reply.answer = false;
        return true;
    default:
        return false;
    }
}

void CServerModel::Disconnected(CTestServer& server, uint32_t connection)
{
    auto it = mSessions.find(connection);
    if (it == mSessions.end()) return;
    const SSession session = it->second;
    mSessions.erase(it);
    if (session.loggedIn)
        NotifyOthers(server, connection, 302, CFields().AddInteger(kUserID, session.user.id).Bytes());
}

void CServerModel::SendServerMessage(CTestServer& server, const std::string& text, uint16_t kind)
{
    const std::string body =
        CFields().AddInteger(kUserID, 0).Add(kData, text).AddInteger(kKind, kind).Bytes();
    for (const auto& [connection, session] : mSessions)
        if (session.loggedIn) server.PushTransactionTo(connection, 104, body);
}

void CServerModel::SendDisconnectMessage(CTestServer& server, uint32_t connection, const std::string& text)
{
    server.PushTransactionTo(connection, 111, CFields().Add(kData, text).Bytes());
}
