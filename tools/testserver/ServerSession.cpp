// The server model's session requests: login, the online users list, a change of name and icon.
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

bool CServerModel::AnswerSession(SRequest& r)
{
    const std::string& body = r.request.body;
    SSession& session = r.session;
    switch (r.request.header.type)
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
                Refuse(r.reply, "This server does not accept guests.");
                return true;
            }
        }
        else
        {
            auto it = accounts.find(login);
            if (it == accounts.end() || it->second.password != password)
            {
                Refuse(r.reply, "Incorrect login or password.");
                return true;
            }
            if (banned.count(login))
            {
                Refuse(r.reply, "You are banned from this server.");
                return true;
            }
            access = it->second.access;
            if (name.empty()) name = it->second.name;
        }
        if (name.empty()) name = "unnamed";
        const bool wasLoggedIn = session.loggedIn;
        session.loggedIn = true;
        session.login = login;
        session.access = access;
        if (!wasLoggedIn) session.user.id = mNextUserID++;
        session.user.icon = int16_t(Integer(CFields::Find(body, kIcon)));
        session.user.name = name;
        r.followUps.emplace_back(354,
                                 CFields().Add(kAccess, std::string(access.begin(), access.end())).Bytes());
        if (!agreement.empty()) r.followUps.emplace_back(109, CFields().Add(kData, agreement).Bytes());
        if (!welcome.empty())
            r.followUps.emplace_back(
                104, CFields().AddInteger(kUserID, 0).Add(kData, welcome).AddInteger(kKind, 1).Bytes());
        NotifyOthers(r.server, r.connection, 301, UserFields(session.user));
        return true;
    }
    case 300: // online users
    {
        CFields fields;
        for (const SServerUser& user : OnlineUsers())
            fields.Add(kUserEntry, testwire::UserEntry(user.id, user.icon, user.flags, user.name));
        r.reply.body = fields.Bytes();
        return true;
    }
    case 304: // name and icon changed
        session.user.icon = int16_t(Integer(CFields::Find(body, kIcon)));
        session.user.name = CFields::Find(body, kName);
        // The one who changed hears it too: that is how its own row in the users list learns the new name.
        if (session.loggedIn) NotifyAll(r.server, 301, UserFields(session.user));
        ChatMemberChanged(r.server, r.connection);
        r.reply.answer = false;
        return true;
    default:
        return false;
    }
}
