#include "client/files/CMyFileTasks.h"

#include <memory>

#include "client/app/CMyApplication.h"
#include "client/boxes/UNoticeBox.h"
#include "client/core/MyAppMessages.h"
#include "client/files/CMyFileInfoWin.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "client/files/QuenvolFileTypeToIcon.h"
#include "client/widgets/UMyServerNames.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UFieldRecords.h"
#include "framework/net/UServerPath.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"

namespace
{
void* CopyPathBytes(const void* path, uint32_t size)
{
    return path && size ? UMemory::New(path, size) : nullptr;
}

// The item's name and the folder that holds it, as most file requests carry them.
void AddNameAndPath(TFieldDataObj* fields, const uint8_t* name, const void* path, uint32_t pathSize)
{
    UFieldData::AddPString(fields, kFieldFileName, name);
    if (path) UFieldData::AddField(fields, kFieldFilePath, path, pathSize);
}

// Folders meant for uploads show the drop box icon, whatever case their name is written in.
int16_t FolderIcon(const uint8_t* name)
{
    uint8_t lower[256];
    const uint32_t n = name[0];
    UMemory::Copy(lower, name + 1, n);
    UText::MakeLowercase(lower, n);
    if (UMemory::Search("upload", 6, lower, n) || UMemory::Search("drop box", 8, lower, n)) return 421;
    return 401;
}

uint8_t DateText(TFieldDataObj* fields, uint16_t id, uint8_t* out)
{
    SDateTimeStamp stamp{};
    UFieldRecords::GetDate(fields, id, stamp);
    out[0] = uint8_t(
        UDateTime::DateToText(stamp, out + 1, 63, UDateTime::kPatternDate | UDateTime::kTimeWithSeconds));
    return out[0];
}
// The information window of an item of the server folder of `path`.
void ShowFileInfo(const uint8_t* name, const uint8_t* comment, const uint8_t* info, int16_t icon,
                  const void* path, uint32_t pathSize)
{
    constexpr int16_t kIconInfoWin = 215;
    auto win = std::make_unique<CMyFileInfoWin>();
    win->SetIcon(kIconInfoWin);
    win->SetPath(path, pathSize);
    win->SetOrigName(name);
    uint8_t shown[256];
    UMyServerNames::MakeShowable(name, shown, sizeof(shown));
    win->SetTitle(shown);
    win->SetInfo(name, comment, info, icon);
    win->SetAutoBounds(kPlaceTopLeft, kPlaceMainScreen);
    win->Show();
    win->BringToFront();
    // A window of the session: closing it, or the session's end, destroys it.
    win.release();
}
} // namespace

CMyGetFileListTask::CMyGetFileListTask(const void* path, uint32_t pathSize) : CMyTransactTask(nullptr)
{
    mPathData.Reset(CopyPathBytes(path, pathSize));
    mPathSize = mPathData ? pathSize : 0;
    if (mPathData)
    {
        uint8_t name[256];
        UServerPath::GetTargetName(mPathData, mPathSize, name, sizeof(name));
        SetRowText(0, 1, "Listing folder \xD2%#s\xD3", name);
        UFieldData::AddField(mFieldData, kFieldFilePath, mPathData, mPathSize);
    }
    else
        SetRowText(0, 1, "Listing root folder...");
    SendRequest(kTranGetFileList);
}

void CMyGetFileListTask::Process()
{
    ShowReplyProgress();
    if (TakeCheckedReply()) FillAndFinish();
}

void CMyGetFileListTask::FillAndFinish()
{
    // A window closed (or sent elsewhere) while its listing was on the way is simply not filled.
    CMyFolderWin* folder =
        mPathData && mPathSize ? gApp->GetFolderWinByPath(mPathData, mPathSize) : gApp->GetRootFolderWin();
    if (folder)
    {
        folder->View()->ReplaceListFromFields(mFieldData);
    }
    mPathData.Reset();
    mPathSize = 0;
    Finish();
}

void CMyRelistFolderTask::Process()
{
    ShowReplyProgress();
    uint32_t error = 0;
    if (!TakeReply(error)) return;
    if (error == 0)
    {
        FillAndFinish();
        return;
    }
    CMyFolderWin* folder =
        mPathData && mPathSize ? gApp->GetFolderWinByPath(mPathData, mPathSize) : gApp->GetRootFolderWin();
    if (folder)
    {
        uint8_t name[256], title[256], reason[256], note[512];
        if (mPathData && mPathSize)
            UServerPath::GetTargetName(mPathData, mPathSize, name, sizeof(name));
        else
            UPString::Copy(name, reinterpret_cast<const uint8_t*>("\x05"
                                                                  "Files"));
        UMyServerNames::MakeShowable(name, title, sizeof(title));
        UFieldData::GetPString(mFieldData, kFieldErrorText, reason, sizeof(reason));
        const uint32_t size = reason[0]
                                  ? UText::Format(note, sizeof(note),
                                                  "The window of \xD2%#s\xD3 was closed: %#s", title, reason)
                                  : UText::Format(note, sizeof(note),
                                                  "The window of \xD2%#s\xD3 was closed: the server no "
                                                  "longer lists that folder.",
                                                  title);
        gApp->Features().FolderWins().Close(folder);
        if (UNoticeBox::Keep(kMsgFolderGone, note, size)) UApplication::PostMessage(kMsgFolderGone);
    }
    Finish();
}

void CMyFileChangeTask::SendChange(uint16_t type, const void* folder, uint32_t folderSize,
                                   const void* otherFolder, uint32_t otherSize, bool hasOther)
{
    auto keep = [this](const void* path, uint32_t size)
    {
        const auto* p = static_cast<const uint8_t*>(path);
        mChangedFolders.emplace_back(p && size ? std::vector<uint8_t>(p, p + size) : std::vector<uint8_t>());
    };
    keep(folder, folderSize);
    if (hasOther) keep(otherFolder, otherSize);
    SendRequest(type);
    SetProgress(1, 2);
}

