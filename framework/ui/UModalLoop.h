// The program's one modal loop, and the rule every window that waits for the user follows.
//
// A modal window run with RunWindow, the error alert and the open and save dialogs all wait
// in UModalLoop::Run, never in Qt's exec(): Qt's modal windows are shown application-modal and waited
// for here. The loop alternates delivering OS events with draining the framework queue, exactly as the
// run loop does, so the connection, its tasks and timers go on behind the window. It ends when its
// condition holds or when the program quits; a window that was waited for in vain counts as cancelled.
//
// Because anything can arrive while a window waits (a disconnect, a closed window, another message), a
// caller looks its session and target windows up again after the loop returns, before acting.
//
// Qt still runs loops of its own that cannot be replaced (a drag, a pop-up menu): the framework queue
// drains from them through the application's before-block hook (see UApplication).
#pragma once

#include <cstdint>
#include <functional>

class CWindow;

// What ended a modal window: the hit of one of its views, or the program quitting. A view without an id
// of its own reports a hit of 0 like any other, so quitting has a flag of its own.
struct SModalResult
{
    bool quitting = false;
    uint32_t hit = 0; // the view id; 0 when quitting
    bool Is(uint32_t id) const { return !quitting && hit == id; }
};

class UModalLoop
{
public:
    // Runs a window modally: each hit of its views goes to `isEnd`, which acts on it and says whether it
    // ends the window. Returns the hit that ended it, or quitting.
    static SModalResult RunWindow(CWindow& window, const std::function<bool(uint32_t hit)>& isEnd);
    // Runs until `done` holds or the program quits; true when done held.
    static bool Run(const std::function<bool()>& done);
    // Shows one of Qt's dialogs application-modal and waits for it here; true when the user accepted it
    // (a quitting program rejects it).
    static bool RunDialog(class QDialog& dialog);
    // How many waits are running now, one inside the other: 0 when no window waits for the user.
    static uint32_t GetDepth();
};
