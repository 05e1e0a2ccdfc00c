// The local test server: listens on 127.0.0.1, speaks the server side of the handshake and of the
// transaction framing, answers as scripted and logs what it received. It runs on the program's one
// thread through the same run loop, so whoever drives it pumps that loop.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/testserver/CTestListener.h"
#include "tools/testserver/TestWire.h"

class CTestSocket;
class CServerModel;
class CHostileScript;
namespace platform
{
struct SocketWatchObj;
}

// How to answer requests of one type.
struct STestReply
{
    std::string body = std::string("\0\0", 2); // an empty field list
    uint32_t error = 0;
    uint32_t parts = 1;
    bool zeroSizeHeaders = false;
    bool answer = true;        // false: log the request and stay silent
    bool closeInstead = false; // close the connection instead of answering
    uint32_t idDelta = 0;      // answer under another id: a reply that nobody awaits
};

class CTestServer
{
public:
    enum class EHandshake
    {
        Accept,
        Refuse, // "TRTP" with a non-zero error code
        Garble, // a reply without the "TRTP" signature
        Ignore, // never answer it
        Close,  // close the connection when it arrives
    };

    CTestServer();
    ~CTestServer();
    CTestServer(const CTestServer&) = delete;
    CTestServer& operator=(const CTestServer&) = delete;

    // Listens on 127.0.0.1 at the given port (0 = any free one); false when that fails.
    bool Listen(uint16_t port = 0);
    uint16_t Port() const { return mListener.Port(); }
    // Stops taking new connections (those already open go on).
    void StopListening();

    void SetHandshake(EHandshake mode, uint32_t refuseCode = 1);
    // Type 0 answers every type that has no reply of its own.
    void SetReply(uint16_t type, const STestReply& reply);
    // Leaves requests of that type to the model (or the script of type 0) again.
    void ClearReply(uint16_t type) { mReplies.erase(type); }
    // Requests without a script of their own type are answered by the model, when there is one, before
    // the script of type 0 is tried. The model is not owned.
    void SetModel(CServerModel* model) { mModel = model; }
    // Called for every complete request after it was logged and answered; CurrentConnection() tells
    // whose it was.
    std::function<void(CTestServer&, const STestTransaction&)> onRequest;
    // Connections coming, going and their handshakes, for logs.
    std::function<void(uint32_t connection, const std::string& what)> onEvent;
    uint32_t CurrentConnection() const { return mCurrentConnection; }
    // Connections are numbered from 1 in the order they came.
    uint32_t LastConnection() const { return mConnectionCount; }
    void PushTransactionTo(uint32_t connection, uint16_t type, const std::string& body);
    void CloseConnection(uint32_t connection);

    // What goes to the newest client connection.
    void PushTransaction(uint16_t type, const std::string& body, uint32_t parts = 1,
                         bool zeroSizeHeaders = false);
    void SendRaw(const std::string& bytes);
    // Plays a script (after whatever is queued) as fast as the client takes it.
    void Play(const CHostileScript& script);
    void SetPieceSize(uint32_t bytes);
    void CloseAfterWriting(uint64_t totalBytes);
    void CloseConnection();

    // Long runs (hundreds of sessions) keep no log of what was received (only the counts), and
    // connections that have closed are forgotten, so that the server's own memory stays flat.
    void SetKeepLog(bool keep) { mKeepLog = keep; }

    // The log.
    uint32_t ConnectionCount() const { return mConnectionCount; }
    bool HasOpenConnection() const;
    bool ClientClosed() const { return mClientClosed; }
    bool IsFlushed() const;
    const std::string& ReceivedHandshake() const { return mHandshake; }
    const std::vector<STestTransaction>& Received() const { return mReceived; }
    size_t CountReceived(uint16_t type) const;
    uint64_t BytesWritten() const;

private:
    struct SConnection;
    void Adopt(int fd);
    void Input(SConnection& c);
    void Answer(SConnection& c, const STestTransaction& request);
    void Event(uint32_t connection, const std::string& what);
    SConnection* FindConnection(uint32_t connection);

    CTestListener mListener{[this](int fd) { Adopt(fd); }};
    EHandshake mHandshakeMode = EHandshake::Accept;
    uint32_t mRefuseCode = 1;
    std::map<uint16_t, STestReply> mReplies;
    std::vector<std::unique_ptr<SConnection>> mConnections;
    uint32_t mConnectionCount = 0;
    uint32_t mCurrentConnection = 0;
    CServerModel* mModel = nullptr;
    uint32_t mNextID = 0x10000;
    uint32_t mPieceSize = 0;
    bool mClientClosed = false;
    bool mKeepLog = true;
    std::string mHandshake;
    std::vector<STestTransaction> mReceived;
    std::map<uint16_t, size_t> mCounts; // kept also when the log is not
};
