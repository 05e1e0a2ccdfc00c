#include "client/core/UMyTransferQueueFile.h"

#include <algorithm>
#include <cstring>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/BigEndian.h"
#include "framework/runtime/CByteReader.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "platform/Folders.h"

namespace
{
constexpr char kQueueMagic[4] = {'Q', 'V', 'T', 'Q'};
constexpr uint16_t kQueueVersion = 1;
const uint8_t kQueueFileNameP[] = "\x09"
                                  "Transfers";
const uint8_t kDamagedNameP[] = "\x11"
                                "Transfers.damaged";

// Texts longer than their field allows are cut when written, so that what is written always reads back.
void PutText8(std::string& out, const std::string& text, uint32_t max)
{
    const uint32_t n = uint32_t(std::min<size_t>(text.size(), max));
    out += char(n);
    out.append(text, 0, n);
}

void PutBytes16(std::string& out, const void* bytes, size_t size, uint32_t max)
{
    const uint32_t n = uint32_t(std::min<size_t>(size, max));
    AppendBE16(out, n);
    out.append(static_cast<const char*>(bytes), n);
}

TFileSysRefObj* DataFolder()
{
    std::string path;
    if (int err = platform::UserDataFolder(path)) FailOSError(err);
    return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
}

void MoveAside(TFileSysRefObj* folder, TFileSysRefObj* file)
{
    try
    {
        StFileSysRef old(UFileSys::New(folder, nullptr, kDamagedNameP));
        if (UFileSys::Exists(old.Get())) UFileSys::DeleteFile(old.Get());
        UFileSys::SetName(file, kDamagedNameP);
    }
    catch (const SError&)
    {
        // A file that cannot be moved aside is told again at the next start; it is never read as a queue.
    }
}
} // namespace

std::string UMyTransferQueueFile::Format(const std::vector<SMyTransferRecord>& records)
{
    std::string out(kQueueMagic, sizeof(kQueueMagic));
    AppendBE16(out, kQueueVersion);
    const uint32_t count = uint32_t(std::min<size_t>(records.size(), kMaxRecords));
    AppendBE16(out, count);
    for (uint32_t i = 0; i < count; ++i)
    {
        const SMyTransferRecord& r = records[i];
        out += char(r.kind);
        out += char(r.state);
        out += char(r.hadData ? 1 : 0);
        AppendBE16(out, r.port);
        AppendBE32(out, r.doneSize);
        AppendBE32(out, r.totalSize);
        PutText8(out, r.address, 255);
        PutText8(out, r.login, 31);
        PutText8(out, r.serverName, 255);
        PutBytes16(out, r.serverPath.data(), r.serverPath.size(), kMaxPathSize);
        PutBytes16(out, r.localPath.data(), r.localPath.size(), kMaxPathSize);
    }
    return out;
}

bool UMyTransferQueueFile::Parse(const void* bytes, uint32_t size, std::vector<SMyTransferRecord>& outRecords)
{
    outRecords.clear();
    if (!bytes || size < 8 || std::memcmp(bytes, kQueueMagic, sizeof(kQueueMagic)) != 0) return false;
    CByteReader in(static_cast<const uint8_t*>(bytes) + 4, size - 4);
    if (in.Read16() != kQueueVersion) return false;
    const uint32_t count = in.Read16();
    if (count > kMaxRecords) return false;
    std::vector<SMyTransferRecord> records;
    for (uint32_t i = 0; i < count && in.Ok(); ++i)
    {
        SMyTransferRecord r;
        const uint32_t kind = in.Read8();
        const uint32_t state = in.Read8();
        const uint32_t flags = in.Read8();
        if (kind < SMyTransferRecord::kDownloadFile || kind > SMyTransferRecord::kUploadFolder ||
            state < SMyTransferRecord::kRunning || state > SMyTransferRecord::kStopped || flags > 1)
            in.MarkBad();
        r.kind = SMyTransferRecord::EKind(kind);
        r.state = SMyTransferRecord::EState(state);
        r.hadData = flags == 1;
        r.port = in.Read16();
        r.doneSize = in.Read32();
        r.totalSize = in.Read32();
        r.address = in.ReadString8(255);
        r.login = in.ReadString8(31);
        r.serverName = in.ReadString8(255);
        r.serverPath = in.ReadBytes16(kMaxPathSize);
        r.localPath = in.ReadString16(kMaxPathSize);
        // A record that names no server, no item or no local place cannot be resumed, and a local
        // path that is not absolute, or holds a NUL, would land somewhere nobody chose.
        if (r.address.empty() || r.serverName.empty() || r.localPath.empty() || r.localPath[0] != '/' ||
            r.localPath.find('\0') != std::string::npos)
            in.MarkBad();
        records.push_back(std::move(r));
    }
    if (!in.Ok() || in.Left() != 0) return false;
    outRecords = std::move(records);
    return true;
}

bool UMyTransferQueueFile::Read(std::vector<SMyTransferRecord>& outRecords)
{
    outRecords.clear();
    StFileSysRef folder(DataFolder());
    StFileSysRef file(UFileSys::New(folder.Get(), nullptr, kQueueFileNameP));
    if (!UFileSys::Exists(file.Get())) return true;
    std::string bytes;
    try
    {
        StFileOpener open(file.Get(), kFSPermRead);
        const uint64_t size = UFileSys::GetSize(file.Get());
        if (size <= kMaxSize)
        {
            bytes.resize(size_t(size));
            bytes.resize(UFileSys::Read(file.Get(), 0, bytes.data(), uint32_t(size)));
        }
    }
    catch (const SError&)
    {
        bytes.clear();
    }
    if (Parse(bytes.data(), uint32_t(bytes.size()), outRecords)) return true;
    MoveAside(folder.Get(), file.Get());
    return false;
}

void UMyTransferQueueFile::Write(const std::vector<SMyTransferRecord>& records)
{
    const std::string bytes = Format(records);
    StFileSysRef folder(DataFolder());
    UFileSys::SaveSafely(folder.Get(), kQueueFileNameP, FourCC("BINA"), FourCC("QVLC"),
                         [&](TFileSysRefObj* file)
                         { UFileSys::Write(file, 0, bytes.data(), uint32_t(bytes.size())); });
}
