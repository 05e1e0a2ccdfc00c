// The server model's conversations: public chat lines relayed to everybody, private chats with their
// members, invitations and subjects, and private messages from user to user.
#include <algorithm>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
// The line as every client shows it: the server writes the speaker's name in.
std::string FormatLine(const std::string& name, const std::string& text, bool asAction)
{
    return asAction ? "\r *** " + name + " " + text : "\r" + name + ":  " + text;
}

bool Contains(const std::vector<uint32_t>& list, uint32_t connection)
{
    return std::find(list.begin(), list.end(), connection) != list.end();
}

void Remove(std::vector<uint32_t>& list, uint32_t connection)
{
    list.erase(std::remove(list.begin(), list.end(), connection), list.end());
}

// A member who came in or changed, as a chat's members are told of it; also the creator of a new chat
// in the reply that opens it.
std::string MemberNotice(uint32_t chatID, const SServerUser& user)
{
    return CFields()
        .AddInteger(kChatID, int32_t(chatID))
        .AddInteger(kUserID, user.id)
        .AddInteger(kIcon, user.icon)
        .AddInteger(kFlags, user.flags)
        .Add(kName, user.name)
        .Bytes();
}
} // namespace

std::vector<uint32_t> CServerModel::ChatMembers(uint32_t chatID) const
{
    auto it = mChats.find(chatID);
    return it == mChats.end() ? std::vector<uint32_t>() : it->second.members;
}

std::string CServerModel::ChatSubject(uint32_t chatID) const
{
    auto it = mChats.find(chatID);
    return it == mChats.end() ? std::string() : it->second.subject;
}

bool CServerModel::IsChatMember(uint32_t chatID, uint32_t connection) const
{
    auto it = mChats.find(chatID);
    return it != mChats.end() && Contains(it->second.members, connection);
}

uint32_t CServerModel::ConnectionOfUser(uint16_t userID) const
{
    for (const auto& [connection, session] : mSessions)
        if (session.loggedIn && session.user.id == userID) return connection;
    return 0;
}

void CServerModel::Invite(CTestServer& server, uint32_t chatID, uint32_t from, uint32_t to)
{
    SChat& chat = mChats[chatID];
    if (!to || Contains(chat.members, to)) return;
    if (!Contains(chat.invited, to)) chat.invited.push_back(to);
    server.PushTransactionTo(
        to, 113,
        CFields().AddInteger(kChatID, int32_t(chatID)).Add(kName, mSessions[from].user.name).Bytes());
}

void CServerModel::SendToChat(CTestServer& server, uint32_t chatID, uint16_t type, const std::string& body,
                              uint32_t except)
{
    for (uint32_t member : ChatMembers(chatID))
        if (member != except) server.PushTransactionTo(member, type, body);
}

void CServerModel::LeaveChat(CTestServer& server, uint32_t chatID, uint32_t connection)
{
    auto it = mChats.find(chatID);
    if (it == mChats.end()) return;
    Remove(it->second.invited, connection);
    if (!Contains(it->second.members, connection)) return;
    Remove(it->second.members, connection);
    if (it->second.members.empty())
    {
        mChats.erase(it);
        return;
    }
    SendToChat(server, chatID, 118,
               CFields()
                   .AddInteger(kChatID, int32_t(chatID))
                   .AddInteger(kUserID, mSessions[connection].user.id)
                   .Bytes());
}

void CServerModel::LeaveAllChats(CTestServer& server, uint32_t connection)
{
    std::vector<uint32_t> ids;
    for (const auto& [id, chat] : mChats)
        ids.push_back(id);
    for (uint32_t id : ids)
        LeaveChat(server, id, connection);
}

void CServerModel::ChatMemberChanged(CTestServer& server, uint32_t connection)
{
    for (const auto& [id, chat] : mChats)
        if (Contains(chat.members, connection))
            SendToChat(server, id, 117, MemberNotice(id, mSessions[connection].user));
}

