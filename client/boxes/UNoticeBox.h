// Notices that arrive on their own (server and administrator messages, broadcasts, private messages shown
// as boxes, errors) each open a modal box, and a modal box keeps the connection running. Without a rule
// every notice would open its box inside the loop of the box before it, as deep as a server cares to
// push: a burst of thousands exhausts memory and then the stack. So at most one box of a kind is up at a
// time. A notice of a kind whose box is up waits; when that box closes, every notice that waited
// meanwhile is shown in one box, their texts one after another. The modal loops of notices therefore nest
// at most once per kind, whatever arrives.
#pragma once

#include <cstdint>
#include <functional>

struct SMySoundPrefs;

class UNoticeBox
{
public:
    // Shows a text (one notice's or several joined) in the kind's box and returns when it is closed.
    using ShowProc = std::function<void(const void* text, uint32_t size)>;

    // Shows the notice's text through `show` now, or, while a box of the kind is up, keeps it for the box
    // that follows. A text equal to the one just before it is not repeated.
    static void Show(uint32_t kind, const void* text, uint32_t size, const ShowProc& show);
    // For notices that arrive where no box may open (inside transaction processing): keeps the text for
    // the kind's next box. True when nothing of the kind waited or showed before, so that the caller
    // arranges for ShowWaiting to run once from the run loop.
    static bool Keep(uint32_t kind, const void* text, uint32_t size);
    // Shows what waits for the kind in its box, unless that box is up already (what waits then shows
    // when it closes).
    static void ShowWaiting(uint32_t kind, const ShowProc& show);
    static bool IsShowing(uint32_t kind);
    // A numbered box for something that happened on its own (the connection lost, an error, a transfer
    // cut short), with the box number as its kind. `argument` fills the box's "%#s", or null; with
    // `sounds` the error's event sound plays as the box opens, if the user wants it then.
    static void ShowNumbered(int16_t boxID, const uint8_t* argument = nullptr,
                             const SMySoundPrefs* sounds = nullptr);
    // Notices of the kind that wait for its box to close.
    static uint32_t GetWaitingCount(uint32_t kind);

    // What waits for one kind is capped (a few thousand messages of the longest kind fit): notices past
    // the cap are counted and the box says how many there were.
    static constexpr uint32_t kMaxWaitingBytes = 4 * 1024 * 1024;
};
