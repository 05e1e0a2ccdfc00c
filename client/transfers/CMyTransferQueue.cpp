#include "client/transfers/CMyTransferQueue.h"

#include <algorithm>
#include <cstring>

#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBoxText.h"
#include "client/core/CMyTask.h"
#include "client/core/CMyTaskList.h"
#include "client/transfers/CMyDoneTransferRow.h"
#include "client/transfers/CMyDownloadFileTask.h"
#include "client/transfers/CMyDownloadFldrTask.h"
#include "client/transfers/CMyParkedTransferRow.h"
#include "client/transfers/CMyTransferTask.h"
#include "client/transfers/CMyUploadFileTask.h"
#include "client/transfers/CMyUploadFldrTask.h"
#include "client/transfers/UMyPartialFile.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UText.h"

namespace
{
const uint8_t* Verb(SMyTransferRecord::EKind kind)
{
    switch (kind)
    {
    case SMyTransferRecord::kDownloadFolder:
        return reinterpret_cast<const uint8_t*>("\x12"
                                                "Downloading Folder");
    case SMyTransferRecord::kUpload:
        return reinterpret_cast<const uint8_t*>("\x09"
                                                "Uploading");
    case SMyTransferRecord::kUploadFolder:
        return reinterpret_cast<const uint8_t*>("\x10"
                                                "Uploading Folder");
    case SMyTransferRecord::kDownloadFile:
        break;
    }
    return reinterpret_cast<const uint8_t*>("\x0B"
                                            "Downloading");
}

// A length-prefixed copy of a text of at most 255 bytes.
void PText(const std::string& text, uint8_t* out)
{
    out[0] = uint8_t(std::min<size_t>(text.size(), 255));
    std::copy_n(text.data(), out[0], out + 1);
}

TFileSysRefObj* LocalRef(const SMyTransferRecord& record)
{
    return UFileSys::NewFromNativePath(record.localPath.data(), uint32_t(record.localPath.size()));
}

CMyTransferQueue::ERemove AskRemoveWithBox(const uint8_t* name)
{
    uint8_t text[256];
    text[0] = uint8_t(UText::Format(
        text + 1, 255,
        "Remove \xD2%#s\xD3 from the transfers?  Its partial file can stay, to be resumed later.", name));
    switch (MsgBox({.icon = 1001,
                    .title = "Remove Transfer",
                    .message = text,
                    .button1 = "Keep File",
                    .button2 = "Cancel",
                    .button3 = "Delete File"}))
    {
    case 1:
        return CMyTransferQueue::ERemove::KeepFile;
    case 3:
        return CMyTransferQueue::ERemove::DeleteFile;
    default:
        return CMyTransferQueue::ERemove::Cancel;
    }
}

void ReportWithBox(const uint8_t* text)
{
    MsgBox({.icon = 2, .title = "Transfers", .message = text});
}

// The partial file a download left beside its final name, if any.
void DeletePartialFile(const SMyTransferRecord& record)
{
    if (record.kind != SMyTransferRecord::kDownloadFile) return;
    try
    {
        StFileSysRef target(LocalRef(record));
        TFileSysRefObj* found = nullptr;
        const bool exists = UMyPartialFile::Find(target.Get(), found);
        StFileSysRef partial(found);
        if (exists) UFileSys::DeleteFile(partial.Get());
    }
    catch (const SError&)
    {
        // A partial file that cannot be found or removed stays where it is; the row goes all the same.
    }
}
} // namespace

CMyTransferQueue::CMyTransferQueue(CMySession& session)
    : mSession(session), mAskRemove(AskRemoveWithBox), mReport(ReportWithBox)
{
    mSession.AddListener(this);
}

CMyTransferQueue::~CMyTransferQueue()
{
    mSession.RemoveListener(this);
}

void CMyTransferQueue::Load()
{
    std::vector<SMyTransferRecord> records;
    bool whole = false;
    try
    {
        whole = UMyTransferQueueFile::Read(records);
    }
    catch (const SError&)
    {
        // No data folder: there is no queue to come back, and writing it will say why.
        return;
    }
    if (!whole && mReport)
    {
        Report(
            "The list of unfinished transfers was damaged.  It was put aside as \xD2Transfers.damaged\xD3.");
    }
    for (SMyTransferRecord& record : records)
    {
        // A transfer that was running when the client went waits for its server again.
        if (record.state == SMyTransferRecord::kRunning) record.state = SMyTransferRecord::kWaiting;
        mEntries.push_back(SEntry{std::move(record), nullptr, false});
        Park(mEntries.back());
    }
}

