// A message box as the 'MSGB' resources describe it.
#pragma once

#include <cstdint>

struct THdlObj;

struct SMsgBox
{
    int16_t icon;    // 0: none
    int16_t picture; // shown instead of a message when there is none
    int16_t sound;   // 0 silent, 1 the system beep, else a sound resource
    int16_t textStyle;
    int16_t btnTextStyle;
    int16_t script;
    const uint8_t* title; // length-prefixed, or null
    const uint8_t* message;
    const uint8_t* button1; // null or empty: "OK"
    const uint8_t* button2; // null or empty: no second button
    const uint8_t* button3; // ignored without a second button
    // A message of any length, used instead of `message` when its size is not 0: notices shown together
    // in one box are longer than a length-prefixed string holds.
    const uint8_t* longMessage;
    uint32_t longMessageSize;
};

// Reads a resource body; the strings point into `bytes`, which must outlive the record. A string that
// does not fit inside the body, and every one after it, is absent. Raises 1/9 below 12 bytes.
void ParseMsgBoxResource(const uint8_t* bytes, uint32_t size, SMsgBox& outBox);
