// The server model's news: the whole text, and posting an article that every other user is told of.
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

bool CServerModel::AnswerNews(SRequest& r)
{
    switch (r.request.header.type)
    {
    case 101: // news
        r.reply.body = CFields().Add(kData, news).Bytes();
        return true;
    case 103: // post news
    {
        const std::string article = CFields::Find(r.request.body, kData);
        news = article + "\r_________________________________________________\r" + news;
        NotifyOthers(r.server, r.connection, 102, CFields().Add(kData, article).Bytes());
        return true;
    }
    default:
        return false;
    }
}
