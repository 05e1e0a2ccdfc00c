#include "tools/testserver/CTestSocket.h"

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>

#include "platform/Socket.h"

CTestSocket::CTestSocket(int fd, bool connecting) : mFD(fd), mConnecting(connecting)
{
    platform::SetNoDelay(fd);
    mWatch = platform::WatchSocket(fd, Event, this);
    platform::SetReadWatch(mWatch, !connecting);
    UpdateWrite();
}

CTestSocket::~CTestSocket()
{
    *mAlive = false;
    CloseNow();
}

void CTestSocket::Event(void* context, int event)
{
    auto* self = static_cast<CTestSocket*>(context);
    if (event == platform::kSocketReadable)
        self->OnReadable();
    else
        self->OnWritable();
}

void CTestSocket::Write(const std::string& bytes)
{
    if (mFD < 0) return;
    // A socket that writes in pieces or closes after a count keeps to the turns, which is what those
    // tests are about.
    if (mWriteAtOnce && mOutput.empty() && !mProducer && !mConnecting && !mPieceSize && !mCloseAfter)
    {
        size_t sent = 0;
        const int err = platform::SendSome(mFD, bytes.data(), bytes.size(), sent);
        // A broken connection is found by the next turn, which meets the same error.
        if (err && err != EAGAIN) sent = 0;
        mWritten += sent;
        mOutput.append(bytes, sent, std::string::npos);
    }
    else
        mOutput += bytes;
    UpdateWrite();
}

void CTestSocket::SetProducer(std::function<bool(std::string& out)> producer)
{
    if (mFD < 0) return;
    mProducer = std::move(producer);
    Refill();
    UpdateWrite();
}

void CTestSocket::Refill()
{
    constexpr size_t kLow = 64 * 1024, kHigh = 256 * 1024;
    if (!mProducer || mOutput.size() >= kLow) return;
    while (mProducer && mOutput.size() < kHigh)
        if (!mProducer(mOutput)) mProducer = nullptr;
}

void CTestSocket::CloseAfterWriting(uint64_t totalBytes)
{
    mCloseAfter = totalBytes;
    // What went out at once may have reached the count already, and no turn of the loop will come for it.
    if (mCloseAfter && mWritten >= mCloseAfter) CloseNow();
}

void CTestSocket::CloseWhenFlushed()
{
    mCloseWhenFlushed = true;
    if (IsFlushed()) CloseNow();
}

void CTestSocket::CloseNow()
{
    if (mFD < 0) return;
    platform::UnwatchSocket(mWatch);
    mWatch = nullptr;
    platform::CloseSocket(mFD);
    mFD = -1;
    // Assigned, not cleared: a closed socket the owner keeps for its records would otherwise hold the
    // capacity of the largest piece it ever queued.
    mOutput = std::string();
    mProducer = nullptr;
}

void CTestSocket::ResetNow()
{
    if (mFD < 0) return;
    const linger now{1, 0};
    setsockopt(mFD, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    CloseNow();
}

void CTestSocket::UpdateWrite()
{
    if (mWatch) platform::SetWriteWatch(mWatch, mConnecting || !mOutput.empty() || mProducer);
}

void CTestSocket::Closed()
{
    CloseNow();
    if (onClosed) onClosed();
}

void CTestSocket::OnReadable()
{
    // Bulk reads in large pieces: below that the system calls dominate a loopback upload.
    static char buffer[262144];
    size_t got = 0;
    bool closed = false;
    const int err = platform::ReceiveSome(mFD, buffer, sizeof buffer, got, closed);
    if (err == EAGAIN) return;
    if (err || closed)
    {
        Closed();
        return;
    }
    mInput.append(buffer, got);
    if (onInput) onInput();
}

void CTestSocket::OnWritable()
{
    if (mConnecting)
    {
        mConnecting = false;
        const int err = platform::TakeSocketError(mFD);
        if (!err) platform::SetReadWatch(mWatch, true);
        UpdateWrite();
        const std::shared_ptr<bool> alive = mAlive;
        if (onConnected) onConnected(err);
        if (*alive && err) Closed();
        return;
    }
    size_t n = mOutput.size();
    if (mPieceSize) n = std::min<size_t>(n, mPieceSize);
    if (mCloseAfter) n = size_t(std::min<uint64_t>(n, mCloseAfter - mWritten));
    size_t sent = 0;
    const int err = n ? platform::SendSome(mFD, mOutput.data(), n, sent) : 0;
    if (err && err != EAGAIN)
    {
        Closed();
        return;
    }
    mOutput.erase(0, sent);
    mWritten += sent;
    Refill();
    if ((mCloseAfter && mWritten >= mCloseAfter) || (mCloseWhenFlushed && IsFlushed()))
    {
        CloseNow();
        return;
    }
    if (mOutput.empty() && onDrained)
    {
        const std::shared_ptr<bool> alive = mAlive;
        onDrained();
        if (!*alive) return;
    }
    UpdateWrite();
}
