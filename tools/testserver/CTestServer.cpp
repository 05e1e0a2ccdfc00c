#include "tools/testserver/CTestServer.h"

#include <cerrno>

#include "platform/Socket.h"
#include "tools/testserver/CHostileScript.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestSocket.h"

struct CTestServer::SConnection
{
    std::unique_ptr<CTestSocket> socket;
    uint32_t id = 0;
    bool handshakeDone = false;
};

CTestServer::CTestServer() = default;

CTestServer::~CTestServer()
{
    mConnections.clear();
}

bool CTestServer::Listen(uint16_t port)
{
    return mListener.Listen(port);
}

void CTestServer::StopListening()
{
    mListener.Stop();
}

void CTestServer::Adopt(int fd)
{
    if (!mKeepLog)
        std::erase_if(mConnections,
                      [](const std::unique_ptr<SConnection>& c) { return !c->socket->IsOpen(); });
    auto c = std::make_unique<SConnection>();
    c->socket = std::make_unique<CTestSocket>(fd);
    c->socket->SetPieceSize(mPieceSize);
    SConnection* raw = c.get();
    c->id = ++mConnectionCount;
    const uint32_t id = c->id;
    c->socket->onInput = [this, raw] { Input(*raw); };
    c->socket->onClosed = [this, id]
    {
        mClientClosed = true;
        Event(id, "closed");
        if (mModel) mModel->Disconnected(*this, id);
    };
    mConnections.push_back(std::move(c));
    mClientClosed = false;
    Event(id, "connected");
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
        Event(c.id, "handshake " + mHandshake.substr(0, 4) + " " + mHandshake.substr(4, 4) + " version " +
                        std::to_string(testwire::ReadBE16(mHandshake, 8)) + "." +
                        std::to_string(testwire::ReadBE16(mHandshake, 10)));
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
        ++mCounts[h.type];
        if (mKeepLog) mReceived.push_back(t);
        mCurrentConnection = c.id;
        if (!h.isReply) Answer(c, t);
        if (!c.socket->IsOpen()) return;
        if (onRequest) onRequest(*this, t);
    }
}

void CTestServer::Answer(SConnection& c, const STestTransaction& request)
{
    STestReply modelReply;
    std::vector<std::pair<uint16_t, std::string>> followUps;
    const STestReply* chosen = nullptr;
    auto it = mReplies.find(request.header.type);
    if (it != mReplies.end())
        chosen = &it->second;
    else if (mModel && mModel->Answer(*this, c.id, request, modelReply, followUps))
        chosen = &modelReply;
    else if ((it = mReplies.find(0)) != mReplies.end())
        chosen = &it->second;
    if (!chosen || !chosen->answer) return;
    const STestReply& r = *chosen;
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
    for (const auto& [type, body] : followUps)
        PushTransactionTo(c.id, type, body);
}

void CTestServer::Event(uint32_t connection, const std::string& what)
{
    if (onEvent) onEvent(connection, what);
}

CTestServer::SConnection* CTestServer::FindConnection(uint32_t connection)
{
    for (auto& c : mConnections)
        if (c->id == connection) return c.get();
    return nullptr;
}

void CTestServer::PushTransactionTo(uint32_t connection, uint16_t type, const std::string& body)
{
    SConnection* c = FindConnection(connection);
    if (!c || !c->socket->IsOpen()) return;
    STestPartHeader h;
    h.type = type;
    h.id = mNextID++;
    c->socket->Write(testwire::EncodeTransaction(h, body));
}

void CTestServer::CloseConnection(uint32_t connection)
{
    SConnection* c = FindConnection(connection);
    if (!c) return;
    c->socket->CloseWhenFlushed();
    // A connection the server closes never reports its own end.
    if (mModel) mModel->Disconnected(*this, connection);
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

void CTestServer::Play(const CHostileScript& script)
{
    if (mConnections.empty()) return;
    mConnections.back()->socket->SetProducer([script](std::string& out) { return script.Produce(out); });
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
    auto it = mCounts.find(type);
    return it == mCounts.end() ? 0 : it->second;
}
