#include "tools/testserver/CTransferServer.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <unistd.h>

#include "platform/Socket.h"
#include "tools/testserver/CTestServer.h"
#include "tools/testserver/CTestSocket.h"
#include "tools/testserver/TestWire.h"

namespace
{
// Pieces of a streamed file: queued one at a time, so that a large file never sits in memory whole.
constexpr size_t kFilePiece = 65536;
constexpr int kPairAttempts = 50;

size_t HandshakeSize(STransferJob::EKind kind)
{
    return kind == STransferJob::EKind::FolderDownload ? CTransferServer::kFolderHandshakeSize
                                                       : CTransferServer::kHandshakeSize;
}
} // namespace

STransferConnection::~STransferConnection()
{
    if (file >= 0) close(file);
}

CTransferServer::CTransferServer()
{
    // Numbers a client cannot guess from those it was given before.
    std::random_device random;
    mNextRefNum = uint32_t(random()) | 1u;
    mHandlers[STransferJob::EKind::Preview] = [](CTransferServer& s, STransferConnection& c)
    { s.ServePreview(c); };
    mHandlers[STransferJob::EKind::FolderDownload] = [](CTransferServer& s, STransferConnection& c)
    { s.ServeFolderDownload(c); };
}

CTransferServer::~CTransferServer()
{
    mConnections.clear();
    StopListening();
}

bool CTransferServer::Listen(uint16_t port)
{
    return port != 0 && mListener.Listen(port);
}

void CTransferServer::StopListening()
{
    mListener.Stop();
}

bool CTransferServer::ListenPair(CTestServer& server, CTransferServer& transfers, uint16_t basePort)
{
    if (basePort)
        return basePort < 0xFFFF && server.Listen(basePort) && transfers.Listen(uint16_t(basePort + 1));
    for (int i = 0; i < kPairAttempts; ++i)
    {
        if (!server.Listen(0)) return false;
        if (server.Port() < 0xFFFF && transfers.Listen(uint16_t(server.Port() + 1))) return true;
        server.StopListening();
    }
    return false;
}

uint32_t CTransferServer::AddJob(const STransferJob& job)
{
    uint32_t refNum = mNextRefNum;
    // Skip 0 and numbers still waiting for their connection.
    while (refNum == 0 || mJobs.count(refNum))
        ++refNum;
    mNextRefNum = refNum + 7919;
    mJobs[refNum] = job;
    return refNum;
}

void CTransferServer::Adopt(int fd)
{
    auto c = std::make_unique<STransferConnection>();
    c->id = uint32_t(mConnections.size() + 1);
    c->socket = std::make_unique<CTestSocket>(fd);
    c->socket->SetPieceSize(mPieceSize);
    // A folder download goes in lock-step, a reply to each of the client's answers: held for a turn, every
    // reply would cost the client a turn of its own, which a server on another machine never does.
    c->socket->SetWriteAtOnce(true);
    STransferConnection* raw = c.get();
    c->socket->onInput = [this, raw] { Input(*raw); };
    c->socket->onDrained = [this, raw] { Feed(*raw); };
    c->socket->onClosed = [this, raw]
    {
        raw->clientClosed = !raw->finished;
        Event(*raw, raw->clientClosed ? "closed by the client after " + std::to_string(raw->sent) + " bytes"
                                      : "closed");
        if (raw->onClosed) raw->onClosed();
        raw->socket->Input() = std::string();
    };
    mConnections.push_back(std::move(c));
    Event(*raw, "connected");
}

void CTransferServer::Input(STransferConnection& c)
{
    std::string& in = c.socket->Input();
    if (!c.handshake.empty())
    {
        // What follows the handshake is the handler's.
        if (c.onData && !in.empty()) c.onData();
        return;
    }
    if (in.size() < 8) return;
    const uint32_t refNum = testwire::ReadBE32(in, 4);
    auto job = mJobs.find(refNum);
    if (in.compare(0, 4, "QVXF") != 0 || job == mJobs.end())
    {
        Event(c, "refused a handshake for an unknown transfer");
        Close(c);
        return;
    }
    if (in.size() < HandshakeSize(job->second.kind)) return;
    c.handshake = in.substr(0, HandshakeSize(job->second.kind));
    in.erase(0, c.handshake.size());
    c.refNum = refNum;
    c.job = job->second;
    // A number serves one connection.
    mJobs.erase(job);
    Event(c, "handshake for transfer " + std::to_string(refNum));
    auto handler = mHandlers.find(c.job.kind);
    if (handler == mHandlers.end() || !handler->second)
    {
        Event(c, "no handler for this kind of transfer");
        Close(c);
        return;
    }
    handler->second(*this, c);
    if (c.socket->IsOpen() && c.onData && !c.socket->Input().empty()) c.onData();
}

void CTransferServer::ServePreview(STransferConnection& c)
{
    SendFile(c, std::string(), c.job.path, c.job.offset, c.job.size);
}

void CTransferServer::SendFile(STransferConnection& c, const std::string& prefix, const std::string& path,
                               uint64_t offset, uint64_t size)
{
    c.file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (c.file < 0 || lseek(c.file, off_t(offset), SEEK_SET) < 0)
    {
        Event(c, "cannot read " + path);
        Close(c);
        return;
    }
    c.fileLeft = size;
    if (!prefix.empty())
    {
        c.socket->Write(prefix);
        c.sent += prefix.size();
    }
    Feed(c);
}

void CTransferServer::Feed(STransferConnection& c)
{
    // Pieces go out while the network takes them, the rest as it drains.
    while (c.file >= 0 && c.socket->IsOpen() && c.socket->IsFlushed())
    {
        if (c.fileLeft == 0)
        {
            close(c.file);
            c.file = -1;
            c.finished = true;
            Event(c, "sent " + std::to_string(c.sent) + " bytes");
            if (mCloseAtEnd) c.socket->CloseWhenFlushed();
            return;
        }
        std::string piece;
        if (!AppendPiece(c, piece)) return;
        c.socket->Write(piece);
    }
}

bool CTransferServer::AppendPiece(STransferConnection& c, std::string& out)
{
    const size_t at = out.size();
    out.resize(at + size_t(std::min<uint64_t>(c.fileLeft, kFilePiece)));
    ssize_t n;
    do
        n = read(c.file, out.data() + at, out.size() - at);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
    {
        // The file got shorter since it was announced: the client sees an early close.
        Event(c, "the file ended early");
        Close(c);
        return false;
    }
    out.resize(at + size_t(n));
    c.fileLeft -= uint64_t(n);
    c.sent += uint64_t(n);
    return true;
}

void CTransferServer::Close(STransferConnection& c)
{
    if (c.file >= 0)
    {
        close(c.file);
        c.file = -1;
    }
    c.socket->CloseNow();
    // The connection stays listed for tests to look at; what it received is of no further use.
    c.socket->Input() = std::string();
}

void CTransferServer::Event(const STransferConnection& c, const std::string& what)
{
    if (onEvent) onEvent(c.id, what);
}
