// Folder downloads: the model answers the request with the folder's size and item count and registers
// the transfer; the transfer listener then walks the folder in lock-step with the client, announcing an
// item, waiting for the answer (1 the whole file, 2 from the resume record's offset, 3 the next item) and
// sending the file's flattened form when asked. After the last item the server closes.
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestSocket.h"
#include "tools/testserver/CTransferServer.h"
#include "tools/testserver/ServerFields.h"
#include "tools/testserver/ServerFolderItems.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
constexpr unsigned kFolderCanDownloadFiles = 2;
constexpr uint16_t kAnswerSend = 1;
constexpr uint16_t kAnswerResume = 2;
constexpr uint16_t kAnswerNext = 3;
constexpr uint64_t kFolderMaxStream = 0xFFFFFFFFu;
// The longest resume record a client may send.
constexpr uint16_t kMaxRecord = 1024;

bool ListLevel(const std::string& folder, const std::string& parentRecord, uint16_t depth,
               std::vector<SFolderItem>& items, bool descending)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str()))
    {
        while (const dirent* e = readdir(dir))
        {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name.size() <= 255) names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    if (descending) std::reverse(names.begin(), names.end());
    for (const std::string& name : names)
    {
        const std::string path = folder + "/" + name;
        struct stat st
        {
        };
        if (lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) continue;
        const bool isFolder = S_ISDIR(st.st_mode);
        if (!isFolder && (!S_ISREG(st.st_mode) ||
                          folderitems::FlattenedSize(name, uint64_t(st.st_size)) > kFolderMaxStream))
            continue;
        if (items.size() == folderitems::kMaxItems) return false;
        SFolderItem item;
        item.isFolder = isFolder;
        item.path = path;
        item.pathRecord = testwire::BE16(uint16_t(depth + 1)) + parentRecord + std::string(2, '\0') +
                          char(uint8_t(name.size())) + name;
        item.size = isFolder ? 0 : uint64_t(st.st_size);
        items.push_back(item);
        if (isFolder && !ListLevel(path, item.pathRecord.substr(2), uint16_t(depth + 1), items, descending))
            return false;
    }
    return true;
}

// One folder download in progress.
struct SFolderServe
{
    std::vector<SFolderItem> items;
    size_t current = 0;
    bool announced = false; // the current item's header went out and its answer is awaited
    bool fileSent = false;  // the current file went out whole; only "next" may follow
    std::string head;       // the current file's size and headers, sent with its first bytes
};

std::string ItemHeader(const SFolderItem& item)
{
    const std::string header = testwire::BE16(item.isFolder ? 1 : 0) + item.pathRecord;
    return testwire::BE16(uint16_t(header.size())) + header;
}
} // namespace

bool folderitems::List(const std::string& folder, std::vector<SFolderItem>& outItems, bool descending)
{
    outItems.clear();
    return ListLevel(folder, std::string(), 0, outItems, descending);
}

std::string folderitems::FlattenedHead(const std::string& name, uint64_t dataSize)
{
    const std::string shown = name.substr(0, 63);
    // The codes are the client's to find from the name; the information fork carries generic ones.
    std::string info = "MWIN";
    info += "BINA";
    info += "dosa";
    info += std::string(58, '\0');
    info += testwire::BE16(uint16_t(shown.size())) + shown + testwire::BE16(0);
    std::string head = "FILP" + testwire::BE16(1) + std::string(16, '\0') + testwire::BE16(2);
    head += "INFO" + testwire::BE32(0) + testwire::BE32(0) + testwire::BE32(uint32_t(info.size())) + info;
    head += "DATA" + testwire::BE32(0) + testwire::BE32(0) + testwire::BE32(uint32_t(dataSize));
    return head;
}

uint64_t folderitems::FlattenedSize(const std::string& name, uint64_t dataSize)
{
    return 24 + 16 + 74 + std::min<uint64_t>(name.size(), 63) + 16 + dataSize;
}

uint64_t folderitems::ResumeOffset(const std::string& record)
{
    if (record.size() < 42 || record.compare(0, 4, "RFLT") != 0) return 0;
    const uint16_t count = testwire::ReadBE16(record, 40);
    for (size_t i = 0, at = 42; i < count && at + 16 <= record.size(); ++i, at += 16)
        if (record.compare(at, 4, "DATA") == 0) return testwire::ReadBE32(record, at + 4);
    return 0;
}

bool CServerModel::AnswerFolderDownload(SRequest& r)
{
    std::string path;
    struct stat st
    {
    };
    if (!FindDownloadItem(r, true, path, st)) return true;
    std::vector<SFolderItem> items;
    if (!folderitems::List(path, items))
    {
        Refuse(r.reply, "This folder holds too many items to download at once.");
        return true;
    }
    uint64_t total = 0;
    for (const SFolderItem& item : items)
        if (!item.isFolder)
            total += folderitems::FlattenedSize(item.path.substr(item.path.rfind('/') + 1), item.size);
    STransferJob job;
    job.kind = STransferJob::EKind::FolderDownload;
    job.path = path;
    job.size = std::min(total, kFolderMaxStream);
    job.connection = r.connection;
    const uint32_t refNum = transfers->AddJob(job);
    r.reply.body = CFields()
                       .Add(kRefNum, Unsigned(refNum))
                       .Add(kTransferSize, Unsigned(uint32_t(job.size)))
                       .Add(kFolderItemCount, Unsigned(uint32_t(items.size())))
                       .Bytes();
    return true;
}

