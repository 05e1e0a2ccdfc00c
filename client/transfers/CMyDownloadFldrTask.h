// The download of a whole server folder over one transfer connection. After the request, the server
// walks the folder and announces its items one at a time; the client creates each folder, and for each
// file answers whether it wants it whole (1), resumed (2, with a resume record) or not at all (3), and
// then receives its flattened form. Files are written into partial files by the same rule as single
// downloads (UMyPartialFile), so a folder download that was cut off and started again resumes the half
// file instead of taking it for a finished one, and skips the files that are already complete. A file
// whose bytes are all in hand once its size is known (most small files) is written without a name and
// named when whole instead: it needs no partial file, and it is never there half written.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "client/core/UMyFolderItemHeader.h"
#include "client/transfers/CMyTransferTask.h"

struct TFileSysRefObj;

class CMyDownloadFldrTask : public CMyTransferTask
{
public:
    // The client's answers to an announced item.
    enum : uint16_t
    {
        kAnswerSend = 1,
        kAnswerResume = 2,
        kAnswerNext = 3,
    };

    // `path`: the server folder that holds the folder (null and 0 for the root); `fldrName`: the folder's
    // name; `destFldr`: the local folder that becomes the downloaded folder (cloned, created when
    // missing). A queued task waits for the tasks created before it.
    CMyDownloadFldrTask(const void* path, uint32_t pathSize, const uint8_t* fldrName,
                        TFileSysRefObj* destFldr, bool queued);
    // Closes the connection; a partial file that received nothing goes, one with data stays to be resumed.
    ~CMyDownloadFldrTask() override;

    uint16_t GetTotalItems() const { return mTotalItems; }
    uint16_t GetDownloadedItems() const { return mDownloadedItems; }

private:
    uint16_t RequestType() const override;
    bool TakeTransferReply() override;
    void MakeHandshake(std::vector<uint8_t>& outBytes) const override;
    void Stream() override;

    // True when the next item's header (or the current file's size) is complete; raises when the
    // connection ended before it came, or the server sent something that is no item.
    bool ReadItemBytes();
    void StartItem();
    void StartFile(TFileSysRefObj* item);
    void MakeFolder(TFileSysRefObj* ref);
    void MakeFile();
    bool ReceiveFileData();
    void EndFile();
    // One more item dealt with; true when it was the last.
    bool CountItem();
    void SendAnswer(uint16_t answer);
    void ShowFolderProgress();

    TFileSysRefObj* mFldr = nullptr;
    TFileSysRefObj* mFile = nullptr;
    uint8_t mFinalName[256] = {};
    uint16_t mTotalItems = 0;
    uint16_t mDownloadedItems = 0;
    uint32_t mFileTotalSize = 0;
    uint32_t mFileDlSize = 0;
    // The file of the current item is made when its size comes (mFile names its partial file until then);
    // it is an unnamed one that takes the final name when whole.
    bool mFileDue = false;
    bool mFileUnnamed = false;
    // The folders this download made (native paths): nothing is in them that it did not put there, so a
    // file in one is neither looked for nor for its partial file (mFileUnlooked).
    std::set<std::string> mMadeFolders;
    bool mFileUnlooked = false;
    CMyFolderItemReader mReader;
};
