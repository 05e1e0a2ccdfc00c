// File transfers through the whole client against the loopback server: a 1 GiB download and upload, and
// in the same run the same bytes copied from the same server over a plain TCP socket into a file (the
// machine's limit for this path). Also the client's peak memory during the download above its idle
// size, the CPU the shown tasks window costs while 4 transfers run (against the same 4 with the window
// hidden), a folder download of one large file and 1,000 files of 4 KiB against plain copies through the
// same exchange with the server into the same files, one before it and one after (and, for reference, the
// plain stream of the same bytes into the same files and into one file), and how closely a download speed
// limit of 10 MB/s holds over 10 s. The client and the server share the one
// thread, as in every end-to-end test; the timed waits pump the loop without the fixture's stall check,
// a diagnostic the client never runs.
//
// Run: QT_QPA_PLATFORM=offscreen bin/transfers_bench [runs, default 5] [MiB, default 1024]
//      [folder's large file in MiB, default 512] [limit in KB/s, default 10240; 0 skips it]
//      QT_QPA_PLATFORM=offscreen bin/transfers_bench small-files [runs, default 5]: only a folder of 1,000
//      files of 4 KiB up (a dropped folder) and down (the folder download, and the plain copy through the
//      same exchange), in files per second
#include <QApplication>
#include <QMimeData>
#include <QSocketNotifier>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/core/CMyTask.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/transfers/CMyTransferQueue.h"
#include "client/transfers/CMyTransferTask.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/UDragAndDrop.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "tests/support/CAppHarness.h"
#include "tests/support/RunLoopWait.h"
#include "tools/testserver/TestWire.h"

namespace
{
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// A line of /proc/self/status in kB.
long StatusKB(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string k = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.compare(0, k.size(), k) == 0) return std::atol(line.c_str() + k.size());
    return -1;
}

// From here VmHWM counts anew.
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void MakeFile(const std::string& path, uint64_t size)
{
    std::string block(1 << 20, '\0');
    uint32_t x = 7;
    for (char& c : block)
        c = char((x = x * 1103515245u + 12345u) >> 16);
    std::ofstream out(path, std::ios::binary);
    for (uint64_t done = 0; done < size; done += block.size())
        out.write(block.data(), std::streamsize(std::min<uint64_t>(block.size(), size - done)));
}

uint64_t FileSize(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 ? uint64_t(st.st_size) : 0;
}

CMyFolderWin* OpenDocs(CAppHarness& h)
{
    auto idle = [&]
    {
        for (CMyTask* task : h.App().Features().Tasks())
            if (!task->mIsFinished) return false;
        return true;
    };
    h.App().DoShowPublicFiles();
    h.WaitUntil(idle, "the root listing", 60000);
    CMyFolderWin* root = h.App().GetRootFolderWin();
    CMyFileListView* list = root->View();
    for (uint32_t row = 1; row <= list->GetItemCount(); ++row)
        if (CAppHarness::Str(list->GetItem(row)->name) == "Docs") list->SelectItem(row);
    h.App().DoFileDoubleClick(root, 0);
    h.WaitUntil(idle, "the Docs listing", 60000);
    for (CMyFolderWin* win : h.Windows<CMyFolderWin>())
        if (CAppHarness::Title(win) == "Docs") return win;
    return nullptr;
}

void Select(CMyFolderWin* win, const std::string& name)
{
    CMyFileListView* list = win->View();
    list->DeselectAll();
    for (uint32_t row = 1; row <= list->GetItemCount(); ++row)
        if (CAppHarness::Str(list->GetItem(row)->name) == name) list->SelectItem(row);
}

// Where a plain copy puts the bytes it reads: one file after the other, each made anew.
struct SPiece
{
    std::string path;
    uint64_t size;
};

// A plain socket to the transfer listener, with the handshake sent.
int ConnectPlain(CAppHarness& h, const std::string& handshake)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(h.transfers.Port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    h.WaitUntil(
        [&]
        { return send(fd, handshake.data(), handshake.size(), MSG_NOSIGNAL) == ssize_t(handshake.size()); },
        "the plain connection", 10000);
    return fd;
}

