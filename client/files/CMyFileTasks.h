// Requests about the server's files and folders. Paths are the server's path records (null and 0 for
// the root folder); names are length-prefixed.
#pragma once

#include "client/tasks/CMyTask.h"

class CMyGetFileListTask : public CMyTransactTask
{
public:
    CMyGetFileListTask(const void* path, uint32_t pathSize);
    ~CMyGetFileListTask() override;
    void Process() override;

    void* mPathData = nullptr; // owned copy, null for the root
    uint32_t mPathSize = 0;
};

class CMyDeleteFileTask : public CMyTransactTask
{
public:
    CMyDeleteFileTask(const void* path, uint32_t pathSize, const uint8_t* fileName, bool isFolder);
    void Process() override;
};

class CMyNewFolderTask : public CMyTransactTask
{
public:
    CMyNewFolderTask(const void* path, uint32_t pathSize, const uint8_t* name);
    void Process() override;
};

class CMyGetFileInfoTask : public CMyTransactTask
{
public:
    CMyGetFileInfoTask(const void* path, uint32_t pathSize, const uint8_t* fileName);
    ~CMyGetFileInfoTask() override;
    void Process() override;

    void* mPathData = nullptr; // owned copy of the folder holding the item, null for the root
    uint32_t mPathSize = 0;
};

class CMySetFileInfoTask : public CMyTransactTask
{
public:
    CMySetFileInfoTask(const void* path, uint32_t pathSize, const uint8_t* fileName, const uint8_t* newName,
                       const uint8_t* comment);
    void Process() override;
};

class CMyMoveFileTask : public CMyTransactTask
{
public:
    CMyMoveFileTask(const uint8_t* fileName, const void* path, uint32_t pathSize, const void* newPath,
                    uint32_t newPathSize);
    void Process() override;
};

class CMyMakeFileAliasTask : public CMyTransactTask
{
public:
    CMyMakeFileAliasTask(const uint8_t* fileName, const void* path, uint32_t pathSize, const void* destPath,
                         uint32_t destPathSize);
    void Process() override;
};
