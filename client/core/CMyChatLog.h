// Plain UTF-8 logs of the conversations with one server: $XDG_DATA_HOME/Quenvol/Logs/<server>/<date>.log,
// one file a day, appended line by line. Lines wait in memory and go to the disk in one write once a few
// have gathered, when the caller flushes (at each turn of a timer, at the end of a session) or when the
// day changes. A disk that fails is noted once a session and otherwise ignored: the chat goes on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CMyChatLog
{
public:
    ~CMyChatLog();

    // The server's folder name: its address and port, every character a file name cannot hold made "_".
    static std::string FolderName(const std::string& address);

    // A new session with this server ("host:port"); a failure note may come again.
    void Begin(const std::string& address);
    // The session ended: what waits goes to the disk.
    void End();
    bool IsOpen() const { return !mFolder.empty(); }

    // One line (UTF-8, without its line break) under the day `date` ("2026-12-09"), with its time
    // ("14:05") and the conversation it belongs to ("" for the public chat).
    void Add(const std::string& date, const std::string& time, const std::string& where,
             const std::string& line);
    // Writes what waits. False when the disk refused it: the lines are dropped.
    bool Flush();
    // True once after the first failure of a session: the caller tells the user then, and only then.
    bool TakeFailureNote();
    std::string FailureText() const { return mFailure; }

    // $XDG_DATA_HOME/Quenvol/Logs, made when missing; empty when it cannot be.
    static std::string LogsFolder(bool make = true);

private:
    std::string mFolder; // the server's folder, empty between sessions
    std::string mDate;   // the day of the lines waiting
    std::string mPending;
    bool mFailed = false, mNoted = false;
    std::string mFailure;
};
