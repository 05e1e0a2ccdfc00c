// The transfer queue file: every transfer that has not finished, so that a client that quit, crashed or
// lost its server finds them again. It is binary and small: "QVTQ", a version word, a record count, then
// the records in queue order. The file is read as hostile input (anything may have written it): a file
// that breaks any rule is refused whole, never half taken.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SMyTransferRecord
{
    enum EKind : uint8_t
    {
        kDownloadFile = 1,
        kDownloadFolder = 2,
        kUpload = 3,
        kUploadFolder = 4, // localPath: the folder; serverName: its name in the server folder
    };
    enum EState : uint8_t
    {
        kRunning = 1, // running or queued when it was written: it comes back waiting for its server
        kWaiting = 2, // starts again at the next login to its server with its login
        kStopped = 3, // the user stopped it: only the user starts it again
    };

    EKind kind = kDownloadFile;
    EState state = kRunning;
    // Bytes of the item already there (a partial file, or the server's partial copy): the transfer is
    // resumed rather than started over, and a partial file that has gone is worth a note.
    bool hadData = false;
    uint16_t port = 0;               // the server's base port
    std::string address;             // the server's address as typed (at most 255 bytes)
    std::string login;               // at most 31 bytes
    std::string serverName;          // the server item's name (1 to 255 bytes)
    std::vector<uint8_t> serverPath; // the path record of the server folder holding it; empty: the root
    std::string localPath; // native path: the download's final name, the folder, or the file to upload
    uint32_t doneSize = 0; // how far it got, and of what, for the row's bar
    uint32_t totalSize = 0;

    bool operator==(const SMyTransferRecord&) const = default;
};

class UMyTransferQueueFile
{
public:
    static constexpr uint32_t kMaxRecords = 1000;
    static constexpr uint32_t kMaxPathSize = 4096;
    // What is read of the file at most; a larger file is damaged.
    static constexpr uint32_t kMaxSize = 64 + kMaxRecords * (24 + 255 + 31 + 255 + 2 * kMaxPathSize);

    static std::string Format(const std::vector<SMyTransferRecord>& records);
    // False, with `outRecords` empty, when the bytes are not a queue file this version can take.
    static bool Parse(const void* bytes, uint32_t size, std::vector<SMyTransferRecord>& outRecords);

    // The file in the program's data folder. Read: false when it exists and is damaged (it is then
    // moved aside to "Transfers.damaged", so that the damage is told once); a missing file is an empty
    // queue. Write raises what the disk says.
    static bool Read(std::vector<SMyTransferRecord>& outRecords);
    static void Write(const std::vector<SMyTransferRecord>& records);
};
