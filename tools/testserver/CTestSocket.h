// One non-blocking socket of the local test server: what comes in is gathered for the owner, what goes
// out is queued and written as the network takes it, optionally in pieces of a few bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform
{
struct SocketWatchObj;
}

class CTestSocket
{
public:
    // Takes ownership of a connected or connecting socket.
    explicit CTestSocket(int fd, bool connecting = false);
    ~CTestSocket();
    CTestSocket(const CTestSocket&) = delete;
    CTestSocket& operator=(const CTestSocket&) = delete;

    // Called after new bytes were appended to Input(); the owner erases what it has used.
    std::function<void()> onInput;
    // Called once when the peer closed or the connection broke.
    std::function<void()> onClosed;
    // Called once when a connect made with connecting = true has finished (0 or the errno).
    std::function<void(int)> onConnected;
    // Called whenever everything queued has gone out, so that an owner can feed a long stream piece by
    // piece instead of queueing it whole. A write that goes out whole at once calls nothing: an owner
    // feeding a stream goes on while IsFlushed() holds.
    std::function<void()> onDrained;

    std::string& Input() { return mInput; }
    void Write(const std::string& bytes);
    // Asked for more whenever what is queued runs low: appends the next bytes and returns false once it
    // has nothing more. Lets a script send gigabytes without holding them.
    void SetProducer(std::function<bool(std::string& out)> producer);
    // Writes go out at once where nothing waits before them, instead of at the next turn of the loop: for
    // an exchange in lock-step, where every held reply costs the peer a turn. A connection that sends
    // bursts of small messages keeps to the turns, which gathers each burst into a few large writes.
    void SetWriteAtOnce(bool on) { mWriteAtOnce = on; }
    // 0 writes as much as the network takes; n writes at most n bytes per turn of the loop.
    void SetPieceSize(uint32_t bytes) { mPieceSize = bytes; }
    // Closes once this many bytes in total have been written (0 = never).
    void CloseAfterWriting(uint64_t totalBytes);
    // Closes after everything queued has been written.
    void CloseWhenFlushed();
    void CloseNow();
    // Closes so that the peer sees a reset instead of an orderly end, as a close with unread bytes does.
    void ResetNow();
    bool IsOpen() const { return mFD >= 0; }
    bool IsFlushed() const { return mOutput.empty() && !mProducer; }
    size_t QueuedSize() const { return mOutput.size(); }
    uint64_t BytesWritten() const { return mWritten; }

private:
    static void Event(void* context, int event);
    void OnReadable();
    void OnWritable();
    void UpdateWrite();
    void Closed();
    void Refill();

    int mFD;
    platform::SocketWatchObj* mWatch = nullptr;
    std::string mInput;
    std::string mOutput;
    std::function<bool(std::string&)> mProducer;
    uint32_t mPieceSize = 0;
    uint64_t mWritten = 0;
    uint64_t mCloseAfter = 0;
    bool mConnecting;
    bool mCloseWhenFlushed = false;
    bool mWriteAtOnce = false;
    // Cleared when the object dies, which its owner may do from inside one of its callbacks.
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};