CMyTransferQueue::SEntry* CMyTransferQueue::Find(const CMyTask* task)
{
    if (!task) return nullptr;
    for (SEntry& entry : mEntries)
        if (entry.task == task) return &entry;
    return nullptr;
}

void CMyTransferQueue::TransferStarted(CMyTransferTask& task)
{
    const SMyTransferRecord* record = task.Record();
    if (!record) return;
    if (SEntry* entry = mRestarting)
    {
        mRestarting = nullptr;
        entry->record = *record;
        entry->task = &task;
        entry->parked = false;
    }
    else
    {
        // The same item made again by hand (from its folder window) takes the place of its parked row.
        for (auto it = mEntries.begin(); it != mEntries.end(); ++it)
            if (it->parked && it->record.kind == record->kind && it->record.localPath == record->localPath)
            {
                CMyTask* row = it->task;
                mEntries.erase(it);
                delete row;
                break;
            }
        mEntries.push_back(SEntry{*record, &task, false});
    }
    Save();
}

void CMyTransferQueue::TransferDone(CMyTransferTask& task)
{
    for (auto it = mEntries.begin(); it != mEntries.end(); ++it)
        if (it->task == &task)
        {
            const SMyTransferRecord record = it->record;
            mEntries.erase(it);
            Save();
            // What arrived stays at hand in the tasks window until the user clears it.
            uint8_t name[256], text[256];
            PText(record.serverName, name);
            text[0] =
                uint8_t(UText::Format(text + 1, 255, "%#s \xD2%#s\xD3 \xD1 Done", Verb(record.kind), name));
            new CMyDoneTransferRow(record, text, &task);
            return;
        }
}

void CMyTransferQueue::TransferGone(CMyTransferTask& task)
{
    SEntry* entry = Find(&task);
    if (!entry || mClosing) return;
    entry->task = nullptr;
    SMyTransferRecord& record = entry->record;
    record.doneSize = task.GetWholeDoneSize();
    record.totalSize = task.GetWholeTotalSize();
    if (task.GetDoneSize() > 0) record.hadData = true;
    // Refused before anything moved (the server has no such file, the user may not download): there is
    // nothing to resume, and asking again would meet the same answer.
    const uint16_t failed = task.FailedWith();
    if (failed && failed != kErrTypeTransport && !record.hadData)
    {
        mEntries.remove_if([&](const SEntry& e) { return &e == entry; });
        Save();
        return;
    }
    // A transfer whose connection broke (its server went, most often) waits for that server; one the
    // user stopped, or that failed for a reason a new attempt would meet again, waits for the user.
    if (task.WasStoppedByUser())
        record.state = SMyTransferRecord::kStopped;
    else if (failed && failed != kErrTypeTransport)
        record.state = SMyTransferRecord::kStopped;
    else
        record.state = SMyTransferRecord::kWaiting;
    // The row tells why a transfer stopped, a cut connection included: while the reconnect goes on no
    // box does.
    const char* note = nullptr;
    if (failed) note = record.state == SMyTransferRecord::kStopped ? "failed" : "cut off";
    Park(*entry, note, &task);
    Save();
}

void CMyTransferQueue::RowGone(CMyParkedTransferRow* row)
{
    if (SEntry* entry = Find(row)) entry->task = nullptr;
}