// Reads a plain socket as its bytes come, handing each piece on, until the server closes, the socket breaks
// or the taker says stop (false).
class CPlainReader
{
public:
    CPlainReader(int fd, std::function<bool(const char*, size_t)> take)
        : mTake(std::move(take)), mNotifier(fd, QSocketNotifier::Read)
    {
        QObject::connect(&mNotifier, &QSocketNotifier::activated,
                         [this, fd]
                         {
                             for (;;)
                             {
                                 const ssize_t n = recv(fd, mBuffer.data(), mBuffer.size(), 0);
                                 if (n > 0 && !mTake(mBuffer.data(), size_t(n))) mEnded = true;
                                 if (n > 0 && !mEnded) continue;
                                 if (n < 0 && errno == EINTR) continue;
                                 if (n == 0 || (n < 0 && errno != EAGAIN)) mEnded = true;
                                 break;
                             }
                             if (mEnded) mNotifier.setEnabled(false);
                         });
    }
    bool Ended() const { return mEnded; }

private:
    std::function<bool(const char*, size_t)> mTake;
    std::vector<char> mBuffer = std::vector<char>(256 * 1024);
    QSocketNotifier mNotifier;
    bool mEnded = false;
};

// The same file's bytes from the same transfer listener, as a plain stream (a preview job that is not
// cut), read with a plain socket into the pieces in turn.
double PlainCopy(CAppHarness& h, const std::string& source, const std::vector<SPiece>& pieces)
{
    uint64_t size = 0;
    for (const SPiece& piece : pieces)
        size += piece.size;
    STransferJob job;
    job.kind = STransferJob::EKind::Preview;
    job.path = source;
    job.size = size;
    const uint32_t refNum = h.transfers.AddJob(job);
    size_t piece = 0;
    uint64_t pieceLeft = 0;
    int out = -1;
    const Clock::time_point start = Clock::now();
    const int fd = ConnectPlain(h, "QVXF" + testwire::BE32(refNum) + std::string(8, '\0'));
    uint64_t got = 0;
    bool failed = false;
    // As any copy of a folder must: each file is made when its bytes begin and closed when they end.
    CPlainReader reader(fd,
                        [&](const char* bytes, size_t left)
                        {
                            got += left;
                            while (left && !failed)
                            {
                                if (out < 0)
                                {
                                    if (piece == pieces.size()) break;
                                    out = open(pieces[piece].path.c_str(),
                                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                                    pieceLeft = pieces[piece++].size;
                                    if (out < 0) failed = true;
                                    continue;
                                }
                                const size_t part = size_t(std::min<uint64_t>(left, pieceLeft));
                                if (write(out, bytes, part) != ssize_t(part)) failed = true;
                                bytes += part;
                                left -= part;
                                pieceLeft -= part;
                                if (pieceLeft == 0) close(out), out = -1;
                            }
                            return !failed;
                        });
    PumpUntil([&] { return reader.Ended() || got >= size; }, "the plain copy", 600000);
    const double secs = Seconds(start);
    close(fd);
    if (out >= 0) close(out);
    if (got != size) std::fprintf(stderr, "plain copy got %llu bytes\n", (unsigned long long)got);
    return secs;
}

// A server folder through the same exchange as the folder download, with nothing but a socket: each item
// is answered as soon as it is announced (a folder: made, and the next item; a file: send it), a file is
// made when its data fork begins, written and closed when it ends, and the next item asked for. The round
// trips of the exchange are the server's protocol and cost any client the same; what the client does
// beyond this (partial files, names made safe, progress, its tasks and queue) is its own cost.
double PlainFolderCopy(CAppHarness& h, const std::string& serverFolder, uint32_t items,
                       const std::string& into)
{
    STransferJob job;
    job.kind = STransferJob::EKind::FolderDownload;
    job.path = serverFolder;
    const uint32_t refNum = h.transfers.AddJob(job);
    const Clock::time_point start = Clock::now();
    const int fd = ConnectPlain(h, "QVXF" + testwire::BE32(refNum) + testwire::BE32(0) + testwire::BE16(1) +
                                       testwire::BE16(0) + testwire::BE16(3));
    mkdir(into.c_str(), 0755);
    enum
    {
        kHeaderSize,
        kHeader,
        kFileSize,
        kStreamHeader,
        kForkHeader,
        kForkBody,
    } stage = kHeaderSize;
    std::string gathered, path;
    size_t wanted = 2;
    uint64_t streamLeft = 0, forkLeft = 0;
    bool dataFork = false, failed = false;
    uint32_t done = 0;
    int out = -1;
    auto answer = [&](uint16_t a)
    {
        const std::string bytes = testwire::BE16(a);
        if (send(fd, bytes.data(), 2, MSG_NOSIGNAL) != 2) failed = true;
    };
    auto itemDone = [&]
    {
        if (++done < items) answer(3);
        stage = kHeaderSize;
        wanted = 2;
    };
    // Takes what the stream holds at its current stage; returns the bytes used.
    auto take = [&](const char* bytes, size_t n) -> size_t
    {
        if (stage == kForkBody)
        {
            const size_t part = size_t(std::min<uint64_t>(n, forkLeft));
            if (dataFork && out >= 0 && part && write(out, bytes, part) != ssize_t(part)) failed = true;
            forkLeft -= part;
            streamLeft -= part;
            if (forkLeft == 0 && dataFork && out >= 0) close(out), out = -1;
            if (forkLeft == 0) stage = kForkHeader, wanted = 16;
            if (streamLeft == 0) itemDone();
            return part;
        }
        const size_t part = std::min(n, wanted - gathered.size());
        gathered.append(bytes, part);
        if (stage >= kStreamHeader) streamLeft -= part;
        if (gathered.size() < wanted) return part;
        const std::string g = std::move(gathered);
        gathered.clear();
        switch (stage)
        {
        case kHeaderSize:
            stage = kHeader;
            wanted = testwire::ReadBE16(g, 0);
            break;
        case kHeader:
        {
            // Type, level count, then each level: two reserved bytes, a length and the name.
            path = into;
            for (size_t at = 4, level = 0; level < testwire::ReadBE16(g, 2) && at + 3 <= g.size(); ++level)
            {
                const size_t length = uint8_t(g[at + 2]);
                path += '/';
                path.append(g, at + 3, length);
                at += 3 + length;
            }
            if (testwire::ReadBE16(g, 0) & 1)
            {
                mkdir(path.c_str(), 0755);
                itemDone();
            }
            else
            {
                answer(1);
                stage = kFileSize;
                wanted = 4;
            }
            break;
        }
        case kFileSize:
            streamLeft = testwire::ReadBE32(g, 0);
            stage = kStreamHeader;
            wanted = 24;
            break;
        case kStreamHeader:
            stage = kForkHeader;
            wanted = 16;
            break;
        default: // a fork header: type, compression, reserved, size
            dataFork = g.compare(0, 4, "DATA") == 0;
            forkLeft = testwire::ReadBE32(g, 12);
            stage = kForkBody;
            if (dataFork) out = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (dataFork && out < 0) failed = true;
            if (forkLeft == 0 && dataFork && out >= 0) close(out), out = -1;
            if (forkLeft == 0) stage = kForkHeader;
            if (streamLeft == 0) itemDone();
            break;
        }
        return part;
    };
    CPlainReader reader(fd,
                        [&](const char* bytes, size_t n)
                        {
                            for (size_t at = 0; at < n && !failed;)
                                at += take(bytes + at, n - at);
                            return !failed;
                        });
    PumpUntil([&] { return reader.Ended() || done >= items; }, "the plain copy through the folder exchange",
              600000);
    const double secs = Seconds(start);
    close(fd);
    if (out >= 0) close(out);
    if (failed || done != items)
        std::fprintf(stderr, "the plain copy through the folder exchange took %u of %u items\n", done, items);
    return secs;
}

constexpr int kSmallFiles = 1000;
constexpr uint64_t kSmallSize = 4096;

// The folder Tree in the shared folder: one large file and the small ones; and the same bytes in one
// file beside it, for the plain copy. Returns the bytes in all.
uint64_t MakeTree(CAppHarness& h, uint64_t bigSize, std::string& outPlainSource)
{
    h.WriteSharedFile("Tree/big.bin", "");
    MakeFile(h.SharedFolder() + "/Tree/big.bin", bigSize);
    std::string small(kSmallSize, '\0');
    for (int i = 0; i < kSmallFiles; ++i)
    {
        for (size_t b = 0; b < small.size(); ++b)
            small[b] = char(i * 31 + b);
        char name[32];
        std::snprintf(name, sizeof(name), "Tree/small/%04d.dat", i);
        h.WriteSharedFile(name, small);
    }
    outPlainSource = h.SharedFolder() + "/plain-tree.bin";
    std::ofstream out(outPlainSource, std::ios::binary);
    std::ifstream big(h.SharedFolder() + "/Tree/big.bin", std::ios::binary);
    out << big.rdbuf();
    for (int i = 0; i < kSmallFiles; ++i)
        out.write(small.data(), std::streamsize(small.size()));
    return bigSize + kSmallFiles * kSmallSize;
}

// The pieces of the tree's bytes as the folder holds them, under `root`.
std::vector<SPiece> TreePieces(const std::string& root, uint64_t bigSize)
{
    std::vector<SPiece> pieces{{root + "/big.bin", bigSize}};
    for (int i = 0; i < kSmallFiles; ++i)
    {
        char name[32];
        std::snprintf(name, sizeof(name), "/small/%04d.dat", i);
        pieces.push_back({root + name, kSmallSize});
    }
    return pieces;
}

// Deleting many files makes the next files made near them cost several times as much for a minute or
// more: the file system looks at every entry freed in that time before it takes one. Which of the copies
// and downloads meets more of them would decide the comparison. So no tree of many files is deleted while
// the benchmark measures: each is moved aside (its one large file, which costs nothing to delete, goes at
// once), and all of them go when the program ends.
class CKeptTrees
{
public:
    CKeptTrees() : mFolder(platform::TempFolder() + "/transfers_bench-kept-" + std::to_string(getpid()))
    {
        mkdir(mFolder.c_str(), 0700);
    }
    ~CKeptTrees()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mFolder, ignored);
    }
    CKeptTrees(const CKeptTrees&) = delete;
    CKeptTrees& operator=(const CKeptTrees&) = delete;

    void Keep(const std::string& tree)
    {
        unlink((tree + "/big.bin").c_str());
        // Another file system (a TMPDIR elsewhere) cannot take it: it goes now.
        if (rename(tree.c_str(), (mFolder + "/" + std::to_string(mNext++)).c_str()) != 0)
        {
            std::error_code ignored;
            std::filesystem::remove_all(tree, ignored);
        }
    }

