// The server model's user requests: client information.
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

bool CServerModel::AnswerUsers(SRequest& r)
{
    switch (r.request.header.type)
    {
    case 303: // client information
    {
        const uint16_t id = uint16_t(Integer(CFields::Find(r.request.body, kUserID)));
        for (const SServerUser& user : OnlineUsers())
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
    default:
        return false;
    }
}
