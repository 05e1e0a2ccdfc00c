// Numbered message boxes: texts, icon, sound and buttons come from the 'MSGB' resource of that number.
#pragma once

#include <cstdint>

#include "client/boxes/CMyMsgBoxWin.h"
#include "client/boxes/SMsgBox.h"
#include "framework/runtime/Geometry.h"

class CWindow;

// The message of the resource is a format: further arguments fill its conversions ("%#s" takes a
// length-prefixed string). Returns the button pressed: 1, 2 or 3.
uint16_t MsgBox(int16_t boxID, ...);
uint16_t MsgBox(const SMsgBox& box);
// The same boxes with a message of any length, taken as it is (not as a format).
uint16_t MsgBoxWithText(int16_t boxID, const void* text, uint32_t size);
uint16_t MsgBoxWithText(const SMsgBox& box, const void* text, uint32_t size);
// The message of a numbered box formatted with the arguments, as MsgBox would show it, into a
// length-prefixed string of up to 255 bytes.
void FormatMsgBoxMessage(uint8_t* outPString, int16_t boxID, ...);

// Tests answer boxes without showing them: the hook gets the box (its message already formatted) and
// returns the button. Null shows boxes again.
using MsgBoxHook = uint16_t (*)(int16_t boxID, const SMsgBox& box);
void SetMsgBoxHook(MsgBoxHook hook);

// The two halves of MsgBox, for callers that keep the window a while.
CMyMsgBoxWin* MakeMsgBoxWin(const SMsgBox& box);
uint16_t TrackMsgBoxWin(CWindow* window);

// Where the views of a box go.
struct SMsgBoxLayout
{
    bool hasIcon;
    SRect iconRect;
    SRect textRect;
    SRect button1;
    bool hasButton2, hasButton3;
    SRect button2, button3;
    SRect content;
    uint16_t cancelButton; // 0, 2 or 3
};

// `messageHeight` is the height of the wrapped message (0 when there is none).
SMsgBoxLayout LayOutMsgBox(const SMsgBox& box, int32_t messageHeight);
// A message taller than this scrolls inside the box instead of making the box taller than a screen.
constexpr int32_t kMaxMsgBoxMessageHeight = 320;
