// A box made in code, for the questions and reports that have no numbered resource: its texts are given
// as they are, and one place turns them into the record the box windows draw.
#pragma once

#include <cstdint>

struct SMsgBoxText
{
    int16_t icon = 0;                 // 0: none
    int16_t sound = 0;                // 0 silent, 1 the system beep, else a sound resource
    const char* title = nullptr;      // null: no title
    const uint8_t* message = nullptr; // length-prefixed: it is usually formatted with a server's name
    const char* button1 = nullptr;    // null: "OK"
    const char* button2 = nullptr;    // null: no second button
    const char* button3 = nullptr;    // ignored without a second button
    // A message of any length, taken instead of `message` when its size is not 0: notices shown
    // together in one box are longer than a length-prefixed string holds.
    const void* longMessage = nullptr;
    uint32_t longMessageSize = 0;
};

// Runs the box and returns the button pressed: 1, 2 or 3. Runs a modal loop: never call it from a task
// pass.
uint16_t MsgBox(const SMsgBoxText& box);
