// The server model's transfer requests: it checks what a client asks for, registers the transfer with
// the transfer listener and answers with the reference number and the size the connection will carry.
// Previews and file downloads are sent from the shared folder (folder downloads in
// ServerFolderTransfers.cpp); uploads are written beside their final name as "<name>.qpf" (listed as a
// partial file) and take that name once every byte came. Both resume from a record of how many data
// bytes the other side holds.
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestSocket.h"
#include "tools/testserver/CTransferServer.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
constexpr unsigned kCanUploadFiles = 1;
constexpr unsigned kCanDownloadFiles = 2;
constexpr int32_t kPreviewOption = 2;
constexpr int32_t kResumeOption = 1;
constexpr uint64_t kMaxStream = 0xFFFFFFFFu;
constexpr size_t kStreamHeaderSize = 24;
constexpr size_t kForkHeaderSize = 16;
constexpr size_t kMaxFlatName = 63;
const char kPartialExtension[] = ".qpf";

std::string Zeros(size_t n)
{
    return std::string(n, '\0');
}

// The flattened form's headers of a file whose data fork holds `dataSize` bytes; the data follow them.
// The information fork says 'BINA'/'dosa' whatever the file is: receivers take codes from the name.
std::string FlatHeaders(const std::string& name, uint64_t dataSize)
{
    const std::string shown = name.substr(0, kMaxFlatName);
    std::string info = "MWIN";
    info += "BINAdosa";
    info += Zeros(58);
    info += testwire::BE16(uint16_t(shown.size())) + shown + testwire::BE16(0);
    std::string out = "FILP" + testwire::BE16(1) + Zeros(16) + testwire::BE16(2);
    out += "INFO" + Zeros(8) + testwire::BE32(uint32_t(info.size())) + info;
    out += "DATA" + Zeros(8) + testwire::BE32(uint32_t(dataSize));
    return out;
}

size_t FlatOverhead(const std::string& name)
{
    return FlatHeaders(name, 0).size();
}

// The data bytes the peer says it holds: the "DATA" entry of a resume record; 0 without one. False for
// a record that is not one.
bool ReadResumeRecord(const std::string& record, uint64_t& outHeld)
{
    outHeld = 0;
    if (record.size() < 42 || record.compare(0, 4, "RFLT") != 0 || testwire::ReadBE16(record, 4) != 1)
        return false;
    const uint16_t count = testwire::ReadBE16(record, 40);
    for (size_t i = 0, at = 42; i < count && at + 16 <= record.size(); ++i, at += 16)
        if (record.compare(at, 4, "DATA") == 0) outHeld = testwire::ReadBE32(record, at + 4);
    return true;
}

std::string ResumeRecord(uint64_t held)
{
    return "RFLT" + testwire::BE16(1) + Zeros(34) + testwire::BE16(1) + "DATA" +
           testwire::BE32(uint32_t(held)) + Zeros(8);
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An upload as it arrives: the flattened stream is taken apart piece by piece and its data fork written
// into the partial file from the offset the upload resumes at.
struct SUploadSink
{
    int fd = -1;
    std::string partial, final;
    uint64_t dataBase = 0;
    uint64_t expected = 0; // stream bytes the handshake announced
    uint64_t received = 0;
    std::string header; // the stream or fork header being gathered
    bool streamHeaderDone = false;
    bool inFork = false;
    bool isData = false;
    uint64_t forkLeft = 0;
    uint64_t dataPos = 0;
    bool failed = false;

    ~SUploadSink()
    {
        if (fd >= 0) close(fd);
    }

    void Take(const char* p, size_t n)
    {
        while (n && !failed)
        {
            if (!streamHeaderDone || !inFork)
            {
                const size_t want = (streamHeaderDone ? kForkHeaderSize : kStreamHeaderSize) - header.size();
                const size_t take = std::min(want, n);
                header.append(p, take);
                p += take;
                n -= take;
                if (header.size() < (streamHeaderDone ? kForkHeaderSize : kStreamHeaderSize)) return;
                if (!streamHeaderDone)
                {
                    failed = header.compare(0, 4, "FILP") != 0;
                    streamHeaderDone = true;
                }
                else
                {
                    isData = header.compare(0, 4, "DATA") == 0;
                    forkLeft = testwire::ReadBE32(header, 12);
                    inFork = true;
                }
                header.clear();
                continue;
            }
            const size_t take = size_t(std::min<uint64_t>(forkLeft, n));
            if (isData)
            {
                size_t done = 0;
                while (done < take)
                {
                    const ssize_t w = pwrite(fd, p + done, take - done, off_t(dataBase + dataPos + done));
                    if (w < 0 && errno == EINTR) continue;
                    if (w <= 0)
                    {
                        failed = true;
                        return;
                    }
                    done += size_t(w);
                }
                dataPos += take;
            }
            p += take;
            n -= take;
            forkLeft -= take;
            if (forkLeft == 0) inFork = false;
        }
    }
};
} // namespace

