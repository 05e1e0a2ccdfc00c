// The row of a transfer that is not running: stopped by the user, waiting for its server, or cut off by
// a failure. It does no work of its own and outlives the session (a stand-alone task); the transfer queue
// makes it and takes it away, and its Start and Stop go to the queue.
#pragma once

#include <cstdint>

#include "client/core/CMyTask.h"

class CMyTransferQueue;

class CMyParkedTransferRow : public CMyTask
{
public:
    // `text` is length-prefixed; the bar shows `done` of `total` (nothing when `total` is 0). The row of
    // `takesRowOf` (the transfer that went), when it still shows one, becomes this row's.
    CMyParkedTransferRow(CMyTransferQueue& queue, const uint8_t* text, uint32_t done, uint32_t total,
                         CMyTask* takesRowOf = nullptr);
    ~CMyParkedTransferRow() override;

    bool IsParked() const override { return true; }
    bool CanUserStart() const override { return true; }
    void Show(const uint8_t* text, uint32_t done, uint32_t total);

private:
    CMyTransferQueue& mQueue;
};
