// The transfer side of the local server: a second listener, on the transaction port + 1, to which a
// client opens one connection per transfer. The transaction side registers a job for every transfer it
// negotiates and gives the client the job's reference number; the client quotes it in the handshake that
// opens its connection ("QVXF", number, data size, reserved: 16 bytes, or 18 for a folder download), and
// the job's kind decides what the connection carries. A connection that quotes an unknown number, a
// number already used or anything but the handshake is closed.
//
// Previews are served here: the file's bytes, plain, from the job's offset, then the server closes.
// Folder downloads are served item by item (ServerFolderTransfers.cpp). Other kinds are served by a handler
// given with SetHandler; until one is given, their connections close.
#pragma once

#include "tools/testserver/CTestListener.h"
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CTestServer;
class CTestSocket;
namespace platform
{
struct SocketWatchObj;
}

struct STransferJob
{
    enum class EKind
    {
        Preview,
        Download,
        Upload,
        FolderDownload,
    };
    EKind kind = EKind::Preview;
    std::string path;        // the file or folder on disk
    uint64_t offset = 0;     // where in the file the bytes to send start
    uint64_t size = 0;       // bytes the connection is to carry
    uint32_t connection = 0; // the transaction connection that negotiated it
};

// One transfer connection, as handlers see it.
struct STransferConnection
{
    uint32_t id = 0; // connections are numbered from 1 in the order they came
    uint32_t refNum = 0;
    std::string handshake; // as received
    STransferJob job;
    std::unique_ptr<CTestSocket> socket;
    // What the connection sent (after the handshake) and whether the client closed it first.
    uint64_t sent = 0;
    bool clientClosed = false;
    bool finished = false; // the server sent all it meant to and closed
    // A file being streamed: it is read piece by piece as the socket drains.
    int file = -1;
    uint64_t fileLeft = 0;
    // A handler that reads what the client sends after the handshake (an upload, a folder download's
    // answers) sets these: onData runs whenever bytes are waiting in socket->Input() (bytes that came
    // with the handshake included), onClosed when the client closed or the connection broke.
    std::function<void()> onData;
    std::function<void()> onClosed;
    ~STransferConnection();
};

class CTransferServer
{
public:
    using Handler = std::function<void(CTransferServer& server, STransferConnection& connection)>;
    static constexpr size_t kHandshakeSize = 16;
    static constexpr size_t kFolderHandshakeSize = 18;

    CTransferServer();
    ~CTransferServer();
    CTransferServer(const CTransferServer&) = delete;
    CTransferServer& operator=(const CTransferServer&) = delete;

    // Listens on 127.0.0.1 at exactly that port; false when it is taken.
    bool Listen(uint16_t port);
    uint16_t Port() const { return mListener.Port(); }
    void StopListening();
    // Listens for transactions on `basePort` (0: any free port whose next one is free too) and for
    // transfers on the port after it.
    static bool ListenPair(CTestServer& server, CTransferServer& transfers, uint16_t basePort = 0);

    // Registers a transfer; returns the reference number the client is to quote.
    uint32_t AddJob(const STransferJob& job);
    bool HasJob(uint32_t refNum) const { return mJobs.count(refNum) != 0; }
    void SetHandler(STransferJob::EKind kind, Handler handler) { mHandlers[kind] = std::move(handler); }

    // Helpers for handlers. Streams `size` bytes of the file from `offset`, after `prefix`, and closes
    // once everything went out; a file shorter than that ends the stream early (and closes).
    void SendFile(STransferConnection& c, const std::string& prefix, const std::string& path, uint64_t offset,
                  uint64_t size);
    void Close(STransferConnection& c);

    // What came and went, for logs and tests.
    std::function<void(uint32_t connection, const std::string& what)> onEvent;
    const std::vector<std::unique_ptr<STransferConnection>>& Connections() const { return mConnections; }
    // The newest connection, or null.
    const STransferConnection* Last() const
    {
        return mConnections.empty() ? nullptr : mConnections.back().get();
    }
    // Writes at most that many bytes per turn of the loop (0: as much as the network takes).
    void SetPieceSize(uint32_t bytes) { mPieceSize = bytes; }
    // Folder downloads close their connection once this many bytes went out (0: never), as a broken
    // connection would.
    void SetFolderCutAfter(uint64_t bytes) { mFolderCutAfter = bytes; }
    // File downloads and uploads are cut after this many bytes behind the handshake, sent or received:
    // the server closes the connection there (0: never).
    void SetCutAfter(uint64_t bytes) { mCutAfter = bytes; }
    uint64_t CutAfter() const { return mCutAfter; }
    // Whether a sent stream is followed at once by the server's close (the default), or the connection
    // stays open until the client closes it.
    void SetCloseAtEnd(bool close) { mCloseAtEnd = close; }
    // An upload cut short (SetCutAfter) stops reading and closes with the rest unread, which resets the
    // connection, as a server that gives up on an upload does (the default); false reads everything
    // that came and closes in order.
    void SetCutUploadsWithReset(bool reset) { mCutUploadsWithReset = reset; }
    bool CutUploadsWithReset() const { return mCutUploadsWithReset; }

    // Servers that lie about sizes, for the client's defences. The download reply announces this many
    // bytes whatever the stream holds (-1: the truth), or carries no fields at all.
    void SetAnnouncedSize(int64_t bytes) { mAnnouncedSize = bytes; }
    int64_t AnnouncedSize() const { return mAnnouncedSize; }
    void SetEmptyDownloadReply(bool empty) { mEmptyDownloadReply = empty; }
    bool EmptyDownloadReply() const { return mEmptyDownloadReply; }
    // Every file of a folder download is announced with this size before its stream (-1: the truth).
    void SetFolderItemSize(int64_t bytes) { mFolderItemSize = bytes; }
    // Folder downloads announce each folder's items in reverse byte order of their names.
    void SetFolderOrderDescending(bool descending) { mFolderDescending = descending; }

private:
    void Adopt(int fd);
    void Input(STransferConnection& c);
    void Feed(STransferConnection& c);
    // Appends the connection's next piece of its file to `out`; false when the file ended early, which
    // closes the connection.
    bool AppendPiece(STransferConnection& c, std::string& out);
    void Event(const STransferConnection& c, const std::string& what);
    void ServePreview(STransferConnection& c);
    void ServeFolderDownload(STransferConnection& c); // ServerFolderTransfers.cpp

    CTestListener mListener{[this](int fd) { Adopt(fd); }};
    uint32_t mNextRefNum;
    uint32_t mPieceSize = 0;
    uint64_t mFolderCutAfter = 0;
    uint64_t mCutAfter = 0;
    bool mCloseAtEnd = true;
    bool mCutUploadsWithReset = true;
    int64_t mAnnouncedSize = -1;
    bool mEmptyDownloadReply = false;
    int64_t mFolderItemSize = -1;
    bool mFolderDescending = false;
    std::map<uint32_t, STransferJob> mJobs;
    std::map<STransferJob::EKind, Handler> mHandlers;
    std::vector<std::unique_ptr<STransferConnection>> mConnections;
};
