// The transfer commands: downloads (with the resume question and the existing-file rule), uploads from
// the file dialog and from files dropped on a folder window, downloads into the place a row was dragged
// to, previews, and the download folder.
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "client/app/CMyApplication.h"
#include "client/boxes/MsgBox.h"
#include "client/boxes/MsgBoxText.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/core/UMyTransferSizes.h"
#include "client/transfers/CMyDoneTransferRow.h"
#include "client/transfers/CMyDownloadFileTask.h"
#include "client/transfers/CMyPicturePreviewTask.h"
#include "client/transfers/CMyPreviewFileTask.h"
#include "client/transfers/CMyTransferQueue.h"
#include "client/transfers/CMyUploadFileTask.h"
#include "client/transfers/CMyUploadFldrTask.h"
#include "client/transfers/UMyPartialFile.h"
#include "client/transfers/UMyPictureDecoder.h"
#include "client/transfers/UMyUploadChooser.h"
#include "client/transfers/UMyUploadNames.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"
#include "framework/ui/SHitMsgData.h"
#include "platform/Folders.h"

namespace
{
constexpr int16_t kBoxResumeDownload = 133;
constexpr int16_t kBoxResumeUpload = 134;
constexpr int16_t kBoxAliasDownload = 148;
constexpr uint32_t kTransferTypeAlias = FourCC("alis");
constexpr uint32_t kTransferTypeFolder = FourCC("fldr");
const uint8_t kSavePrompt[] = "\x0D"
                              "Save File As:";
const uint8_t kLeechFolder[] = "\x0D"
                               "Leeched Goods";
const uint8_t kDownloadsFolder[] = "\x09"
                                   "Downloads";

struct SRefDisposer
{
    void operator()(TFileSysRefObj* ref) const { UFileSys::Dispose(ref); }
};
using CRef = std::unique_ptr<TFileSysRefObj, SRefDisposer>;

const uint8_t* PathOrNull(const std::vector<uint8_t>& path)
{
    return path.empty() ? nullptr : path.data();
}

// A file of 4 GiB or more cannot travel in the 32-bit stream: the user hears which one before anything
// is asked of the server.
bool RefuseTooLarge(TFileSysRefObj* file)
{
    if (UMyTransferSizes::CanSend(file)) return false;
    uint8_t name[256], text[256];
    UFileSys::GetName(file, name);
    text[0] = uint8_t(UText::Format(
        text + 1, 255, "\xD2%#s\xD3 is 4 GB or larger.  Files that large cannot be uploaded.", name));
    MsgBox({.icon = 213, .sound = 1, .title = "Upload", .message = text});
    return true;
}
// Asks what to do with an item whose name the server folder shows already: keep both (the new one under
// `freeName`), replace the server's (offered only when `mayReplace`), or cancel.
enum class EExisting
{
    KeepBoth,
    Replace,
    Cancel,
};

EExisting AskExisting(const uint8_t* name, const uint8_t* freeName, bool isFolder, bool mayReplace)
{
    uint8_t text[256];
    text[0] =
        uint8_t(UText::Format(text + 1, 255,
                              isFolder ? "A folder \xD2%#s\xD3 is already there.  Keep both (the new one "
                                         "as \xD2%#s\xD3), or replace it and all it holds?"
                                       : "A file \xD2%#s\xD3 is already there.  Keep both (the new one as "
                                         "\xD2%#s\xD3), or replace it?",
                              name, freeName));
    switch (MsgBox({.icon = 1001,
                    .title = "Upload",
                    .message = text,
                    .button1 = "Keep Both",
                    .button2 = "Cancel",
                    .button3 = mayReplace ? "Replace" : nullptr}))
    {
    case 1:
        return EExisting::KeepBoth;
    case 3:
        return mayReplace ? EExisting::Replace : EExisting::Cancel;
    default:
        return EExisting::Cancel;
    }
}

// What one command's uploads share: the window they go into and what they have named there so far.
struct SUploadBatch
{
    const CMySession& session;
    const CMyFolderWinList& folders;
    CWindow* window;
    std::vector<uint8_t> path;
    bool queue;
    uint32_t serial;
    std::set<std::string> named; // names this command gave on the server
    uint32_t leftOut = 0;        // items that are neither files nor folders