bool CServerModel::FindDownloadItem(SRequest& r, bool folder, std::string& outPath, struct stat& st)
{
    if (!transfers)
    {
        Refuse(r.reply, "This server does not transfer files.");
        return false;
    }
    const std::string& body = r.request.body;
    // The item may be an alias: what it leads to must lie inside the shared folder.
    if (!mShared.ResolveItem(CFields::Find(body, kFilePath), CFields::Find(body, kFileName), outPath) ||
        !mShared.IsInside(outPath) || stat(outPath.c_str(), &st) != 0 ||
        !(folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)))
    {
        Refuse(r.reply, folder ? "Cannot find the folder." : "Cannot find the file.");
        return false;
    }
    return Require(r, kCanDownloadFiles, "You are not allowed to download files.");
}

bool CServerModel::AnswerTransfers(SRequest& r)
{
    const std::string& body = r.request.body;
    if (transfers && transfers != mServedTransfers)
    {
        ServeFileTransfers(*transfers);
        mServedTransfers = transfers;
    }
    switch (r.request.header.type)
    {
    case 202: // download, or preview with 204 = 2
    {
        const bool preview = Integer(CFields::Find(body, kTransferOptions)) == kPreviewOption;
        std::string path;
        struct stat st
        {
        };
        if (!FindDownloadItem(r, false, path, st)) return true;
        STransferJob job;
        job.path = path;
        job.connection = r.connection;
        if (preview)
        {
            job.kind = STransferJob::EKind::Preview;
            job.size = uint64_t(st.st_size) > kMaxStream ? kMaxStream : uint64_t(st.st_size);
        }
        else
        {
            job.kind = STransferJob::EKind::Download;
            uint64_t held = 0;
            const std::string record = CFields::Find(body, kResumeData);
            if (!record.empty() && !ReadResumeRecord(record, held))
            {
                Refuse(r.reply, "The resume information is damaged.");
                return true;
            }
            job.offset = std::min<uint64_t>(held, uint64_t(st.st_size));
            job.size = uint64_t(st.st_size) - job.offset;
            // The stream's sizes are 32-bit: a file that large cannot travel whole.
            if (job.size + FlatOverhead(BaseName(path)) > kMaxStream)
            {
                Refuse(r.reply, "The file is too large to be sent.");
                return true;
            }
            job.size += FlatOverhead(BaseName(path));
        }
        const uint32_t refNum = transfers->AddJob(job);
        if (transfers->EmptyDownloadReply()) return true;
        const int64_t lie = transfers->AnnouncedSize();
        r.reply.body = CFields()
                           .Add(kRefNum, Unsigned(refNum))
                           .Add(kTransferSize, Unsigned(lie >= 0 ? uint32_t(lie) : uint32_t(job.size)))
                           .Bytes();
        return true;
    }
    case 203: // upload
    {
        if (!transfers)
        {
            Refuse(r.reply, "This server does not transfer files.");
            return true;
        }
        const std::string name = CFields::Find(body, kFileName);
        std::string folder;
        if (!CSharedFolder::IsPlainName(name) || name.size() + sizeof(kPartialExtension) > 256)
        {
            Refuse(r.reply, "That name cannot be used.");
            return true;
        }
        if (!mShared.ResolveFolder(CFields::Find(body, kFilePath), folder))
        {
            Refuse(r.reply, "Cannot find the folder.");
            return true;
        }
        if (!Require(r, kCanUploadFiles, "You are not allowed to upload files.")) return true;
        const std::string final = folder + "/" + name;
        const std::string partial = final + kPartialExtension;
        struct stat st
        {
        };
        if (lstat(final.c_str(), &st) == 0)
        {
            Refuse(r.reply, "A file of that name is already there.");
            return true;
        }
        STransferJob job;
        job.kind = STransferJob::EKind::Upload;
        job.path = partial;
        job.connection = r.connection;
        CFields reply;
        if (Integer(CFields::Find(body, kTransferOptions)) == kResumeOption)
        {
            if (lstat(partial.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            {
                Refuse(r.reply, "There is no partial upload of that file to resume.");
                return true;
            }
            job.offset = uint64_t(st.st_size);
            reply.Add(kResumeData, ResumeRecord(job.offset));
        }
        else
        {
            // A new upload starts over whatever partial copy was there.
            unlink(partial.c_str());
            job.size = uint32_t(Integer(CFields::Find(body, kTransferSize)));
        }
        const uint32_t refNum = transfers->AddJob(job);
        r.reply.body = reply.Add(kRefNum, Unsigned(refNum)).Bytes();
        return true;
    }
    case 210: // folder download
        return AnswerFolderDownload(r);
    default:
        return false;
    }
}

void CServerModel::ServeFileTransfers(CTransferServer& server)
{
    server.SetHandler(STransferJob::EKind::Download,
                      [](CTransferServer& s, STransferConnection& c)
                      {
                          if (s.CutAfter()) c.socket->CloseAfterWriting(s.CutAfter());
                          const uint64_t data = c.job.size - FlatOverhead(BaseName(c.job.path));
                          s.SendFile(c, FlatHeaders(BaseName(c.job.path), data), c.job.path, c.job.offset,
                                     data);
                      });
    server.SetHandler(
        STransferJob::EKind::Upload,
        [](CTransferServer& s, STransferConnection& c)
        {
            auto sink = std::make_shared<SUploadSink>();
            sink->partial = c.job.path;
            sink->final = c.job.path.substr(0, c.job.path.size() - (sizeof(kPartialExtension) - 1));
            sink->dataBase = c.job.offset;
            sink->expected = testwire::ReadBE32(c.handshake, 8);
            sink->fd = open(sink->partial.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (sink->fd < 0)
            {
                s.Close(c);
                return;
            }
            const uint64_t cut = s.CutAfter();
            STransferConnection* conn = &c;
            c.onData = [sink, conn, cut, &s]
            {
                std::string& in = conn->socket->Input();
                size_t n = size_t(std::min<uint64_t>(in.size(), sink->expected - sink->received));
                if (cut) n = size_t(std::min<uint64_t>(n, cut - std::min(cut, sink->received)));
                sink->Take(in.data(), n);
                sink->received += n;
                in.clear();
                if (sink->failed || (cut && sink->received >= cut && sink->received < sink->expected))
                {
                    if (s.CutUploadsWithReset())
                        conn->socket->ResetNow();
                    else
                        s.Close(*conn);
                    return;
                }
                if (sink->received < sink->expected) return;
                close(sink->fd);
                sink->fd = -1;
                // Every byte came: the file takes its name, and the close tells the client so.
                rename(sink->partial.c_str(), sink->final.c_str());
                conn->finished = true;
                s.Close(*conn);
            };
        });
}