void CMyFileChangeTask::Process()
{
    if (!TakeCheckedReply()) return;
    for (const std::vector<uint8_t>& folder : mChangedFolders)
        gApp->Features().FolderWins().Refresh(folder.empty() ? nullptr : folder.data(),
                                              uint32_t(folder.size()));
    FinishRequest();
}

CMyDeleteFileTask::CMyDeleteFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                     bool isFolder)
{
    SetRowText(0, 0, isFolder ? "Delete folder \xD2%#s\xD3" : "Delete file \xD2%#s\xD3", fileName);
    AddNameAndPath(mFieldData, fileName, path, pathSize);
    SendChange(kTranDeleteFile, path, pathSize);
}

CMyNewFolderTask::CMyNewFolderTask(const void* path, uint32_t pathSize, const uint8_t* name)
{
    SetRowText(0, 0, "Create folder \xD2%#s\xD3", name);
    AddNameAndPath(mFieldData, name, path, pathSize);
    SendChange(kTranNewFolder, path, pathSize);
}

CMyGetFileInfoTask::CMyGetFileInfoTask(const void* path, uint32_t pathSize, const uint8_t* fileName)
    : CMyTransactTask(nullptr)
{
    mPathData.Reset(CopyPathBytes(path, pathSize));
    mPathSize = mPathData ? pathSize : 0;
    SetRowText(0, 0, "Get info for file/folder \xD2%#s\xD3", fileName);
    AddNameAndPath(mFieldData, fileName, mPathData, mPathSize);
    SendRequest(kTranGetFileInfo);
    SetProgress(1, 2);
}

void CMyGetFileInfoTask::Process()
{
    if (!TakeCheckedReply()) return;
    uint8_t name[256], kind[32], creator[16], comment[256];
    UFieldData::GetPString(mFieldData, kFieldFileName, name, sizeof(name));
    UFieldData::GetPString(mFieldData, kFieldFileTypeText, kind, sizeof(kind));
    UFieldData::GetPString(mFieldData, kFieldFileCreatorText, creator, sizeof(creator));
    UFieldData::GetPString(mFieldData, kFieldFileComment, comment, sizeof(comment));
    uint8_t code[4] = {};
    UFieldData::GetField(mFieldData, kFieldFileTypeCode, code, sizeof(code));
    const uint32_t type =
        (uint32_t(code[0]) << 24) | (uint32_t(code[1]) << 16) | (uint32_t(code[2]) << 8) | uint32_t(code[3]);
    const uint32_t size = uint32_t(UFieldData::GetInteger(mFieldData, kFieldFileSize));

    uint8_t created[64], modified[64], shortSize[32], longSize[32], info[256];
    DateText(mFieldData, kFieldFileCreateDate, created);
    DateText(mFieldData, kFieldFileModifyDate, modified);
    shortSize[0] = uint8_t(UText::SizeToText(size, shortSize + 1, 31, UText::kSizeLessThan1K));
    longSize[0] = uint8_t(UText::IntegerToText(longSize + 1, 31, int32_t(size), UText::kIntegerSeparators));
    const bool isFolder = type == FourCC("fldr");
    if (isFolder)
        info[0] = uint8_t(
            UText::Format(info + 1, 255, "%#s\r%#s\rn/a\r%#s\r%#s", kind, creator, created, modified));
    else
        info[0] = uint8_t(UText::Format(info + 1, 255, "%#s\r%#s\r%#s (%#s bytes)\r%#s\r%#s", kind, creator,
                                        shortSize, longSize, created, modified));
    const int16_t icon = isFolder ? FolderIcon(name) : QuenvolFileTypeToIcon(type);

    // The window keeps the folder's path for a later save of the item's information.
    ShowFileInfo(name, comment, info, icon, mPathData, mPathSize);
    FinishRequest();
}

CMySetFileInfoTask::CMySetFileInfoTask(const void* path, uint32_t pathSize, const uint8_t* fileName,
                                       const uint8_t* newName, const uint8_t* comment)
{
    SetRowText(0, 0, "Set info for file/folder \xD2%#s\xD3", fileName);
    AddNameAndPath(mFieldData, fileName, path, pathSize);
    UFieldData::AddPString(mFieldData, kFieldFileNewName, newName);
    UFieldData::AddPString(mFieldData, kFieldFileComment, comment);
    SendChange(kTranSetFileInfo, path, pathSize);
}

CMyMoveFileTask::CMyMoveFileTask(const uint8_t* fileName, const void* path, uint32_t pathSize,
                                 const void* newPath, uint32_t newPathSize)
{
    SetRowText(0, 0, "Move file/folder \xD2%#s\xD3", fileName);
    AddNameAndPath(mFieldData, fileName, path, pathSize);
    if (newPath) UFieldData::AddField(mFieldData, kFieldFileNewPath, newPath, newPathSize);
    SendChange(kTranMoveFile, path, pathSize, newPath, newPathSize, true);
}

CMyMakeFileAliasTask::CMyMakeFileAliasTask(const uint8_t* fileName, const void* path, uint32_t pathSize,
                                           const void* destPath, uint32_t destPathSize)
{
    SetRowText(0, 0, "Make alias of \xD2%#s\xD3", fileName);
    AddNameAndPath(mFieldData, fileName, path, pathSize);
    if (destPath) UFieldData::AddField(mFieldData, kFieldFileNewPath, destPath, destPathSize);
    SendChange(kTranMakeFileAlias, destPath, destPathSize);
}
