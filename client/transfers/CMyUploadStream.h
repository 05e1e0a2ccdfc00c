// The sending side of an upload: one local file's flattened form handed to a transfer connection in
// pieces that grow while the network drains them, so that a fast network is kept busy and a slow one
// never makes the transport hold more than a piece. A file upload has one; a folder upload one per file.
#pragma once

#include <cstdint>
#include <functional>

struct TFileSysRefObj;
struct TTransportObj;

class CMyUploadStream
{
public:
    static constexpr uint32_t kFirstSendSize = 51200;
    static constexpr uint32_t kMaxSendSize = 2097152;

    CMyUploadStream() = default;
    ~CMyUploadStream() { Close(); }
    CMyUploadStream(const CMyUploadStream&) = delete;
    CMyUploadStream& operator=(const CMyUploadStream&) = delete;

    // Takes a clone of `file`; with `start` the flattened form begins at once (its size is then known),
    // else it waits for the server's resume record (Resume).
    void Open(TFileSysRefObj* file, bool start);
    void Resume(const void* record, uint32_t size);
    bool IsOpen() const { return mFile != nullptr; }
    bool IsFlattening() const;
    // The flattened size still to send (all of it, or what a resume leaves).
    uint32_t FlattenSize() const;
    // Hands the transport the next piece of at most `left` bytes when it can take one; returns its size.
    // `allow` says how much of a piece the upload speed limit lets go now (0: wait for its wake-up).
    // The file is closed once `left` bytes went. A file that got shorter meanwhile raises.
    uint32_t SendPiece(TTransportObj* tpt, uint32_t left, const std::function<uint32_t(uint32_t)>& allow);
    void Close();

private:
    TFileSysRefObj* mFile = nullptr;
    uint32_t mSendSize = kFirstSendSize;
    uint32_t mSendSecs = 0;
};
