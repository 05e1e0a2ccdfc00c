#include "client/core/CMyChatLog.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "framework/runtime/MacRoman.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UText.h"
#include "platform/FileHandle.h"
#include "platform/Folders.h"

namespace
{
// Other conversations than the public chat say which they are first.
bool IsPublicText(const std::string& text)
{
    for (const char* kind : {"(private chat ", "(message ", "(broadcast "})
        if (text.compare(0, std::strlen(kind), kind) == 0) return false;
    return true;
}

// "2026-12-09" and the day before it; false for a text that is no date.
bool DayBefore(const std::string& date, std::string& outDate)
{
    int y = 0;
    unsigned m = 0, d = 0;
    if (std::sscanf(date.c_str(), "%d-%u-%u", &y, &m, &d) != 3) return false;
    const std::chrono::year_month_day day{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
    if (!day.ok()) return false;
    const std::chrono::year_month_day before{std::chrono::sys_days{day} - std::chrono::days{1}};
    char text[16];
    std::snprintf(text, sizeof(text), "%04d-%02u-%02u", int(before.year()), unsigned(before.month()),
                  unsigned(before.day()));
    outDate = text;
    return true;
}

// The end of a log file, at most `limit` bytes of it, from the start of a line; empty when it cannot be
// read.
std::string ReadTail(const std::string& path, uint32_t limit)
{
    int fd = -1;
    if (platform::OpenFile(path, platform::OpenMode::ReadOnly, fd)) return {};
    std::string text;
    uint64_t size = 0;
    if (!platform::FileSize(fd, size) && size)
    {
        const uint64_t from = size > limit ? size - limit : 0;
        text.resize(size_t(size - from));
        uint32_t got = 0;
        if (platform::ReadAt(fd, from, text.data(), uint32_t(text.size()), got)) got = 0;
        text.resize(got);
        // A cut in the middle of a line leaves that line out.
        if (from > 0)
        {
            const size_t first = text.find('\n');
            text.erase(0, first == std::string::npos ? text.size() : first + 1);
        }
    }
    platform::CloseFile(fd);
    return text;
}
} // namespace

CMyChatLog::CMyChatLog() : mTimer(UTimer::New(TimerProc, this)) {}

CMyChatLog::~CMyChatLog()
{
    End();
}

std::string CMyChatLog::FolderName(const std::string& address)
{
    std::string name;
    for (unsigned char c : address)
        name.push_back((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                               c == '.' || c == '-'
                           ? char(c)
                           : '_');
    // A name of dots alone would climb out of the logs folder.
    if (name.empty() || name.find_first_not_of('.') == std::string::npos) name = "_" + name;
    return name.substr(0, 200);
}

std::string CMyChatLog::LogsFolder(bool make)
{
    std::string data;
    if (platform::UserDataFolder(data)) return {};
    const std::string logs = data + "/Logs";
    if (make && platform::MakeFolders(logs)) return {};
    return logs;
}

void CMyChatLog::Begin(const std::string& address)
{
    End();
    mFolder = FolderName(address);
    mMadeFolder.clear();
    mFailed = mNoted = false;
    mFailure.clear();
}

void CMyChatLog::End()
{
    if (!mFolder.empty()) Flush();
    UTimer::Stop(mTimer);
    mFolder.clear();
    mPending.clear();
    mDate.clear();
}

void CMyChatLog::AddMacRoman(const std::string& date, const std::string& time, const std::string& where,
                             const uint8_t* text, uint32_t size)
{
    if (mFolder.empty()) return;
    if (date != mDate)
    {
        Flush();
        mDate = date;
    }
    const bool first = mPending.empty();
    mPending += '[';
    mPending += time;
    mPending += "] ";
    if (!where.empty())
    {
        // A name from the server cannot break the line.
        mPending += '(';
        for (char c : where)
            mPending.push_back(uint8_t(c) < 0x20 || c == 0x7F ? ' ' : c);
        mPending += ") ";
    }
    // One line of the log is one line of the chat: a text with breaks inside goes on indented. It is
    // written as UTF-8 straight into what waits, since a busy chat logs every line it shows.
    for (uint32_t i = 0; i < size; ++i)
    {
        const uint8_t b = text[i];
        if (b == '\r' || b == '\n')
            mPending += "\n    ";
        else
            AppendUtf8(mPending, MacRomanToUnicode(b));
    }
    mPending.push_back('\n');
    if (mPending.size() >= kFlushBytes)
        Flush();
    else if (first)
        UTimer::Start(mTimer, kFlushDelayMs, false);
}

bool CMyChatLog::Flush()
{
    UTimer::Stop(mTimer);
    if (mPending.empty() || mFolder.empty()) return true;
    std::string data;
    data.swap(mPending);
    // After the first failure of a session the disk is not asked again at every line.
    if (mFailed) return false;
    // The folders are made at the first write of a session, and again only when they went since.
    std::string folder = mMadeFolder;
    int err = 0, fd = -1;
    auto openLog = [&]
    { return platform::OpenFile(folder + "/" + mDate + ".log", platform::OpenMode::CreateReadWrite, fd); };
    if (!folder.empty()) err = openLog();
    if (folder.empty() || err == ENOENT)
    {
        const std::string logs = LogsFolder();
        folder = logs + "/" + mFolder;
        err = logs.empty() ? ENOENT : platform::MakeFolders(folder);
        if (!err) err = openLog();
        mMadeFolder = err ? std::string() : folder;
    }
    if (!err)
    {
        uint64_t size = 0;
        err = platform::FileSize(fd, size);
        if (!err) err = platform::WriteAt(fd, size, data.data(), uint32_t(data.size()));
        platform::CloseFile(fd);
    }
    if (!err)
    {
        ++mWrites;
        return true;
    }
    mFailed = true;
    mFailure = "The chat log cannot be written (" + std::string(std::strerror(err)) + "): " + folder +
               ". The chat goes on without it.";
    if (!mNoted)
    {
        mNoted = true;
        if (mFailureProc) mFailureProc(mFailure);
    }
    return false;
}

void CMyChatLog::TimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg == kMsgTimer) static_cast<CMyChatLog*>(context)->Flush();
}

std::vector<std::string> CMyChatLog::PublicLines(const std::string& text)
{
    std::vector<std::string> lines;
    bool keeping = false;
    for (const std::string& line : UText::SplitLines(text))
    {
        if (line.compare(0, 4, "    ") == 0)
        {
            // The rest of a line with breaks in it goes with its line.
            if (keeping) lines.back() += "\r" + line;
            continue;
        }
        const size_t close = line.find("] ");
        keeping = !line.empty() && line[0] == '[' && close != std::string::npos &&
                  IsPublicText(line.substr(close + 2));
        if (keeping) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CMyChatLog::LastPublicLines(const std::string& address, const std::string& today,
                                                     uint32_t count)
{
    std::vector<std::string> last;
    const std::string logs = LogsFolder(false);
    if (logs.empty() || !count) return last;
    const std::string folder = logs + "/" + FolderName(address) + "/";
    std::string day = today;
    for (int back = 0; back < kReplayDays && last.size() < count; ++back)
    {
        std::vector<std::string> lines = PublicLines(ReadTail(folder + day + ".log", kReplayBytesPerFile));
        const size_t take = std::min<size_t>(lines.size(), count - last.size());
        last.insert(last.begin(), lines.end() - ptrdiff_t(take), lines.end());
        if (!DayBefore(day, day)) break;
    }
    return last;
}