    bool IsTaken(const uint8_t* name) const
    {
        return folders.HasItem(window, name) || named.count(UMyUploadNames::Key(name)) != 0;
    }
};

// One local file or folder into the batch's server folder, after the resume question when the window
// lists a partial copy of the file, and the question when the name is there already. False when the user
// cancelled (or the session ended meanwhile).
bool UploadItem(SUploadBatch& batch, TFileSysRefObj* item)
{
    bool isFolder = false;
    // Gone since it was chosen: there is nothing to send.
    if (!UFileSys::Exists(item, &isFolder)) return true;
    if (!isFolder && !UFileSys::IsPlainFile(item))
    {
        ++batch.leftOut;
        return true;
    }
    if (!isFolder && RefuseTooLarge(item)) return true;
    uint8_t name[256];
    UFileSys::GetName(item, name);
    bool resume = false;
    if (!isFolder && batch.folders.HasPartialUpload(batch.window, name))
    {
        if (MsgBox(kBoxResumeUpload, name) == 2) return false;
        resume = true;
    }
    // A box's loop lets anything happen, the end of the session included.
    if (!batch.session.IsCurrent(batch.serial)) return false;
    uint8_t serverName[256];
    UPString::Copy(serverName, 256, name);
    bool replace = false;
    if (!resume && batch.IsTaken(name))
    {
        uint8_t freeName[256];
        UMyUploadNames::MakeFreeName(
            name, isFolder, [&](const uint8_t* n) { return batch.IsTaken(n); }, freeName);
        // Only what was there before this command can be replaced, and only by whoever may delete there.
        const bool mayReplace =
            batch.named.count(UMyUploadNames::Key(name)) == 0 &&
            batch.session.Access().Has(isFolder ? kAccessCanDeleteFolders : kAccessCanDeleteFiles);
        const EExisting answer = AskExisting(name, freeName, isFolder, mayReplace);
        if (!batch.session.IsCurrent(batch.serial) || answer == EExisting::Cancel) return false;
        if (answer == EExisting::KeepBoth)
            UPString::Copy(serverName, 256, freeName);
        else
            replace = true;
    }
    batch.named.insert(UMyUploadNames::Key(serverName));
    const uint8_t* path = PathOrNull(batch.path);
    const uint32_t pathSize = uint32_t(batch.path.size());
    if (isFolder)
    {
        auto* task = new CMyUploadFldrTask(path, pathSize, item, false, batch.queue, serverName);
        if (replace) task->ReplaceFirst();
    }
    else
    {
        auto* task = new CMyUploadFileTask(path, pathSize, item, resume, batch.queue, serverName);
        if (replace) task->ReplaceFirst();
    }
    return true;
}

// Tells, once per command, what was left out of it.
void TellLeftOut(uint32_t count)
{
    if (!count) return;
    uint8_t text[256];
    text[0] = uint8_t(UText::Format(text + 1, 255,
                                    "%lu item(s) were not uploaded: only files and folders can be, not "
                                    "devices, pipes or sockets.",
                                    count));
    MsgBox({.icon = 1001, .title = "Upload", .message = text});
}
// The folder the upload dialogs open in next time: the one `chosenPath` is in.
void RememberUploadFolder(SMySettings& settings, const std::string& chosenPath)
{
    const size_t slash = chosenPath.find_last_of('/');
    if (slash == std::string::npos) return;
    const std::string folder = slash == 0 ? std::string("/") : chosenPath.substr(0, slash);
    if (folder == settings.uploadFolder) return;
    settings.uploadFolder = folder;
    try
    {
        UMyDesktopSettings::Write(settings);
    }
    catch (const SError&)
    {
        // Not remembered past this run; the upload itself is not touched by it.
    }
}

} // namespace