void CTransferServer::ServeFolderDownload(STransferConnection& c)
{
    auto serve = std::make_shared<SFolderServe>();
    // The folder is walked again: what changed since the request is what the client gets.
    folderitems::List(c.job.path, serve->items, mFolderDescending);
    if (mFolderCutAfter) c.socket->CloseAfterWriting(mFolderCutAfter);
    STransferConnection* conn = &c;

    auto announce = [this, conn, serve]
    {
        if (serve->current >= serve->items.size())
        {
            conn->finished = true;
            Event(*conn, "folder sent after " + std::to_string(conn->sent) + " bytes");
            conn->socket->CloseWhenFlushed();
            return;
        }
        const std::string header = ItemHeader(serve->items[serve->current]);
        conn->socket->Write(header);
        conn->sent += header.size();
        serve->announced = true;
        serve->fileSent = false;
    };
    // Pieces go out while the network takes them; the file is done with as soon as its last piece is
    // written, so that the client's "next" always finds the item sent.
    auto feed = [this, conn, serve]
    {
        while (conn->file >= 0 && conn->socket->IsOpen() && conn->socket->IsFlushed())
        {
            // A small file goes out with its headers in one piece, as a server's single write.
            std::string out = std::move(serve->head);
            serve->head.clear();
            if (conn->fileLeft > 0 && !AppendPiece(*conn, out)) return;
            if (!out.empty()) conn->socket->Write(out);
            if (conn->fileLeft > 0) continue;
            close(conn->file);
            conn->file = -1;
            serve->fileSent = true;
            // After the last file the client only closes.
            if (serve->current + 1 >= serve->items.size())
            {
                conn->finished = true;
                Event(*conn, "folder sent after " + std::to_string(conn->sent) + " bytes");
                conn->socket->CloseWhenFlushed();
            }
        }
    };
    auto sendFile = [this, conn, serve, feed](uint64_t offset)
    {
        const SFolderItem& item = serve->items[serve->current];
        const std::string name = item.path.substr(item.path.rfind('/') + 1);
        struct stat st
        {
        };
        conn->file = open(item.path.c_str(), O_RDONLY | O_CLOEXEC);
        if (conn->file < 0 || fstat(conn->file, &st) != 0 ||
            (offset && lseek(conn->file, off_t(offset), SEEK_SET) < 0))
        {
            Event(*conn, "cannot read " + item.path);
            Close(*conn);
            return;
        }
        const uint64_t size = uint64_t(st.st_size);
        conn->fileLeft = offset < size ? size - offset : 0;
        const std::string head = folderitems::FlattenedHead(name, conn->fileLeft);
        // A lying server announces another size than the stream it sends.
        const uint32_t announced =
            mFolderItemSize >= 0 ? uint32_t(mFolderItemSize) : uint32_t(head.size() + conn->fileLeft);
        const std::string prefix = testwire::BE32(announced) + head;
        Event(*conn, "sending item " + std::to_string(serve->current + 1));
        serve->head = prefix;
        conn->sent += prefix.size();
        serve->announced = false;
        feed();
    };

    c.socket->onDrained = feed;
    c.onData = [this, conn, serve, announce, sendFile]
    {
        std::string& in = conn->socket->Input();
        while (conn->socket->IsOpen() && in.size() >= 2)
        {
            const uint16_t answer = testwire::ReadBE16(in, 0);
            const bool awaited = serve->announced || serve->fileSent;
            if (answer == kAnswerNext && awaited)
            {
                in.erase(0, 2);
                ++serve->current;
                announce();
            }
            else if (answer == kAnswerSend && serve->announced && !serve->items[serve->current].isFolder)
            {
                in.erase(0, 2);
                sendFile(0);
            }
            else if (answer == kAnswerResume && serve->announced && !serve->items[serve->current].isFolder)
            {
                if (in.size() < 4) return;
                const uint16_t size = testwire::ReadBE16(in, 2);
                if (size > kMaxRecord)
                {
                    Event(*conn, "refused a resume record of " + std::to_string(size) + " bytes");
                    Close(*conn);
                    return;
                }
                if (in.size() < 4u + size) return;
                const uint64_t offset = folderitems::ResumeOffset(in.substr(4, size));
                in.erase(0, 4u + size);
                Event(*conn, "resuming at " + std::to_string(offset));
                sendFile(offset);
            }
            else
            {
                Event(*conn, "refused the answer " + std::to_string(answer));
                Close(*conn);
                return;
            }
        }
    };

    const uint16_t firstAction = testwire::ReadBE16(c.handshake, 16);
    if (firstAction != kAnswerNext)
    {
        Event(c, "refused the first action " + std::to_string(firstAction));
        Close(c);
        return;
    }
    serve->current = 0;
    announce();
}
