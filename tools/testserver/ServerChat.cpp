// The server model's chat: public chat lines relayed to everybody.
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

bool CServerModel::AnswerChat(SRequest& r)
{
    switch (r.request.header.type)
    {
    case 105: // chat line, one-way: everybody (the sender too) sees it
    {
        const std::string line = "\r" + r.session.user.name + ":  " + CFields::Find(r.request.body, kData);
        for (const auto& [other, s] : mSessions)
            if (s.loggedIn) r.server.PushTransactionTo(other, 106, CFields().Add(kData, line).Bytes());
        r.reply.answer = false;
        return true;
    }
    default:
        return false;
    }
}
