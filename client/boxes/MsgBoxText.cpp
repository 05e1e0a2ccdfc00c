#include "client/boxes/MsgBoxText.h"

#include "client/boxes/MsgBox.h"
#include "framework/runtime/UPString.h"

namespace
{
// The record points at its strings, so each one needs room that lives as long as the box.
const uint8_t* ToPString(const char* text, uint8_t (&room)[256])
{
    if (!text) return nullptr;
    UPString::SetText(room, text);
    return room;
}
} // namespace

uint16_t MsgBox(const SMsgBoxText& text)
{
    uint8_t title[256], button1[256], button2[256], button3[256];
    SMsgBox box{};
    box.icon = text.icon;
    box.sound = text.sound;
    box.title = ToPString(text.title, title);
    box.message = text.message;
    box.button1 = ToPString(text.button1, button1);
    box.button2 = ToPString(text.button2, button2);
    box.button3 = ToPString(text.button3, button3);
    if (text.longMessageSize) return MsgBoxWithText(box, text.longMessage, text.longMessageSize);
    return MsgBox(box);
}
