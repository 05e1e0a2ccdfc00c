// The upload of a whole local folder. The protocol has no folder upload: the task creates each folder
// with a new-folder request and uploads each file as a file upload of its own, one after the other, as
// one task with one row ("[n of m]"). The tree is walked once when the task is made (CMyUploadTree).
//
// Started again (from the transfer queue, or Start on its stopped row), it resumes file by file: each
// folder's creation may be refused because the folder is there already, and each folder is then listed,
// so that files already there whole are passed over and a partly uploaded one is resumed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "client/transfers/CMyTransferTask.h"
#include "client/transfers/CMyUploadStream.h"
#include "client/transfers/CMyUploadTree.h"

struct TFileSysRefObj;

class CMyUploadFldrTask : public CMyTransferTask
{
public:
    // `path`: the server folder that receives the folder (null and 0 for the root); `folder`: the local
    // folder, walked now (raises when it cannot be, or breaks the tree's bounds); `serverName`: the
    // folder's name on the server (null for the local name). With `resume` folders may exist already and
    // files be there whole or in part.
    CMyUploadFldrTask(const void* path, uint32_t pathSize, TFileSysRefObj* folder, bool resume, bool queued,
                      const uint8_t* serverName = nullptr);
    ~CMyUploadFldrTask() override;
    bool CanUserStart() const override { return true; }
    // The server's item of the folder's name is deleted first (the user chose to replace it). Call it
    // right after making the task.
    void ReplaceFirst();

    uint32_t GetTotalItems() const { return uint32_t(mTree.Items().size()); }
    uint32_t GetDoneItems() const { return mDoneItems; }

private:
    enum class EAction
    {
        Delete,
        NewFolder,
        List,
        Upload,
    };

    uint16_t RequestType() const override;
    void BeforeRequest() override;
    bool TakeRefusal() override;
    bool TakeTransferReply() override;
    void MakeHandshake(std::vector<uint8_t>& outBytes) const override;
    void Connected() override;
    void Stream() override;

    void TakeListing();
    // The current item is done: on to the next one that needs doing, or the end.
    void ItemDone();
    void ShowFolderProgress();

    CMyUploadTree mTree;
    std::vector<uint8_t> mPath; // the server folder that receives the folder
    bool mResume;
    uint32_t mIndex = 0;
    uint32_t mDoneItems = 0;
    EAction mAction = EAction::NewFolder;
    bool mFileResume = false;
    // What the server listed of each folder (by its item's index), when it was listed: each name, and
    // whether it is a partial upload.
    std::map<uint32_t, std::map<std::string, bool>> mListed;
    CMyUploadStream mStream;
    uint32_t mFileTotal = 0; // the flattened bytes of the current file to send
    uint32_t mFileSent = 0;
    uint32_t mFirstStartSecs = 0;
};
