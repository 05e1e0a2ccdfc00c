#include "client/core/CMyChatLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/FileHandle.h"
#include "platform/Folders.h"

namespace
{
// Lines gather up to this much before they go out on their own.
constexpr size_t kFlushBytes = 16 * 1024;
} // namespace

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
    mFailed = mNoted = false;
    mFailure.clear();
}

void CMyChatLog::End()
{
    if (!mFolder.empty()) Flush();
    mFolder.clear();
    mPending.clear();
    mDate.clear();
}

void CMyChatLog::Add(const std::string& date, const std::string& time, const std::string& where,
                     const std::string& line)
{
    if (mFolder.empty()) return;
    if (date != mDate)
    {
        Flush();
        mDate = date;
    }
    mPending += "[" + time + "] ";
    if (!where.empty()) mPending += "(" + where + ") ";
    // One line of the log is one line of the chat: a text with breaks inside goes on indented.
    for (char c : line)
        if (c == '\r' || c == '\n')
            mPending += "\n    ";
        else
            mPending.push_back(c);
    mPending.push_back('\n');
    if (mPending.size() >= kFlushBytes) Flush();
}

bool CMyChatLog::Flush()
{
    if (mPending.empty() || mFolder.empty()) return true;
    std::string data;
    data.swap(mPending);
    // After the first failure of a session the disk is not asked again at every line.
    if (mFailed) return false;
    const std::string logs = LogsFolder();
    const std::string folder = logs + "/" + mFolder;
    int err = logs.empty() ? ENOENT : platform::MakeFolders(folder);
    int fd = -1;
    if (!err)
        err = platform::OpenFile(folder + "/" + mDate + ".log", platform::OpenMode::CreateReadWrite, fd);
    if (!err)
    {
        uint64_t size = 0;
        err = platform::FileSize(fd, size);
        if (!err) err = platform::WriteAt(fd, size, data.data(), uint32_t(data.size()));
        platform::CloseFile(fd);
    }
    if (!err) return true;
    mFailed = true;
    mFailure = "The chat log cannot be written (" + std::string(std::strerror(err)) + "): " + folder +
               ". The chat goes on without it.";
    return false;
}

bool CMyChatLog::TakeFailureNote()
{
    if (!mFailed || mNoted) return false;
    mNoted = true;
    return true;
}
