// The server model's news: the whole text, posting an article that every user is told of (the author
// too), and broadcasts to every other user.
#include <ctime>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
enum : uint32_t
{
    kBitPostNews = 21,
    kBitBroadcast = 32,
};

constexpr char kSeparator[] = "_________________________________________________";

std::string Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, "%a, %b %d, %Y %H:%M", &local));
}
} // namespace

bool CServerModel::AnswerNews(SRequest& r)
{
    switch (r.request.header.type)
    {
    case 101: // news
        r.reply.body = CFields().Add(kData, news).Bytes();
        return true;
    case 103: // post news: the article with its author and date goes on top
    {
        if (!Require(r, kBitPostNews, "You are not allowed to post news.")) return true;
        const std::string text = CFields::Find(r.request.body, kData);
        if (text.empty())
        {
            Refuse(r.reply, "An empty article is not posted.");
            return true;
        }
        const std::string article =
            "From " + r.session.user.name + " (" + Now() + "):\r\r" + text + "\r" + kSeparator + "\r";
        news = article + news;
        NotifyAll(r.server, 102, CFields().Add(kData, article).Bytes());
        return true;
    }
    case 355: // broadcast: every other user gets it as a message from its sender
    {
        if (!Require(r, kBitBroadcast, "You are not allowed to broadcast.")) return true;
        const std::string text = CFields::Find(r.request.body, kData);
        if (text.empty())
        {
            Refuse(r.reply, "An empty broadcast is not sent.");
            return true;
        }
        NotifyOthers(r.server, r.connection, 355,
                     CFields()
                         .AddInteger(kUserID, r.session.user.id)
                         .Add(kName, r.session.user.name)
                         .AddInteger(kOptions, 1)
                         .Add(kData, text)
                         .Bytes());
        return true;
    }
    default:
        return false;
    }
}
