#include "tools/testserver/CTestTracker.h"

#include <algorithm>

#include "platform/Socket.h"
#include "tools/testserver/CTestSocket.h"
#include "tools/testserver/TestWire.h"

namespace
{
constexpr uint32_t kHelloSize = 6;
constexpr uint16_t kServerList = 1;
constexpr uint16_t kJunk = 2;
} // namespace

struct CTestTracker::SConnection
{
    std::unique_ptr<CTestSocket> socket;
    bool answered = false;
};

CTestTracker::CTestTracker() = default;

CTestTracker::~CTestTracker()
{
    mConnections.clear();
}

bool CTestTracker::Listen(uint16_t port)
{
    return mListener.Listen(port);
}

void CTestTracker::Adopt(int fd)
{
    auto c = std::make_unique<SConnection>();
    c->socket = std::make_unique<CTestSocket>(fd);
    c->socket->SetPieceSize(mPieceSize);
    SConnection* raw = c.get();
    c->socket->onInput = [this, raw] { Input(*raw); };
    c->socket->onClosed = [this] { ++mClosedCount; };
    mConnections.push_back(std::move(c));
    ++mConnectionCount;
}

std::string CTestTracker::Record(const STestTrackedServer& s)
{
    std::string r(reinterpret_cast<const char*>(s.address), 4);
    r += testwire::BE16(s.port) + testwire::BE16(s.users) + testwire::BE16(0);
    const std::string name = s.name.substr(0, 255), desc = s.desc.substr(0, 255);
    r += char(uint8_t(name.size())) + name;
    r += char(uint8_t(desc.size())) + desc;
    return r;
}

std::string CTestTracker::Message(uint16_t type, const std::string& body)
{
    return testwire::BE16(type) + testwire::BE16(uint16_t(body.size())) + body;
}

std::string CTestTracker::ServerListMessage(uint16_t total, const std::vector<STestTrackedServer>& servers)
{
    std::string body = testwire::BE16(total) + testwire::BE16(0);
    for (const STestTrackedServer& s : servers)
        body += Record(s);
    return Message(kServerList, body);
}

std::string CTestTracker::Reply() const
{
    if (!mRawReply.empty()) return mRawReply;
    const uint16_t total = uint16_t(mAnnouncedTotal < 0 ? mServers.size() : size_t(mAnnouncedTotal));
    const size_t batch = mBatchSize ? mBatchSize : std::max<size_t>(mServers.size(), 1);
    std::string out;
    size_t at = 0;
    do
    {
        if (mJunkSize) out += Message(kJunk, std::string(mJunkSize, 'j'));
        const size_t n = std::min(batch, mServers.size() - at);
        out += ServerListMessage(total, {mServers.begin() + long(at), mServers.begin() + long(at + n)});
        at += n;
        if (mCloseBeforeTotal) break;
    } while (at < mServers.size());
    return out;
}

void CTestTracker::Input(SConnection& c)
{
    std::string& in = c.socket->Input();
    if (c.answered || in.size() < kHelloSize) return;
    mLastHello = in.substr(0, kHelloSize);
    in.erase(0, kHelloSize);
    ++mHelloCount;
    c.answered = true;
    switch (mHello)
    {
    case EHello::Accept:
        c.socket->Write("QVRK" + testwire::BE16(1) + Reply());
        break;
    case EHello::WrongMagic:
        c.socket->Write("HTTP" + testwire::BE16(1));
        break;
    case EHello::WrongVersion:
        c.socket->Write("QVRK" + testwire::BE16(2));
        break;
    case EHello::Ignore:
        return;
    case EHello::Close:
        c.socket->CloseNow();
        return;
    }
    if (mCloseWhenSent || mCloseBeforeTotal) c.socket->CloseWhenFlushed();
}
