#include "tools/testserver/CServerModel.h"

#include "tools/testserver/CTestServer.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

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

SAccessBits CServerModel::AccessOf(uint32_t connection) const
{
    auto it = mSessions.find(connection);
    return it == mSessions.end() ? SAccessBits{} : it->second.access;
}

bool CServerModel::HasBit(const SAccessBits& access, uint32_t bit)
{
    return bit < 64 && (access[bit / 8] & (0x80u >> (bit % 8))) != 0;
}

bool CServerModel::Require(SRequest& r, uint32_t bit, const char* refusal)
{
    if (r.session.loggedIn && HasBit(r.session.access, bit)) return true;
    Refuse(r.reply, refusal);
    return false;
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

void CServerModel::NotifyAll(CTestServer& server, uint16_t type, const std::string& body)
{
    for (const auto& [connection, session] : mSessions)
        if (session.loggedIn) server.PushTransactionTo(connection, type, body);
}

bool CServerModel::Answer(CTestServer& server, uint32_t connection, const STestTransaction& request,
                          STestReply& reply, std::vector<std::pair<uint16_t, std::string>>& followUps)
{
    reply = STestReply{};
    SRequest r{server, connection, request, reply, followUps, mSessions[connection]};
    return AnswerSession(r) || AnswerChat(r) || AnswerUsers(r) || AnswerAccounts(r) || AnswerNews(r) ||
           AnswerFiles(r) || AnswerTransfers(r);
}

void CServerModel::Disconnected(CTestServer& server, uint32_t connection)
{
    auto it = mSessions.find(connection);
    if (it == mSessions.end()) return;
    LeaveAllChats(server, connection);
    const SSession session = it->second;
    mSessions.erase(it);
    if (session.loggedIn)
        NotifyOthers(server, connection, 302, CFields().AddInteger(kUserID, session.user.id).Bytes());
}

void CServerModel::SendServerMessage(CTestServer& server, const std::string& text, uint16_t kind)
{
    NotifyAll(server, 104, CFields().AddInteger(kUserID, 0).Add(kData, text).AddInteger(kKind, kind).Bytes());
}

void CServerModel::SendDisconnectMessage(CTestServer& server, uint32_t connection, const std::string& text)
{
    server.PushTransactionTo(connection, 111, CFields().Add(kData, text).Bytes());
}
