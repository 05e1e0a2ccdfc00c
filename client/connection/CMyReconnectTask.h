// The tasks window's row of a reconnect under way: it says when the next attempt comes, its Start
// tries at once and its Stop gives up. It needs no session (it lives while there is none) and nothing
// steps it but the user's Start.
#pragma once

#include "client/core/CMyTask.h"

class CMyReconnectTask : public CMyTask
{
public:
    // `onStart` runs when the user starts the row, `onStop` when the user stops it (destroys it).
    CMyReconnectTask(std::function<void()> onStart, std::function<void()> onStop);
    ~CMyReconnectTask() override;

    // The row's text, length-prefixed.
    void Show(const uint8_t* text);
    // The row goes without telling anyone: the reconnect ended by itself.
    void Dismiss();

    void Process() override;
    bool IsWaitingOnNetwork() const override { return true; }
    bool CanUserStart() const override { return true; }

private:
    std::function<void()> mOnStart;
    std::function<void()> mOnStop;
};