void CMyTransferQueue::Park(SEntry& entry, const char* note, CMyTask* takesRowOf)
{
    const SMyTransferRecord& record = entry.record;
    uint8_t name[256], address[256], text[256];
    PText(record.serverName, name);
    PText(record.address, address);
    const uint8_t* verb = Verb(record.kind);
    if (record.state == SMyTransferRecord::kStopped)
        text[0] = uint8_t(UText::Format(text + 1, 255, "%#s \xD2%#s\xD3 \xD1 Stopped", verb, name));
    else
        text[0] = uint8_t(
            UText::Format(text + 1, 255, "%#s \xD2%#s\xD3 \xD1 waiting for %#s", verb, name, address));
    if (note && *note)
    {
        uint8_t noted[256];
        noted[0] = uint8_t(UText::Format(noted + 1, 255, "%#s (%s)", text, note));
        std::copy_n(noted, size_t(noted[0]) + 1, text);
    }
    if (entry.parked && entry.task)
        static_cast<CMyParkedTransferRow*>(entry.task)->Show(text, record.doneSize, record.totalSize);
    else
    {
        entry.task = new CMyParkedTransferRow(*this, text, record.doneSize, record.totalSize, takesRowOf);
        entry.parked = true;
    }
}

bool CMyTransferQueue::IsForThisSession(const SMyTransferRecord& record) const
{
    if (!mSession.IsLoggedIn()) return false;
    const uint8_t* address = mSession.Address().name;
    const uint8_t* login = mSession.UserLogin();
    return record.port == uint16_t(mSession.BasePort()) &&
           record.address == std::string(reinterpret_cast<const char*>(address + 1), address[0]) &&
           record.login == std::string(reinterpret_cast<const char*>(login + 1), login[0]);
}

void CMyTransferQueue::Restart(SEntry& entry)
{
    SMyTransferRecord& record = entry.record;
    const void* path = record.serverPath.empty() ? nullptr : record.serverPath.data();
    const uint32_t pathSize = uint32_t(record.serverPath.size());
    uint8_t name[256];
    PText(record.serverName, name);
    const bool queued = mQueued ? mQueued() : false;
    CMyTask* row = entry.parked ? entry.task : nullptr;
    const char* note = nullptr;
    mRestarting = &entry;
    try
    {
        StFileSysRef local(LocalRef(record));
        switch (record.kind)
        {
        case SMyTransferRecord::kDownloadFile:
        {
            TFileSysRefObj* found = nullptr;
            const bool resumable = UMyPartialFile::Find(local.Get(), found);
            StFileSysRef partial(found);
            if (resumable)
                new CMyDownloadFileTask(path, pathSize, name, partial.Get(), true, queued, false);
            else if (UFileSys::Exists(local.Get()))
            {
                // The file is complete under its final name: it finished after the queue was written.
                mRestarting = nullptr;
                mEntries.remove_if([&](const SEntry& e) { return &e == &entry; });
                delete row;
                Save();
                return;
            }
            else
            {
                auto* task = new CMyDownloadFileTask(path, pathSize, name, local.Get(), false, queued, true);
                if (record.hadData) task->SetNote("started over: its partial file was gone");
            }
            break;
        }
        case SMyTransferRecord::kDownloadFolder:
            new CMyDownloadFldrTask(path, pathSize, name, local.Get(), queued);
            break;
        case SMyTransferRecord::kUpload:
            if (!UFileSys::Exists(local.Get())) Fail(kErrTypeFileSys, 104);
            new CMyUploadFileTask(path, pathSize, local.Get(), record.hadData, queued, name);
            break;
        case SMyTransferRecord::kUploadFolder:
        {
            bool isFolder = false;
            if (!UFileSys::Exists(local.Get(), &isFolder) || !isFolder) Fail(kErrTypeFileSys, 102);
            // Whatever went before is on the server already: each folder is listed and only the rest goes.
            new CMyUploadFldrTask(path, pathSize, local.Get(), true, queued, name);
            break;
        }
        }
    }
    catch (const SError&)
    {
        // The local side is not there any more (a removed folder, an upload's file that went): the row
        // stays, stopped, and says so.
        note = "cannot be resumed here";
    }
    mRestarting = nullptr;
    if (note)
    {
        record.state = SMyTransferRecord::kStopped;
        Park(entry, note);
        Save();
        return;
    }
    // The new task took the entry over; its parked row goes.
    delete row;
}

bool CMyTransferQueue::Stop(CMyTask* task)
{
    SEntry* entry = Find(task);
    if (!entry) return false;
    if (!entry->parked)
    {
        static_cast<CMyTransferTask*>(task)->MarkStoppedByUser();
        delete task;
        return true;
    }
    uint8_t name[256];
    PText(entry->record.serverName, name);
    ERemove answer = ERemove::KeepFile;
    if (entry->record.kind == SMyTransferRecord::kDownloadFile && mAskRemove) answer = mAskRemove(name);
    // The question's loop lets anything happen: the row may be gone already.
    entry = Find(task);
    if (!entry || answer == ERemove::Cancel) return true;
    if (answer == ERemove::DeleteFile) DeletePartialFile(entry->record);
    mEntries.remove_if([&](const SEntry& e) { return &e == entry; });
    delete task;
    Save();
    return true;
}