private:
    std::string mFolder;
    uint32_t mNext = 0;
};

// Every task has ended; rows kept for finished transfers are cleared.
bool AllEnded(CAppHarness& h)
{
    for (CMyTask* task : h.App().Features().Tasks())
        if (!task->mIsFinished && !task->IsParked()) return false;
    return true;
}

void ClearRows(CAppHarness& h)
{
    h.WaitUntil(
        [&]
        {
            h.App().Features().Tasks().ClearFinishedRows();
            return h.App().Features().Tasks().GetItemCount() == 0;
        },
        "the rows to go", 10000);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int SmallFilesBench(int runs, CKeptTrees& kept);

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    platform::InitEventLoop();
    UApplication::Init();
    // Files deleted before the start count for a minute once their deletion is on the disk, for six
    // minutes before that.
    sync();
    CKeptTrees kept;
    if (argc > 1 && std::string(argv[1]) == "small-files")
        return SmallFilesBench(argc > 2 ? std::atoi(argv[2]) : 5, kept);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
    const uint64_t size = mib << 20;
    const double mb = double(size) / 1e6;
    const uint64_t folderBig = (argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 512) << 20;
    const uint32_t limitKBps = argc > 4 ? uint32_t(std::strtoul(argv[4], nullptr, 10)) : 10240;

    std::vector<double> plain, down, up, peak, cpuShown, cpuHidden, wallShown, wallHidden, folderPlain,
        folderStream, folderOne, folderDown, folderShare, folderStreamShare, limited;
    for (int run = 0; run < runs; ++run)
    {
        CAppHarness h;
        h.model.guestAccess = CServerModel::AllAccess();
        h.WriteSharedFile("Docs/big.bin", "");
        const std::string source = h.SharedFolder() + "/Docs/big.bin";
        MakeFile(source, size);
        h.Start();
        h.Login();
        h.App().Features().Settings().queueTransfers = 0;
        CMyFolderWin* docs = OpenDocs(h);
        if (!docs) return 1;

        // Each timed part starts with nothing of the others waiting to be written to the disk.
        sync();
        const std::string copy = h.UserFolder() + "/plain.bin";
        const double plainSecs = PlainCopy(h, source, {{copy, size}});
        unlink(copy.c_str());
        sync();

        const std::string downloaded = h.DownloadFolder() + "/big.bin";
        h.Pump();
        const long idleKB = StatusKB("VmRSS");
        ResetPeak();
        Select(docs, "big.bin");
        Clock::time_point start = Clock::now();
        h.Hit(docs, kHitFileDownload);
        PumpUntil([&] { return FileSize(downloaded) == size; }, "the download", 600000);
        const double downSecs = Seconds(start);
        const long peakKB = StatusKB("VmHWM");

        // The downloaded copy goes back up under another name.
        const std::string local = h.UserFolder() + "/up.bin";
        rename(downloaded.c_str(), local.c_str());
        std::unique_ptr<QMimeData> mime(UDragAndDrop::MakeMimeData({{FourCC("hfs "), local}}));
        sync();
        start = Clock::now();
        docs->View()->Drop(*mime, 0);
        const std::string uploaded = h.SharedFolder() + "/Docs/up.bin";
        PumpUntil([&] { return FileSize(uploaded) == size; }, "the upload", 600000);
        const double upSecs = Seconds(start);
        unlink(uploaded.c_str());
        ClearRows(h);

        h.transfers.SetPieceSize(0);
        // Four downloads at once to the end, with the tasks window shown and then hidden: the difference in
        // CPU is what the window's rows cost.
        struct SFour
        {
            double wall, cpu;
        };
        auto fourDownloads = [&](bool shown) -> SFour
        {
            if (shown)
                h.App().DoShowTasksWin();
            else
                h.App().Features().Windows().Tasks()->Hide();
            sync();
            const double cpu0 = CpuSeconds();
            const Clock::time_point t = Clock::now();
            for (int i = 0; i < 4; ++i)
            {
                Select(docs, "big.bin");
                h.Hit(docs, kHitFileDownload, 0, kModAlt);
            }
            PumpUntil([&] { return AllEnded(h); }, "the four downloads", 600000);
            const SFour r{Seconds(t), CpuSeconds() - cpu0};
            ClearRows(h);
            return r;
        };
        static std::vector<std::string> targets;
        targets.clear();
        for (int i = 0; i < 8; ++i)
            targets.push_back(h.UserFolder() + "/par" + std::to_string(i) + ".bin");
        static size_t next = 0;
        next = 0;
        UFileSys::SetDialogProcs(nullptr,
                                 [](const uint8_t*, const uint8_t*, const std::string&, std::string& out)
                                 {
                                     out = targets[next++ % targets.size()];
                                     return true;
                                 });
        // The first four downloads after the large upload run up to twice as long as the next, shown or
        // hidden alike (the system is still writing and evicting the upload's pages): a round nobody
        // counts goes first, and which of the two counted ones goes first still takes turns.
        fourDownloads(false);
        for (const std::string& t : targets)
            unlink(t.c_str());
        SFour shownFour{}, hiddenFour{};
        for (const bool shownNow : {run % 2 == 0, run % 2 != 0})
        {
            (shownNow ? shownFour : hiddenFour) = fourDownloads(shownNow);
            for (const std::string& t : targets)
                unlink(t.c_str());
        }
        const double shown = 100 * shownFour.cpu / shownFour.wall,
                     hidden = 100 * hiddenFour.cpu / hiddenFour.wall;
        UFileSys::SetDialogProcs(nullptr, nullptr);
        for (const std::string& t : targets)
        {
            unlink(t.c_str());
            unlink((t + ".qpf").c_str());
        }
        unlink(local.c_str());

        // The folder: the same bytes plainly, and the folder download into the download folder.
        std::string plainSource;
        const uint64_t treeBytes = MakeTree(h, folderBig, plainSource);
        const double treeMB = double(treeBytes) / 1e6;
        sync();
        const double treeOneSecs =
            PlainCopy(h, plainSource, {{h.UserFolder() + "/plain-tree.bin", treeBytes}});
        unlink((h.UserFolder() + "/plain-tree.bin").c_str());
        sync();
        // A copy of a folder makes its files. The limit for the folder download is a plain copy through the
        // same exchange with the server into the same 1,001 files (PlainFolderCopy); the plain stream of
        // the same bytes into the same files, which needs no exchange per file, is shown beside it. The
        // copies go beside the downloaded folder, in the same parent folder, so that the file system gives
        // all of them the same kind of place for their files (where it had just deleted many, making a file
        // costs several times as much), and they stay until the run ends, so that none makes its files
        // where another has just deleted some. What making a file costs here drifts within seconds, as
        // deleted files age: one copy through the exchange before the download and one after, and their
        // mean as the limit, take the drift out of the comparison.
        mkdir(h.DownloadFolder().c_str(), 0755);
        const std::string serverTree = h.SharedFolder() + "/Tree";
        const uint32_t treeItems = kSmallFiles + 2; // the large file, the folder of small ones and those
        auto folderDownload = [&]
        {
            const std::string downloads = h.DownloadFolder();
            TFileSysRefObj* parent =
                UFileSys::NewFromNativePath(downloads.data(), uint32_t(downloads.size()));
            const std::vector<uint8_t> name = CAppHarness::P("Tree");
            const Clock::time_point begin = Clock::now();
            h.App().Features().Transfers().DownloadFolder(nullptr, 0, name.data(), parent, false);
            UFileSys::Dispose(parent);
            PumpUntil([&] { return AllEnded(h); }, "the folder download", 600000);
            return Seconds(begin);
        };
        const std::string plainBefore = h.DownloadFolder() + "/plain-before",
                          plainAfter = h.DownloadFolder() + "/plain-after",
                          plainStream = h.DownloadFolder() + "/plain-stream";
        // The stream goes first, while the source it reads is still in memory from the copy into one file.
        mkdir(plainStream.c_str(), 0755);
        mkdir((plainStream + "/small").c_str(), 0755);
        const double streamSecs = PlainCopy(h, plainSource, TreePieces(plainStream, folderBig));
        sync();
        const double plainBeforeSecs = PlainFolderCopy(h, serverTree, treeItems, plainBefore);
        sync();
        const double treeSecs = folderDownload();
        sync();
        const double plainAfterSecs = PlainFolderCopy(h, serverTree, treeItems, plainAfter);
        const double treePlainSecs = (plainBeforeSecs + plainAfterSecs) / 2;
        for (const std::string& tree : {h.DownloadFolder() + "/Tree", plainBefore, plainAfter})
            if (FileSize(tree + "/big.bin") != folderBig || FileSize(tree + "/small/0999.dat") != kSmallSize)
                std::fprintf(stderr, "%s is not complete\n", tree.c_str());
        folderShare.push_back(100 * treePlainSecs / treeSecs);
        folderStreamShare.push_back(100 * streamSecs / treeSecs);
        folderPlain.push_back(treeMB / treePlainSecs);
        folderStream.push_back(treeMB / streamSecs);
        folderOne.push_back(treeMB / treeOneSecs);
        folderDown.push_back(treeMB / treeSecs);
        ClearRows(h);
        for (const std::string& tree :
             {plainBefore, plainAfter, plainStream, h.DownloadFolder() + "/Tree", serverTree})
            kept.Keep(tree);

        // The speed limit: a download held to it, measured over 10 s after its first second, then let go.
        if (limitKBps)
        {
            const double rate = double(limitKBps) * 1024;
            h.App().Features().Settings().downloadLimit = limitKBps;
            h.App().Features().Tasks().TransferLimits().SetFrom(h.App().Features().Settings());
            Select(docs, "big.bin");
            h.Hit(docs, kHitFileDownload);
            CMyTransferTask* task = nullptr;
            h.WaitUntil(
                [&]
                {
                    for (CMyTask* t : h.App().Features().Tasks())
                        if (t->IsTransfer() && !t->IsParked() && !t->mIsFinished)
                            task = static_cast<CMyTransferTask*>(t);
                    return task && task->GetDoneSize() > 0;
                },
                "the limited download", 60000);
            const Clock::time_point warm = Clock::now();
            h.WaitUntil([&] { return Seconds(warm) >= 1; }, "a second", 10000);
            const uint32_t from = task->GetDoneSize();
            const Clock::time_point t0 = Clock::now();
            h.WaitUntil([&] { return Seconds(t0) >= 10 || task->GetDoneSize() >= task->GetTotalSize(); },
                        "ten seconds", 20000);
            const double secs = Seconds(t0);
            const double got = double(task->GetDoneSize() - from);
            limited.push_back(100 * got / secs / rate);
            std::printf("run %d: limit %u KB/s: %.2f MB/s over %.1f s, %.1f%% of the limit\n", run + 1,
                        limitKBps, got / secs / 1e6, secs, limited.back());
            h.App().Features().Settings().downloadLimit = 0;
            h.App().Features().Tasks().TransferLimits().SetFrom(h.App().Features().Settings());
            h.WaitUntil([&] { return AllEnded(h); }, "the rest of the limited download", 600000);
            unlink((h.DownloadFolder() + "/big.bin").c_str());
        }

        std::printf(
            "run %d: folder of %.0f MB: plain copy through the exchange %.0f MB/s (%.0f before, %.0f "
            "after), plain stream into its files %.0f MB/s, into one file %.0f MB/s, folder download "
            "%.0f MB/s (%.0f%% of plain through the exchange, %.0f%% of the plain stream into its files, "
            "%.0f%% of plain into one)\n",
            run + 1, treeMB, treeMB / treePlainSecs, treeMB / plainBeforeSecs, treeMB / plainAfterSecs,
            treeMB / streamSecs, treeMB / treeOneSecs, treeMB / treeSecs, folderShare.back(),
            folderStreamShare.back(), 100 * treeOneSecs / treeSecs);
        std::printf("run %d: plain %.0f MB/s, download %.0f MB/s (%.0f%%), upload %.0f MB/s (%.0f%%), "
                    "peak +%.1f MB during the download; 4 downloads at once: tasks window shown %.2f s wall "
                    "%.2f s CPU, "
                    "hidden %.2f s wall %.2f s CPU\n",
                    run + 1, mb / plainSecs, mb / downSecs, 100 * plainSecs / downSecs, mb / upSecs,
                    100 * plainSecs / upSecs, double(peakKB - idleKB) / 1024, shownFour.wall, shownFour.cpu,
                    hiddenFour.wall, hiddenFour.cpu);
        std::fflush(stdout);
        plain.push_back(mb / plainSecs);
        down.push_back(mb / downSecs);
        up.push_back(mb / upSecs);
        peak.push_back(double(peakKB - idleKB) / 1024);
        cpuShown.push_back(shown);
        cpuHidden.push_back(hidden);
        wallShown.push_back(shownFour.wall);
        wallHidden.push_back(hiddenFour.wall);
    }
    std::printf(
        "median of %d: plain %.0f MB/s, download %.0f MB/s (%.0f%% of plain), upload %.0f MB/s (%.0f%% "
        "of plain), peak +%.1f MB, 4 downloads CPU %.0f%% of a core with the tasks window shown, %.0f%% "
        "hidden\n",
        runs, Median(plain), Median(down), 100 * Median(down) / Median(plain), Median(up),
        100 * Median(up) / Median(plain), Median(peak), Median(cpuShown), Median(cpuHidden));
    std::printf("median of %d: 4 downloads at once %.2f s wall with the tasks window shown, %.2f s hidden "
                "(%+.0f%%)\n",
                runs, Median(wallShown), Median(wallHidden),
                100 * (Median(wallShown) / Median(wallHidden) - 1));
    // The share is the median of each run's own share: the plain copies and the download of one run meet
    // the same state of the disk, where the medians of the speeds may come from different runs.
    std::printf(
        "median of %d: folder plain copy through the exchange %.0f MB/s, plain stream into its files "
        "%.0f MB/s, into one file %.0f MB/s, folder download %.0f MB/s (%.0f%% of plain through the "
        "exchange, range %.0f%% to %.0f%%; %.0f%% of the plain stream into its files, range %.0f%% to "
        "%.0f%%; %.0f%% of plain into one)\n",
        runs, Median(folderPlain), Median(folderStream), Median(folderOne), Median(folderDown),
        Median(folderShare), *std::min_element(folderShare.begin(), folderShare.end()),
        *std::max_element(folderShare.begin(), folderShare.end()), Median(folderStreamShare),
        *std::min_element(folderStreamShare.begin(), folderStreamShare.end()),
        *std::max_element(folderStreamShare.begin(), folderStreamShare.end()),
        100 * Median(folderDown) / Median(folderOne));
    if (!limited.empty())
        std::printf(
            "median of %d: a limit of %u KB/s held at %.1f%% of it over 10 s (range %.1f%% to %.1f%%)\n",
            runs, limitKBps, Median(limited), *std::min_element(limited.begin(), limited.end()),
            *std::max_element(limited.begin(), limited.end()));
    return 0;
}

