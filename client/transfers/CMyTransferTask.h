// What every transfer shares (file download, folder download, upload, preview): a request on the
// session's connection that gives a reference number, a connection of the transfer's own to the server's
// port + 1 that a handshake introduces, a stream of bytes either way, and an end the user hears of. The
// stages, the reading, the row and the end live here once; the subclasses say what they ask for and what
// they do with the bytes.
//
// Everything a transfer needs of the application (the server's address, the byte totals, the row, the
// task pass, sounds and notices) goes through the few functions under "The application" below.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "client/core/CMyTask.h"
#include "client/core/CMyTransferProgress.h"
#include "client/core/UMyTransferQueueFile.h"

class CMyTransferConnection;
struct TTransportObj;
struct TFileSysRefObj;

// A transfer's row texts, each with a "%#s" for the item's name.
struct SMyTransferTexts
{
    const char* row;    // "Downloading “%#s”"
    const char* queued; // "Downloading “%#s” (queued)"
    const char* stats;  // "Downloading “%#s” (%#s)": the statistics text follows the name
};

class CMyTransferTask : public CMyTransactTask
{
public:
    // Closes the transfer connection.
    ~CMyTransferTask() override;

    void Process() final;
    // The user's start of a queued transfer, whatever its place.
    void Start() { StartQueued(); }
    // The reply on its way, then the transfer connection until it is closed and read to its end.
    bool IsWaitingOnNetwork() const override;
    bool IsTransfer() const override { return true; }

    // Bytes the transfer connection is to carry, and how many it did (of files, for a folder).
    uint32_t GetTotalSize() const { return mTotalSize; }
    uint32_t GetDoneSize() const { return mDoneSize; }
    // The same in the whole item, with what a resumed transfer found there before.
    uint32_t GetWholeDoneSize() const { return mProgress.Base() + mDoneSize; }
    uint32_t GetWholeTotalSize() const { return mTotalSize ? mProgress.Base() + mTotalSize : 0; }

    // What the transfer queue keeps of it; null for a transfer that is not kept (a preview).
    const SMyTransferRecord* Record() const { return mRecorded ? &mRecord : nullptr; }
    // The user stopped it: it goes, and its row stays as stopped.
    void MarkStoppedByUser() { mStoppedByUser = true; }
    bool WasStoppedByUser() const { return mStoppedByUser; }
    // The class of the error that ended it (0: it did not fail).
    uint16_t FailedWith() const { return mFailedWith; }
    // A few words after the row's texts from now on ("started over", for one whose partial file went).
    void SetNote(const char* note);

protected:
    enum : uint16_t
    {
        kStageQueued = 0,
        kStageRequest = 1,
        kStageReply = 2,
        kStageConnect = 3,
        kStageStream = 4, // and whatever stages a subclass's stream has after it
    };
    enum class EDirection
    {
        Down,
        Up,
    };

    // `name` is the server item's (shown cut to 31 characters). With `endReport` the end is told: the
    // transfer sound and a desktop notice when it went well, the notice when it failed.
    CMyTransferTask(const SMyTransferTexts& texts, const uint8_t* name, EDirection direction, bool queued,
                    bool endReport);

    // The stages a subclass fills in.
    virtual uint16_t RequestType() const = 0;
    // Right before the request goes out with the fields of mFieldData.
    virtual void BeforeRequest() {}
    // The server said yes (mRefNum is read): takes the rest of the reply, mTotalSize first. False when
    // nothing is left to do on a connection; the task has ended then.
    virtual bool TakeTransferReply() = 0;
    // The server refused the request: true when the subclass takes that as an answer (silently; its
    // TakeTransferReply follows), false to fail as every refusal does.
    virtual bool TakeRefusal() { return false; }
    // Makes the transfer one that the queue keeps: what it is, where on the server (the folder's path
    // record and the item's name) and where here. Call it last in the constructor.
    void Describe(SMyTransferRecord::EKind kind, const void* path, uint32_t pathSize,
                  const uint8_t* serverName, TFileSysRefObj* local, bool hadData);
    // `base` bytes of the item were there before this transfer: the row shows the whole.
    void SetBase(uint32_t base) { mProgress.SetBase(base); }
    // The bytes that open the transfer connection.
    virtual void MakeHandshake(std::vector<uint8_t>& outBytes) const;
    // The handshake went out and the clock runs (mStartSecs).
    virtual void Connected() {}
    // Moves the stream on as far as what has arrived, or what the network takes, allows.
    virtual void Stream() = 0;

