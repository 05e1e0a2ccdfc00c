// The key command table: keys that mean a command wherever the keyboard focus is. The window toolkit
// reports every key press here first; a match is posted as message 8 to the command's receiver.
#pragma once

#include <cstdint>

#include "framework/runtime/MessageProc.h"

// Modifier word of keys, clicks and hits.
enum : uint16_t
{
    kModCtrl = 0x0001,
    kModAlt = 0x0002,
    kModCapsLock = 0x0004,
    kModShift = 0x0008,
    kModDoubleClick = 0x2000,
    kModKeyByCode = 0x8000, // in a table entry: `key` is a key code, not a character
};

// Key codes of keys that have no character. Letters and digits use their upper-case ASCII codes.
enum : uint16_t
{
    kKeyHome = 0x80,
    kKeyEnd = 0x81,
    kKeyPageUp = 0x82,
    kKeyPageDown = 0x83,
    kKeyUp = 0x84,
    kKeyDown = 0x85,
    kKeyLeft = 0x86,
    kKeyRight = 0x87,
    kKeyEscape = 0x90,
    kKeyBackspace = 0x91,
    kKeyInsert = 0x92,
    kKeyDelete = 0x93,
    kKeyReturn = 0x71,
    kKeyEnter = 0x20,
    kKeySpace = 0x72,
    kKeyClear = 0x1A,
    kKeyF1 = 0xB0,   // F1..F24 are 0xB0..0xC7
    kKeyPad0 = 0x10, // keypad digits 0x10..0x19
};

struct SKeyCmd
{
    uint32_t id;
    uint16_t key;
    uint16_t mods;
};

struct SKeyMsgData
{
    uint16_t keyCode; // the key's code (letters as upper-case ASCII)
    uint16_t mods;
    uint32_t keyChar; // the character the key types, 0 when none
};

// Message 8 carries the command number and then the key.
struct SKeyCommandMsg
{
    uint32_t command;
    SKeyMsgData key;
};

class UKeyCommands
{
public:
    static void Install(const SKeyCmd* table, uint32_t count, TMessageProc proc, void* context);
    static void RemoveAll(void* context);
    // Posts message 8 for the first entry that matches and returns true; false when none does.
    static bool Dispatch(const SKeyMsgData& key);
    static bool Matches(const SKeyCmd& cmd, const SKeyMsgData& key);
};
