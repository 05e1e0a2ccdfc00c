// Plain UTF-8 logs of the conversations with one server: $XDG_DATA_HOME/Quenvol/Logs/<server>/<date>.log,
// one file a day for all of them, each line "[14:05] text" for the public chat and
// "[14:05] (conversation) text" for the others ("private chat 3", "message from Robin"). One file keeps a
// day readable in the order it happened, and names from the server never become file names.
//
// Lines wait in memory and go to the disk in one write a moment after the first of them (a timer), when
// many have gathered, at the end of a session or when the day changes: a busy chat costs a write now and
// then, not one per line, and a quiet one still reaches the disk within the second. A disk that fails is
// noted once a session and otherwise ignored: the chat goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

class CMyChatLog
{
public:
    static constexpr uint32_t kFlushDelayMs = 1000;
    // Lines gather up to this much before they go out on their own.
    static constexpr size_t kFlushBytes = 64 * 1024;

    CMyChatLog();
    ~CMyChatLog();
    CMyChatLog(const CMyChatLog&) = delete;
    CMyChatLog& operator=(const CMyChatLog&) = delete;

    // The server's folder name: its address and port, every character a file name cannot hold made "_".
    static std::string FolderName(const std::string& address);

    // A new session with this server ("host:port"); a failure note may come again.
    void Begin(const std::string& address);
    // The session ended: what waits goes to the disk.
    void End();
    bool IsOpen() const { return !mFolder.empty(); }

    // One line in the client's character set (Mac OS Roman), as the chat shows it, under the day `date`
    // ("2026-12-09"), with its time ("14:05") and the conversation it belongs to ("" for the public chat).
    void AddMacRoman(const std::string& date, const std::string& time, const std::string& where,
                     const uint8_t* text, uint32_t size);
    // Writes what waits. False when the disk refused it: the lines are dropped.
    bool Flush();
    // Runs once a session, at the first failure, with the text to tell the user.
    void SetFailureProc(std::function<void(const std::string& text)> proc) { mFailureProc = std::move(proc); }
    std::string FailureText() const { return mFailure; }
    // How many writes reached the disk so far (for the benchmark).
    uint32_t WriteCount() const { return mWrites; }

    // $XDG_DATA_HOME/Quenvol/Logs, made when missing; empty when it cannot be.
    static std::string LogsFolder(bool make = true);

    // The last `count` lines of the public chat logged with the server at `address`, oldest first, as
    // they were written ("[14:05] text", a long one with its continuation lines), from the files of
    // `today` ("2026-12-09") and the days before it, up to kReplayDays back.
    static constexpr int kReplayDays = 60;
    static constexpr uint32_t kReplayBytesPerFile = 512 * 1024;
    static std::vector<std::string> LastPublicLines(const std::string& address, const std::string& today,
                                                    uint32_t count);
    // The public chat's lines of one day's log text, in order.
    static std::vector<std::string> PublicLines(const std::string& text);

private:
    static void TimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);

    std::string mFolder;     // the server's folder, empty between sessions
    std::string mMadeFolder; // its full path, once made in this session
    std::string mDate;       // the day of the lines waiting
    std::string mPending;
    bool mFailed = false, mNoted = false;
    std::string mFailure;
    uint32_t mWrites = 0;
    std::function<void(const std::string&)> mFailureProc;
    COwner<TTimerObj, UTimer::Dispose> mTimer;
};