namespace
{
// The program's own download folder, whatever the options say: "Leeched Goods" in the program's folder
// when it exists (the statistics then say "leeched"), else "Downloads", created when missing. The caller
// owns the reference.
TFileSysRefObj* ProgramDownloadFolder(SMyStatistics& statistics)
{
    uint32_t kind = 0;
    TFileSysRefObj* leech = UFileSys::New(kFSProgramFolder, nullptr, kLeechFolder, 0, &kind);
    statistics.isLeechMode = kind == kFSKindFolder;
    if (statistics.isLeechMode) return leech;
    UFileSys::Dispose(leech);
    TFileSysRefObj* folder = UFileSys::New(kFSProgramFolder, nullptr, kDownloadsFolder, 0, &kind);
    try
    {
        if (kind == kFSKindMissing) UFileSys::CreateFolder(folder);
    }
    catch (...)
    {
        UFileSys::Dispose(folder);
        throw;
    }
    return folder;
}

// A partial file of `target`'s name that an earlier version left in the program's own download folder,
// when downloads now go elsewhere: moved beside `target` when it can be (else left where it is), and
// `target` then names it. False when there is none.
bool FindOldResumableFile(CMyApplication& app, TFileSysRefObj* target)
{
    if (app.Features().Settings().downloadFolder.place == SMyDownloadFolder::kProgram) return false;
    uint8_t name[256];
    UFileSys::GetName(target, name);
    const std::string here = UFileSys::GetNativePath(target);
    for (const uint8_t* folderName : {kLeechFolder, kDownloadsFolder})
    {
        try
        {
            uint32_t kind = 0;
            StFileSysRef old(UFileSys::New(kFSProgramFolder, nullptr, folderName, 0, &kind));
            if (kind != kFSKindFolder) continue;
            StFileSysRef candidate(UFileSys::New(old.Get(), nullptr, name));
            // The chosen folder may be the old one itself.
            if (UFileSys::GetNativePath(candidate.Get()) == here || !app.FindResumableFile(candidate.Get()))
                continue;
            try
            {
                // The finished file then lands where downloads go now.
                StFileSysRef folder(app.GetDownloadFolder());
                UFileSys::MoveAndRename(candidate.Get(), folder.Get(), nullptr);
            }
            catch (const SError&)
            {
                // Another disk, or a file of that name there: it is resumed where it is, and completes
                // there.
            }
            UFileSys::SetRef(target, candidate.Get());
            return true;
        }
        catch (const SError&)
        {
            // A folder that cannot be looked into holds nothing to resume.
        }
    }
    return false;
}
} // namespace

TFileSysRefObj* CMyApplication::GetDownloadFolder()
{
    const SMyDownloadFolder& where = mSettings.downloadFolder;
    if (where.place == SMyDownloadFolder::kProgram) return ProgramDownloadFolder(mStatistics);
    mStatistics.isLeechMode = false;
    std::string path = where.place == SMyDownloadFolder::kChosen ? where.path : std::string();
    if (path.empty())
        if (int err = platform::DesktopDownloadFolder(path)) FailOSError(err);
    if (int err = platform::MakeFolders(path)) FailOSError(err);
    return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
}

bool CMyApplication::FindResumableFile(TFileSysRefObj* ref)
{
    TFileSysRefObj* found = nullptr;
    const bool resumable = UMyPartialFile::Find(ref, found);
    StFileSysRef partial(found);
    if (resumable) UFileSys::SetRef(ref, partial.Get());
    return resumable;
}

void CMyApplication::DoFileDownload(CWindow* window, uint16_t mods)
{
    const bool queue = mSettings.queueTransfers || (mods & kModShift);
    std::vector<SMyFolderSelection> items;
    if (!mSession.IsConnected() || !mFolderWins.GetSelectedItems(window, items)) return;
    const uint32_t session = mSession.Serial();
    auto downloadOne = [&](const SMyFolderSelection& item)
    {
        if (!item.name[0]) return;
        if (item.type == kTransferTypeAlias)
        {
            MsgBox(kBoxAliasDownload, item.name);
            return;
        }
        if (item.isFolder)
        {
            // A folder always goes into the download folder, under its own name made valid there.
            CRef folder(GetDownloadFolder());
            mTransfers->DownloadFolder(PathOrNull(item.path), uint32_t(item.path.size()), item.name,
                                       folder.get(), queue);
            return;
        }

        uint8_t localName[256];
        UMyPartialFile::MakeLocalName(item.name, localName);
        CRef target;
        bool askResume = false;
        bool chooseTarget = mods & kModAlt;
        if (!chooseTarget)
        {
            CRef folder(GetDownloadFolder());
            target.reset(UFileSys::New(folder.get(), nullptr, localName));
            if (FindResumableFile(target.get()) || FindOldResumableFile(*this, target.get()))
                askResume = true;
            else if (UFileSys::Exists(target.get()))
                chooseTarget = true;
        }
        if (chooseTarget)
        {
            CRef folder(GetDownloadFolder());
            target.reset(UFileSys::UserSaveFile(localName, kSavePrompt, folder.get()));
            // The dialog ran its own loop: the session may have ended meanwhile.
            if (!target || !mSession.IsCurrent(session)) return;
            uint8_t chosen[256];
            UFileSys::GetName(target.get(), chosen);
            if (UMyPartialFile::FitFinalName(chosen)) UFileSys::SetRefName(target.get(), chosen);
            bool isFolder = false;
            if (FindResumableFile(target.get()))
                askResume = true;
            else if (UFileSys::Exists(target.get(), &isFolder))
            {
                // An existing folder is never deleted to make room for a file.
                if (isFolder) return;
                UFileSys::DeleteFile(target.get());
            }
        }
        bool resume = false;
        if (askResume)
        {
            const uint16_t answer = MsgBox(kBoxResumeDownload, item.name);
            if (!mSession.IsCurrent(session)) return;
            if (answer == 1)
                resume = true;
            else if (answer == 2)
            {
                // The partial file goes; the download starts again under the name it was becoming.
                uint8_t name[256];
                UMyPartialFile::GetFinalName(target.get(), name);
                UFileSys::DeleteFile(target.get());
                UFileSys::SetRefName(target.get(), name);
            }
            else
                return;
        }
        // Resuming, the target is the partial file itself.
        new CMyDownloadFileTask(PathOrNull(item.path), uint32_t(item.path.size()), item.name, target.get(),
                                resume, queue, !resume);
    };
    // One task per selected row, in the list's order. The rows were copied first: a question runs a loop
    // of its own, in which the window may close or the session end.
    for (const SMyFolderSelection& item : items)
    {
        if (!mSession.IsCurrent(session)) return;
        downloadOne(item);
    }
}

