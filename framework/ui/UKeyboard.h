// Keys: every key press is first offered to the key command table; the edit menu's items become key
// presses on the focused view.
#pragma once

#include <cstdint>

class QKeyEvent;
struct SKeyMsgData;

// A widget with this property set to true takes F3 itself (find next) instead of the key command.
inline constexpr char kTakesFindKeys[] = "quenvolTakesFindKeys";

class UKeyboard
{
public:
    static void Install();
    static bool Translate(const QKeyEvent& event, SKeyMsgData& outKey);
    // Posts a key-down (message 5) that types the key into the view with the keyboard focus.
    static void PostEditKey(uint16_t keyChar, uint16_t mods);
};
