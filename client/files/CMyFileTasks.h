// Requests about the server's files and folders. Paths are the server's path records (null and 0 for
// the root folder); names are length-prefixed.
#pragma once

#include <vector>

#include "client/core/CMyTask.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/UMemory.h"

class CMyGetFileListTask : public CMyTransactTask
{
public:
    CMyGetFileListTask(const void* path, uint32_t pathSize);
    void Process() override;

    COwner<TPtrObj, UMemory::Dispose> mPathData; // a copy, null for the root
    uint32_t mPathSize = 0;

protected:
    // The reply's entries into the window of the path, when it is still open; the task is done.
    void FillAndFinish();
};

// The listing of a window kept open over a lost connection, asked again once the client is back. A
// folder the server no longer lists closes its window, and the user is told in one note (with any
// other folder gone at the same time) instead of the server's box for each.
class CMyRelistFolderTask : public CMyGetFileListTask
{
public:
    using CMyGetFileListTask::CMyGetFileListTask;
    void Process() override;
};

// A request that changes the server's files. Once the server confirmed it, the folder windows that show
// the folders it changed are listed again, so that they show the change.
class CMyFileChangeTask : public CMyTransactTask
{
public:
    void Process() override;

protected:
    CMyFileChangeTask() : CMyTransactTask(nullptr) {}
    // Sends the request and keeps the folders it changes (null and 0 is the root).
    void SendChange(uint16_t type, const void* folder, uint32_t folderSize, const void* otherFolder = nullptr,
                    uint32_t otherSize = 0, bool hasOther = false);

private:
    std::vector<std::vector<uint8_t>> mChangedFolders;
};

class CMyDeleteFileTask : public CMyFileChangeTask
{
public:
    CMyDeleteFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName, bool isFolder);
};

class CMyNewFolderTask : public CMyFileChangeTask
{
public:
    CMyNewFolderTask(const void* path, uint32_t pathSize, const uint8_t* name);
};

class CMyGetFileInfoTask : public CMyTransactTask
{
public:
    CMyGetFileInfoTask(const void* path, uint32_t pathSize, const uint8_t* fileName);
    void Process() override;

    COwner<TPtrObj, UMemory::Dispose> mPathData; // a copy of the folder holding the item, null for the root
    uint32_t mPathSize = 0;
};

class CMySetFileInfoTask : public CMyFileChangeTask
{
public:
    CMySetFileInfoTask(const void* path, uint32_t pathSize, const uint8_t* fileName, const uint8_t* newName,
                       const uint8_t* comment);
};

class CMyMoveFileTask : public CMyFileChangeTask
{
public:
    CMyMoveFileTask(const uint8_t* fileName, const void* path, uint32_t pathSize, const void* newPath,
                    uint32_t newPathSize);
};

class CMyMakeFileAliasTask : public CMyFileChangeTask
{
public:
    CMyMakeFileAliasTask(const uint8_t* fileName, const void* path, uint32_t pathSize, const void* destPath,
                         uint32_t destPathSize);
};