void CMyApplication::DoFileUpload(CWindow* window, uint16_t mods)
{
    const bool queue = mSettings.queueTransfers || (mods & kModShift);
    SMyFolderSelection item;
    if (!mSession.IsConnected() || !mFolderWins.GetSelectedItem(window, item)) return;
    const uint32_t session = mSession.Serial();
    // Several files from the file dialog; with the Option key a folder, which goes with all it holds.
    std::vector<std::string> chosen;
    if (!UMyUploadChooser::Choose(mods & kModAlt, mSettings.uploadFolder, chosen)) return;
    // The dialog's loop may have closed the window or ended the session: the path was taken before it.
    if (!mSession.IsCurrent(session)) return;
    RememberUploadFolder(mSettings, chosen.front());
    SUploadBatch batch{mSession, mFolderWins, window, item.path, queue, session, {}, 0};
    for (const std::string& path : chosen)
    {
        CRef ref(UFileSys::NewFromNativePath(path.data(), uint32_t(path.size())));
        if (!UploadItem(batch, ref.get())) break;
    }
    TellLeftOut(batch.leftOut);
}

void CMyApplication::DoFileUploadFromDrop(CWindow* window, const SHitMsgData&)
{
    if (!mSession.IsConnected()) return;
    SMyFolderSelection item;
    if (!mFolderWins.GetSelectedItem(window, item)) return;
    const uint32_t session = mSession.Serial();
    SUploadBatch batch{mSession, mFolderWins, window, item.path, bool(mSettings.queueTransfers),
                       session,  {},          0};
    bool cancelled = false;
    // The window may be gone after an item's question (the session ended): what remained of the drop
    // went with it.
    while (CRef file{mFolderWins.TakeDroppedFile(window)})
    {
        // A cancel ends the whole drop: the items after it are let go.
        if (cancelled || !mSession.IsCurrent(session)) continue;
        cancelled = !UploadItem(batch, file.get());
    }
    if (!cancelled) TellLeftOut(batch.leftOut);
}

void CMyApplication::DoFilePreview(CWindow* window)
{
    SMyFolderSelection item;
    if (!mSession.IsConnected() || !mFolderWins.GetSelectedItem(window, item) || !item.name[0] ||
        item.isFolder || item.type == kTransferTypeFolder)
        return;
    if (UMyPictureDecoder::IsPicture(item.type, item.name))
    {
        new CMyPicturePreviewTask(PathOrNull(item.path), uint32_t(item.path.size()), item.name,
                                  mSettings.queueTransfers);
        return;
    }
    if (item.type != FourCC("TEXT") && item.type != FourCC("ttro"))
    {
        static const uint8_t kText[] = "\x32"
                                       "Preview is not implemented for files of this type.";
        MsgBox({.icon = 1001, .title = "Preview", .message = kText});
        return;
    }
    new CMyPreviewFileTask(PathOrNull(item.path), uint32_t(item.path.size()), item.name,
                           mSettings.queueTransfers);
}