    // Reads what has arrived, at most `limit` bytes, in pieces of at most 256 KiB held in one buffer that
    // serves every read, and hands each piece to `take`. A step takes its share and no more, so that a
    // fast stream never holds the thread; the rest waits for the next step, and with a download speed
    // limit for the limit to allow it. Returns the bytes taken.
    uint32_t Receive(uint32_t limit, const std::function<void(const uint8_t*, uint32_t)>& take);
    // A download's stream of mTotalSize bytes, as far as it has arrived: the bytes go to `take`, and true
    // once every announced byte came. Before that, a connection that ended fails the transfer, and the
    // row shows how far it got.
    bool ReceiveToEnd(const std::function<void(const uint8_t*, uint32_t)>& take);
    // The connection is closed and nothing of it is left to read.
    bool IsDrained() const;
    // The connection ended before the transfer did: the transfer box, and a silent failure.
    [[noreturn]] void FailEarlyEnd();
    TTransportObj* Transport() const;
    void CloseConnection();

    // The row of a running transfer by the statistics rule, with `statsPattern` (default: the texts').
    void ShowProgress(uint32_t done, uint32_t total, const char* statsPattern = nullptr);
    // The bar alone.
    void ShowBar(uint32_t done, uint32_t total);
    // Sets the bar and a row text formatted from `format` with the item's name.
    void ShowRowText(uint32_t value, uint32_t max, const char* format);
    // The transfer is done: the task finishes, and the end is told.
    void EndWell();

    // The application.
    void CountBytes(uint32_t bytes);
    void ShowRow(uint32_t value, uint32_t max, const uint8_t* text);
    void ScheduleStep();
    // An upload hands the network no more than the upload speed limit allows: how many of `want` bytes
    // may go now (0: the task is woken when more may).
    uint32_t SendAllowance(uint32_t want);
    // The address the session's server was reached at, as a length-prefixed text.
    const uint8_t* ServerAddressText() const;
    // A folder window of that server path (empty for the root) shows what changed there.
    static void RefreshServerFolder(const std::vector<uint8_t>& path);

    uint32_t mRefNum = 0;
    uint32_t mTotalSize = 0;
    uint32_t mDoneSize = 0;
    uint32_t mStartSecs = 0;
    uint8_t mName[32] = {};

private:
    void Step();
    // The number of transfers at once lets this one run now (a preview always runs); otherwise it waits
    // in the queue for its turn.
    bool TakeTurn();
    // The speed limit of its way: how many of `want` bytes may move now.
    uint32_t TakeAllowance(uint32_t want);
    void GiveBackAllowance(uint32_t bytes);
    void EndTurn();
    void OpenConnection();
    void PlayEndSound();
    void NotifyEnd(bool ok);

    const SMyTransferTexts& mTexts;
    EDirection mDirection;
    bool mWasQueued;
    bool mEndReport;
    bool mRecorded = false;
    bool mStoppedByUser = false;
    // In the queue for a turn of the transfers at once.
    bool mWaitingForTurn = false;
    uint16_t mFailedWith = 0;
    SMyTransferRecord mRecord;
    std::string mNote;
    // A row pattern with the note after it.
    const char* Noted(const char* pattern, std::string& storage) const;
    uint32_t mStepTaken = 0;
    std::unique_ptr<CMyTransferConnection> mConnection;
    std::vector<uint8_t> mBuffer;
    CMyTransferProgress mProgress;
};