bool CMyTransferQueue::Start(CMyTask* task)
{
    SEntry* entry = Find(task);
    if (!entry || !entry->parked) return false;
    if (IsForThisSession(entry->record))
        Restart(*entry);
    else
    {
        // Not logged in to its server: it starts when the client is.
        entry->record.state = SMyTransferRecord::kWaiting;
        Park(*entry);
        Save();
    }
    return true;
}

void CMyTransferQueue::SessionLoggedIn()
{
    // Restarting removes rows and makes tasks, but never adds or removes entries but the one restarted
    // (a complete download's): the next entry is taken before.
    for (auto it = mEntries.begin(); it != mEntries.end();)
    {
        SEntry& entry = *it++;
        if (entry.parked && entry.record.state == SMyTransferRecord::kWaiting &&
            IsForThisSession(entry.record))
            Restart(entry);
    }
}

void CMyTransferQueue::Report(const char* text) const
{
    if (!mReport) return;
    uint8_t ptext[256];
    PText(text, ptext);
    mReport(ptext);
}

std::vector<SMyTransferRecord> CMyTransferQueue::Records() const
{
    std::vector<SMyTransferRecord> records;
    for (const SEntry& entry : mEntries)
        records.push_back(entry.record);
    return records;
}

void CMyTransferQueue::Save()
{
    try
    {
        UMyTransferQueueFile::Write(Records());
        mSaveFailedTold = false;
    }
    catch (const SError&)
    {
        if (mSaveFailedTold || !mReport) return;
        mSaveFailedTold = true;
        Report("The list of unfinished transfers could not be written.  It may be lost.");
    }
}

void CMyTransferQueue::RemoveSelected(CMyTaskList& tasks)
{
    CMyTask* task = tasks.SelectedTask();
    if (!task) return;
    if (task->IsKeptFinished())
    {
        delete task;
        return;
    }
    if (!task->IsParked())
    {
        // A running transfer stops into a parked row in its place, which is then taken away like any
        // other; a request simply stops.
        const bool kept = Keeps(task);
        gApp->DoStopTask();
        if (!kept) return;
        task = tasks.SelectedTask();
        if (!task || !task->IsParked()) return;
    }
    Stop(task);
}

CMyDownloadFldrTask* CMyTransferQueue::DownloadFolder(const void* path, uint32_t pathSize,
                                                      const uint8_t* name, TFileSysRefObj* parentFolder,
                                                      bool queued)
{
    if (!mSession.IsConnected() || !name || !name[0] || !parentFolder) return nullptr;
    // The server's name becomes one local name inside the parent, whatever it holds.
    uint8_t localName[256];
    std::memcpy(localName, name, size_t(name[0]) + 1);
    localName[0] = uint8_t(UFileSys::ValidateFileName(localName + 1, localName[0]));
    if (!localName[0]) Fail(kErrTypeFileSys, 119);
    StFileSysRef target(UFileSys::New(parentFolder, nullptr, localName));
    return new CMyDownloadFldrTask(path, pathSize, name, target.Get(), queued);
}

void CMyTransferQueue::DownloadFileTo(const void* path, uint32_t pathSize, const uint8_t* name,
                                      TFileSysRefObj* folder)
{
    if (!mSession.IsConnected() || !name || !name[0] || !folder) return;
    uint8_t localName[256];
    UMyPartialFile::MakeLocalName(name, localName);
    StFileSysRef target(UFileSys::New(folder, nullptr, localName));
    // Only the partial file is made at the drop place; it takes the final name when complete. A file
    // already there under the final name is the user's and stays: the download then fails at its end
    // rather than replacing it unasked.
    const bool resume = gApp->FindResumableFile(target.Get());
    new CMyDownloadFileTask(path, pathSize, name, target.Get(), resume, mQueued && mQueued(), !resume);
}
