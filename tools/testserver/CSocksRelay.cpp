#include "tools/testserver/CSocksRelay.h"

#include <cerrno>
#include <cstring>

#include "platform/Socket.h"
#include "tools/testserver/CTestSocket.h"

struct CSocksRelay::SSession
{
    std::unique_ptr<CTestSocket> client;
    std::unique_ptr<CTestSocket> destination;
    bool requested = false;
    bool relaying = false;
};

CSocksRelay::CSocksRelay() = default;

CSocksRelay::~CSocksRelay()
{
    mSessions.clear();
}

bool CSocksRelay::Listen(uint16_t port)
{
    return mListener.Listen(port);
}

void CSocksRelay::Adopt(int fd)
{
    auto s = std::make_unique<SSession>();
    s->client = std::make_unique<CTestSocket>(fd);
    SSession* raw = s.get();
    s->client->onInput = [this, raw] { ClientInput(*raw); };
    s->client->onClosed = [raw]
    {
        if (raw->destination) raw->destination->CloseWhenFlushed();
    };
    mSessions.push_back(std::move(s));
}

void CSocksRelay::Reply(SSession& s, uint8_t code)
{
    std::string reply(8, '\0');
    reply[1] = char(code);
    s.client->SetPieceSize(mReplyPieceSize);
    s.client->Write(reply);
}

void CSocksRelay::ClientInput(SSession& s)
{
    std::string& in = s.client->Input();
    if (s.relaying)
    {
        if (s.destination) s.destination->Write(in);
        in.clear();
        return;
    }
    if (s.requested) return;
    // Version, command, port, address, then a user id ending in 0.
    if (in.size() < 9) return;
    const size_t end = in.find('\0', 8);
    if (end == std::string::npos) return;
    s.requested = true;
    mLastRequest = in.substr(0, end + 1);
    ++mRequestCount;
    in.erase(0, end + 1);
    if (mSilent) return;
    if (mResult != 90 || mLastRequest[0] != 4 || mLastRequest[1] != 1)
    {
        Reply(s, mResult == 90 ? 91 : mResult);
        s.client->CloseWhenFlushed();
        return;
    }
    const uint16_t port = uint16_t((uint8_t(mLastRequest[2]) << 8) | uint8_t(mLastRequest[3]));
    uint32_t addressBE;
    std::memcpy(&addressBE, mLastRequest.data() + 4, 4);
    int fd;
    int err = platform::OpenStreamSocket(fd);
    if (!err)
    {
        err = platform::ConnectIPv4(fd, addressBE, port);
        if (err && err != EINPROGRESS) platform::CloseSocket(fd);
    }
    if (err && err != EINPROGRESS)
    {
        Reply(s, 91);
        s.client->CloseWhenFlushed();
        return;
    }
    s.destination = std::make_unique<CTestSocket>(fd, true);
    SSession* raw = &s;
    s.destination->onConnected = [this, raw](int result)
    {
        if (result)
        {
            Reply(*raw, 91);
            raw->client->CloseWhenFlushed();
            return;
        }
        Reply(*raw, 90);
        raw->relaying = true;
        // Bytes the client sent right behind its request go on now.
        if (!raw->client->Input().empty()) ClientInput(*raw);
    };
    s.destination->onInput = [raw]
    {
        raw->client->Write(raw->destination->Input());
        raw->destination->Input().clear();
    };
    s.destination->onClosed = [raw] { raw->client->CloseWhenFlushed(); };
}
