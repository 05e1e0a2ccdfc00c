#include "client/transfers/CMyUploadStream.h"

#include <algorithm>

#include "framework/files/UFileSys.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UDateTime.h"

namespace
{
constexpr uint32_t kGrowWhenDrained = 20480;
constexpr uint32_t kGrowWhenQuick = 51200;
constexpr uint32_t kQuickSecs = 10;
} // namespace

void CMyUploadStream::Open(TFileSysRefObj* file, bool start)
{
    Close();
    mFile = UFileSys::Clone(file);
    mSendSize = kFirstSendSize;
    mSendSecs = 0;
    if (!start) return;
    try
    {
        UFileSys::StartFlatten(mFile);
    }
    catch (...)
    {
        Close();
        throw;
    }
}

void CMyUploadStream::Resume(const void* record, uint32_t size)
{
    if (!mFile) Fail(kErrTypeGeneral, 2);
    UFileSys::ResumeFlatten(mFile, record, size);
}

bool CMyUploadStream::IsFlattening() const
{
    return mFile && UFileSys::IsFlattening(mFile);
}

uint32_t CMyUploadStream::FlattenSize() const
{
    return mFile ? UFileSys::GetFlattenSize(mFile) : 0;
}

uint32_t CMyUploadStream::SendPiece(TTransportObj* tpt, uint32_t left,
                                    const std::function<uint32_t(uint32_t)>& allow)
{
    if (!mFile || !tpt) return 0;
    const uint32_t unsent = UTransport::GetUnsentSize(tpt);
    // More than a piece still waiting on a transport that is not ready: memory stays bounded.
    if (unsent > mSendSize && !UTransport::IsReadyToSend(tpt)) return 0;
    const uint32_t now = UDateTime::GetSeconds();
    if (unsent == 0) mSendSize += kGrowWhenDrained;
    if (now - mSendSecs < kQuickSecs) mSendSize += kGrowWhenQuick;
    mSendSecs = now;
    mSendSize = std::min(mSendSize, kMaxSendSize);
    const uint32_t want = std::min(mSendSize, left);
    const uint32_t piece = want ? allow(want) : 0;
    // Held back by the upload speed limit, whose wake-up brings the next piece.
    if (want && !piece) return 0;
    if (piece)
    {
        void* buffer = UTransport::NewBuffer(piece);
        uint32_t filled;
        try
        {
            filled = UFileSys::ProcessFlatten(mFile, buffer, piece);
        }
        catch (...)
        {
            UTransport::DisposeBuffer(buffer);
            throw;
        }
        // The file got shorter since the upload started: the stream cannot be what was announced.
        if (filled != piece)
        {
            UTransport::DisposeBuffer(buffer);
            Fail(kErrTypeFileSys, 103);
        }
        UTransport::SendBuffer(tpt, buffer);
    }
    UTransport::NotifyReadyToSend(tpt);
    // The rest only drains from the transport: the local file is closed now.
    if (piece >= left) Close();
    return piece;
}

void CMyUploadStream::Close()
{
    UFileSys::Dispose(mFile);
    mFile = nullptr;
}
