// The application's key commands: installed from the command table, run through it.
#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/UMyCommands.h"
#include "framework/runtime/KeyCommands.h"

void CMyApplication::KeyCommand(uint32_t command, const SKeyMsgData& key)
{
    if (const SMyCommand* c = UMyCommands::Find(command))
        UMyCommands::Run(*this, *c, SMyCommandCall{nullptr, key.mods});
    else
        CApplication::KeyCommand(command, key);
}
