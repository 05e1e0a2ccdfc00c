#include "framework/runtime/KeyCommands.h"

#include <vector>

#include "framework/runtime/UApplication.h"

namespace
{
struct SInstalledCmd
{
    SKeyCmd cmd;
    TMessageProc proc;
    void* context;
};

std::vector<SInstalledCmd>& Table()
{
    static std::vector<SInstalledCmd> table;
    return table;
}

uint32_t Lower(uint32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}
} // namespace

void UKeyCommands::Install(const SKeyCmd* table, uint32_t count, TMessageProc proc, void* context)
{
    for (uint32_t i = 0; i < count; ++i)
        Table().push_back({table[i], proc, context});
}

void UKeyCommands::RemoveAll(void* context)
{
    std::erase_if(Table(), [context](const SInstalledCmd& c) { return c.context == context; });
}

bool UKeyCommands::Matches(const SKeyCmd& cmd, const SKeyMsgData& key)
{
    // Caps Lock never changes what a command key means.
    const uint16_t pressed = key.mods & ~(kModCapsLock | kModDoubleClick);
    const uint16_t wanted = cmd.mods & ~kModKeyByCode;
    if (pressed != wanted) return false;
    if (cmd.mods & kModKeyByCode) return cmd.key == key.keyCode;
    // Character entries name the letter; with Ctrl held the key types no character, so compare the key
    // when its code is a letter's or a digit's. Other codes only share numbers with characters: Return
    // (0x71) is no 'q', and Ctrl+Return, which sends a chat line as an action, must not quit.
    const uint32_t code = key.keyCode;
    const bool codeIsCharacter = (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9');
    const uint32_t typed = key.keyChar >= 0x20 ? key.keyChar : codeIsCharacter ? code : 0;
    return typed && Lower(cmd.key) == Lower(typed);
}

bool UKeyCommands::Dispatch(const SKeyMsgData& key)
{
    for (const SInstalledCmd& c : Table())
    {
        if (!Matches(c.cmd, key)) continue;
        SKeyCommandMsg msg{c.cmd.id, key};
        UApplication::PostMessage(kMsgKeyCommand, &msg, sizeof(msg), 0, c.proc, c.context, nullptr);
        return true;
    }
    return false;
}