bool CServerModel::AnswerChat(SRequest& r)
{
    const std::string& body = r.request.body;
    const uint32_t chatID = uint32_t(Integer(CFields::Find(body, kChatID)));
    const SServerUser& me = r.session.user;
    switch (r.request.header.type)
    {
    case 105: // chat line, one-way: everybody in that chat (the sender too) sees it
    {
        r.reply.answer = false;
        if (!r.session.loggedIn) return true;
        const bool asAction = Integer(CFields::Find(body, kKind)) == 1;
        const std::string line = FormatLine(me.name, CFields::Find(body, kData), asAction);
        if (chatID == 0)
        {
            for (const auto& [other, s] : mSessions)
                if (s.loggedIn) r.server.PushTransactionTo(other, 106, CFields().Add(kData, line).Bytes());
        }
        else if (IsChatMember(chatID, r.connection))
            SendToChat(r.server, chatID, 106,
                       CFields().AddInteger(kChatID, int32_t(chatID)).Add(kData, line).Bytes());
        return true;
    }
    case 108: // private message: goes to the recipient as a server message with a sender
    {
        const uint16_t to = uint16_t(Integer(CFields::Find(body, kUserID)));
        const uint32_t connection = ConnectionOfUser(to);
        if (!connection)
        {
            // The users who only seem to be online take messages without reading them.
            for (const SServerUser& extra : extraUsers)
                if (extra.id == to) return true;
            Refuse(r.reply, "That user is not online.");
            return true;
        }
        CFields message;
        message.AddInteger(kUserID, me.id).Add(kName, me.name);
        message.AddInteger(kOptions, Integer(CFields::Find(body, kOptions)));
        message.Add(kData, CFields::Find(body, kData));
        const std::string quote = CFields::Find(body, kQuote);
        if (!quote.empty()) message.Add(kQuote, quote);
        r.server.PushTransactionTo(connection, 104, message.Bytes());
        return true;
    }
    case 112: // a new private chat with its creator in it, and invitations to the others
    {
        const uint32_t id = nextChatID++;
        mChats[id].members.push_back(r.connection);
        for (const auto& [fieldID, data] : CFields::Parse(body))
            if (fieldID == kUserID)
                Invite(r.server, id, r.connection, ConnectionOfUser(uint16_t(Integer(data))));
        r.reply.body = MemberNotice(id, me);
        return true;
    }
    case 113: // a member asks another user in, one-way
        r.reply.answer = false;
        if (IsChatMember(chatID, r.connection))
            Invite(r.server, chatID, r.connection,
                   ConnectionOfUser(uint16_t(Integer(CFields::Find(body, kUserID)))));
        return true;
    case 114: // an invitation declined, one-way
        r.reply.answer = false;
        if (mChats.count(chatID)) Remove(mChats[chatID].invited, r.connection);
        return true;
    case 115: // join: the subject and every member, the joiner included
    {
        auto it = mChats.find(chatID);
        if (it == mChats.end() || !Contains(it->second.invited, r.connection))
        {
            Refuse(r.reply, "That private chat is over, or you were not invited to it.");
            return true;
        }
        SChat& chat = it->second;
        Remove(chat.invited, r.connection);
        if (!Contains(chat.members, r.connection))
        {
            SendToChat(r.server, chatID, 117, MemberNotice(chatID, me));
            chat.members.push_back(r.connection);
        }
        CFields reply;
        reply.Add(kSubject, chat.subject);
        for (uint32_t member : chat.members)
        {
            const SServerUser& user = mSessions[member].user;
            reply.Add(kUserEntry, testwire::UserEntry(user.id, user.icon, user.flags, user.name));
        }
        r.reply.body = reply.Bytes();
        return true;
    }
    case 116: // leave, one-way
        r.reply.answer = false;
        LeaveChat(r.server, chatID, r.connection);
        return true;
    case 120: // a member sets the subject, one-way; every member hears of it
        r.reply.answer = false;
        if (IsChatMember(chatID, r.connection))
        {
            mChats[chatID].subject = CFields::Find(body, kSubject);
            SendToChat(
                r.server, chatID, 119,
                CFields().AddInteger(kChatID, int32_t(chatID)).Add(kSubject, mChats[chatID].subject).Bytes());
        }
        return true;
    default:
        return false;
    }
}
