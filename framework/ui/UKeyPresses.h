// Which press of a key each key event belongs to, so that a window that waits for the user acts only on
// keys pressed while it was up.
//
// A key held down repeats, and the repeats do not always say so: under X11 each repeat is a release and
// a press with the same time stamp, which Qt marks as a repeat only when it finds both waiting at once.
// Taken at their word, a Return held on a notice box closed the box, and its repeats then closed the box
// that opened in its place. So presses are numbered: a press that is neither marked as a repeat nor
// follows a release of its key at the same instant starts a new number, and its repeats and its release
// carry the same one.
#pragma once

#include <cstdint>

class QKeyEvent;

class UKeyPresses
{
public:
    // Numbers every key event of the program from now on, and keeps from a modal window the events of
    // presses that began before it was shown.
    static void Install();
    // The number the next new press will get: a window shown now owns the presses from this one on.
    static uint64_t NextPress();
    // Counts a key press or release, once for each event, and returns the number of the press it
    // belongs to: 0 for a key whose press the program never saw.
    static uint64_t Count(const QKeyEvent& event);
};
