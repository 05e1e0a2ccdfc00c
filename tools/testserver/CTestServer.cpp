#include "tools/testserver/CTestServer.h"

#include <cerrno>

#include "platform/Socket.h"
#include "tools/testserver/CTestSocket.h"

struct CTestServer::SConnection
{
    std::unique_ptr<CTestSocket> socket;
    bool handshakeDone = false;
};

CTestServer::CTestServer() = default;

CTestServer::~CTestServer()
{
    mConnections.clear();
    platform::UnwatchSocket(mListenWatch);
    platform::CloseSocket(mListenFD);
}

bool CTestServer::Listen(uint16_t port)
{
    if (platform::ListenLoopback(port, mListenFD, mPort) != 0) return false;
    mListenWatch = platform::WatchSocket(mListenFD, ListenEvent, this);
    platform::SetReadWatch(mListenWatch, true);
    return true;
}

void CTestServer::ListenEvent(void* context, int event)
{
    if (event == platform::kSocketReadable) static_cast<CTestServer*>(context)->Accept();
}

void CTestServer::Accept()
{
    int fd;
    while (platform::AcceptConnection(mListenFD, fd) == 0)
    {
        auto c = std::make_unique<SConnection>();
        c->socket = std::make_unique<CTestSocket>(fd);
        c->socket->SetPieceSize(mPieceSize);
        SConnection* raw = c.get();
        c->socket->onInput = [this, raw] { Input(*raw); };
        c->socket->onClosed = [this] { mClientClosed = true; };
        mConnections.push_back(std::move(c));
        ++mConnectionCount;
        mClientClosed = false;
    }
}

void CTestServer::SetHandshake(EHandshake mode, uint32_t refuseCode)
{
    mHandshakeMode = mode;
    mRefuseCode = refuseCode;
}

void CTestServer::SetReply(uint16_t type, const STestReply& reply)
{
    mReplies[type] = reply;
}

void CTestServer::Input(SConnection& c)
{
    std::string& in = c.socket->Input();
    if (!c.handshakeDone)
    {
        if (in.size() < 12) return;
        mHandshake = in.substr(0, 12);
        in.erase(0, 12);
        c.handshakeDone = true;
        switch (mHandshakeMode)
        {
        case EHandshake::Accept:
            c.socket->Write("TRTP" + testwire::BE32(0));
            break;
        case EHandshake::Refuse:
            c.socket->Write("TRTP" + testwire::BE32(mRefuseCode));
            break;
        case EHandshake::Garble:
            c.socket->Write("HTTP" + testwire::BE32(0));
            break;
        case EHandshake::Ignore:
            break;
        case EHandshake::Close:
            c.socket->CloseNow();
            return;
        }
    }
    // The client sends every transaction as one part; parts of one id are still joined here.
    while (in.size() >= 20)
    {
        const STestPartHeader h = testwire::DecodeHeader(in, 0);
        if (in.size() - 20 < h.dataSize) return;
        STestTransaction t{h, in.substr(20, h.dataSize)};
        in.erase(0, 20 + size_t(h.dataSize));
        mReceived.push_back(t);
        if (!h.isReply) Answer(c, t);
        if (!c.socket->IsOpen()) return;
        if (onRequest) onRequest(*this, t);
    }
}

void CTestServer::Answer(SConnection& c, const STestTransaction& request)
{
    auto it = mReplies.find(request.header.type);
    if (it == mReplies.end()) it = mReplies.find(0);
    if (it == mReplies.end() || !it->second.answer) return;
    const STestReply& r = it->second;
    if (r.closeInstead)
    {
        c.socket->CloseNow();
        return;
    }
    STestPartHeader h;
    h.isReply = 1;
    h.type = request.header.type;
    h.id = request.header.id + r.idDelta;
    h.error = r.error;
    c.socket->Write(testwire::EncodeTransaction(h, r.body, r.parts, r.zeroSizeHeaders));
}

void CTestServer::PushTransaction(uint16_t type, const std::string& body, uint32_t parts,
                                  bool zeroSizeHeaders)
{
    STestPartHeader h;
    h.type = type;
    h.id = mNextID++;
    SendRaw(testwire::EncodeTransaction(h, body, parts, zeroSizeHeaders));
}

void CTestServer::SendRaw(const std::string& bytes)
{
    if (!mConnections.empty()) mConnections.back()->socket->Write(bytes);
}

void CTestServer::SetPieceSize(uint32_t bytes)
{
    mPieceSize = bytes;
    for (auto& c : mConnections)
        c->socket->SetPieceSize(bytes);
}

void CTestServer::CloseAfterWriting(uint64_t totalBytes)
{
    if (!mConnections.empty()) mConnections.back()->socket->CloseAfterWriting(totalBytes);
}

void CTestServer::CloseConnection()
{
    if (!mConnections.empty()) mConnections.back()->socket->CloseNow();
}

bool CTestServer::HasOpenConnection() const
{
    return !mConnections.empty() && mConnections.back()->socket->IsOpen();
}

bool CTestServer::IsFlushed() const
{
    return mConnections.empty() || mConnections.back()->socket->IsFlushed();
}

uint64_t CTestServer::BytesWritten() const
{
    return mConnections.empty() ? 0 : mConnections.back()->socket->BytesWritten();
}

size_t CTestServer::CountReceived(uint16_t type) const
{
    size_t n = 0;
    for (const auto& t : mReceived)
        if (t.header.type == type) ++n;
    return n;
}
