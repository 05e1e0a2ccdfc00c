// The transfers people leave running: every file download, folder download and upload that has not
// finished, in the order they were made, kept in the queue file on every change so that a client that
// quits, crashes or loses its server finds them again.
//
// A running transfer is a task of its own. When it goes without finishing, its place in the tasks window
// is taken by a parked row: "Stopped" when the user stopped it or it failed, "waiting for SERVER" when its
// session ended (the reconnect, a quit, a crash found at the next start). The next login to that server
// with that login starts the waiting ones again, in their order, from their partial files; Start starts a
// stopped one; Stop on a parked row removes it, asking whether its partial file goes too. Finished
// transfers leave the queue.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "client/core/CMySession.h"
#include "client/core/UMyTransferQueueFile.h"

class CMyTask;
class CMyTransferTask;
class CMyParkedTransferRow;

class CMyTaskList;
class CMyDownloadFldrTask;
struct TFileSysRefObj;

class CMyTransferQueue final : public CMySessionListener
{
public:
    // Answers of the remove question.
    enum class ERemove
    {
        Cancel,
        KeepFile,
        DeleteFile,
    };
    // Asks whether the partial file of `name` (length-prefixed) goes with the row.
    using AskRemoveProc = std::function<ERemove(const uint8_t* name)>;
    // Tells the user something about the queue once (a damaged file, a file that cannot be written).
    using ReportProc = std::function<void(const uint8_t* text)>;

    explicit CMyTransferQueue(CMySession& session);
    ~CMyTransferQueue();
    CMyTransferQueue(const CMyTransferQueue&) = delete;
    CMyTransferQueue& operator=(const CMyTransferQueue&) = delete;

    void SetAskRemove(AskRemoveProc proc) { mAskRemove = std::move(proc); }
    void SetReport(ReportProc proc) { mReport = std::move(proc); }
    // New transfers wait their turn when `queued` tells so (the user's option, read when they start).
    void SetQueuedProc(std::function<bool()> proc) { mQueued = std::move(proc); }
    // Where the end of a file or folder transfer is told (the desktop notice): `name` is length-prefixed,
    // `ok` false when it failed, `localPath` the file or folder a download brought.
    using EndedProc = std::function<void(const uint8_t* name, bool ok, const std::string& localPath)>;
    void SetEndedProc(EndedProc proc) { mEnded = std::move(proc); }
    void TellEnded(const uint8_t* name, bool ok, const std::string& localPath)
    {
        if (mEnded) mEnded(name, ok, localPath);
    }

    // At start-up: the transfers of the queue file come back as parked rows. A damaged file is told
    // once and left aside.
    void Load();
    // The application goes: transfers that go now keep their records as they are.
    void Closing() { mClosing = true; }

    // From the transfer tasks (their records are read from them).
    void TransferStarted(CMyTransferTask& task);
    void TransferDone(CMyTransferTask& task);
    void TransferGone(CMyTransferTask& task);
    void RowGone(CMyParkedTransferRow* row);

    // The tasks window's commands: true when `task` is one of the queue's and the command was taken.
    bool Stop(CMyTask* task);
    bool Start(CMyTask* task);
    // Where a row dragged out of a folder window meets the transfers: the server folder `name` in `path`
    // (null and 0 for the root) into a folder of that name, made a valid local name, inside
    // `parentFolder`; null when not connected.
    CMyDownloadFldrTask* DownloadFolder(const void* path, uint32_t pathSize, const uint8_t* name,
                                        TFileSysRefObj* parentFolder, bool queued);
    // A server file downloaded into a local folder; `path` is the server folder holding it. Only the
    // partial file is created there.
    void DownloadFileTo(const void* path, uint32_t pathSize, const uint8_t* name, TFileSysRefObj* folder);

    // The tasks window's Remove, on its selected row: a finished row goes at once, a stopped or waiting
    // one as Stop takes it away (asking about its partial file), a running transfer after it stops.
    void RemoveSelected(CMyTaskList& tasks);
    // A running or parked transfer of the queue's.
    bool Keeps(CMyTask* task) { return Find(task) != nullptr; }

    void SessionEnded() override {}
    void SessionLoggedIn() override;

    // The queue as the file holds it.
    std::vector<SMyTransferRecord> Records() const;

private:
    struct SEntry
    {
        SMyTransferRecord record;
        CMyTask* task = nullptr; // the running transfer, or the parked row; null for neither
        bool parked = false;
    };

    SEntry* Find(const CMyTask* task);
    // A parked row for the entry, with its state's text and `note` after it, in the place of the row of
    // `takesRowOf` when there is one.
    void Park(SEntry& entry, const char* note = nullptr, CMyTask* takesRowOf = nullptr);
    // Starts the entry's transfer again from what is on the disk.
    void Restart(SEntry& entry);
    bool IsForThisSession(const SMyTransferRecord& record) const;
    void Save();
    void Report(const char* text) const;

    CMySession& mSession;
    std::list<SEntry> mEntries;
    // Set while an entry's transfer is made again: the new task takes that entry.
    SEntry* mRestarting = nullptr;
    bool mClosing = false;
    bool mSaveFailedTold = false;
    AskRemoveProc mAskRemove;
    ReportProc mReport;
    EndedProc mEnded;
    std::function<bool()> mQueued;
};