// A folder of many small files up and down: what each file costs beyond its bytes (a request, a
// connection and its handshake, a listing entry), in files per second.
namespace
{
bool AllTasksDone(CAppHarness& h)
{
    for (CMyTask* task : h.App().Features().Tasks())
        if (!task->mIsFinished && !task->IsParked()) return false;
    return true;
}
} // namespace

int SmallFilesBench(int runs, CKeptTrees& kept)
{
    std::vector<double> upRates, downRates, plainRates;
    for (int run = 0; run < runs; ++run)
    {
        CAppHarness h;
        h.model.guestAccess = CServerModel::AllAccess();
        h.WriteSharedFile("Docs/placeholder", "");
        h.Start();
        h.Login();
        h.App().Features().Settings().queueTransfers = 0;
        CMyFolderWin* docs = OpenDocs(h);
        if (!docs) return 1;
        const std::string local = h.UserFolder() + "/Small";
        mkdir(local.c_str(), 0755);
        std::string bytes(kSmallSize, '\0');
        for (int i = 0; i < kSmallFiles; ++i)
        {
            for (size_t b = 0; b < bytes.size(); ++b)
                bytes[b] = char(i * 17 + b);
            char name[32];
            std::snprintf(name, sizeof(name), "/%04d.dat", i);
            std::ofstream(local + name, std::ios::binary) << bytes;
        }
        sync();
        std::unique_ptr<QMimeData> mime(UDragAndDrop::MakeMimeData({{FourCC("hfs "), local}}));
        const std::string last = h.SharedFolder() + "/Docs/Small/0999.dat";
        Clock::time_point start = Clock::now();
        docs->View()->Drop(*mime, 0);
        PumpUntil([&] { return FileSize(last) == kSmallSize && AllTasksDone(h); }, "the folder upload",
                  600000);
        const double upSecs = Seconds(start);
        ClearRows(h);
        sync();

        const std::string downloads = h.UserFolder() + "/Down";
        mkdir(downloads.c_str(), 0755);
        TFileSysRefObj* parent = UFileSys::NewFromNativePath(downloads.data(), uint32_t(downloads.size()));
        const std::vector<uint8_t> name = CAppHarness::P("Small");
        const std::vector<uint8_t> docsPath = {0, 1, 0, 0, 4, 'D', 'o', 'c', 's'};
        start = Clock::now();
        h.App().Features().Transfers().DownloadFolder(docsPath.data(), uint32_t(docsPath.size()), name.data(),
                                                      parent, false);
        UFileSys::Dispose(parent);
        PumpUntil([&] { return AllTasksDone(h); }, "the folder download", 600000);
        const double downSecs = Seconds(start);
        if (FileSize(downloads + "/Small/0999.dat") != kSmallSize)
            std::fprintf(stderr, "the folder download is not complete\n");
        sync();
        const std::string plain = h.UserFolder() + "/Plain";
        const double plainSecs = PlainFolderCopy(h, h.SharedFolder() + "/Docs/Small", kSmallFiles, plain);
        upRates.push_back(kSmallFiles / upSecs);
        downRates.push_back(kSmallFiles / downSecs);
        plainRates.push_back(kSmallFiles / plainSecs);
        std::printf(
            "run %d: %d files of %llu bytes: up %.0f files/s (%.2f s), down %.0f files/s (%.2f s), plain "
            "copy through the same exchange %.0f files/s (%.2f s)\n",
            run + 1, kSmallFiles, (unsigned long long)kSmallSize, kSmallFiles / upSecs, upSecs,
            kSmallFiles / downSecs, downSecs, kSmallFiles / plainSecs, plainSecs);
        std::fflush(stdout);
        for (const std::string& tree : {local, h.SharedFolder() + "/Docs/Small", downloads + "/Small", plain})
            kept.Keep(tree);
    }
    std::printf("median of %d: up %.0f files/s, down %.0f files/s, plain copy through the same exchange %.0f "
                "files/s\n",
                runs, Median(upRates), Median(downRates), Median(plainRates));
    return 0;
}
