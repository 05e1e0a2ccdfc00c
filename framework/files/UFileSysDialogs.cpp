// The open and save dialogs, which the window toolkit supplies.
#include "framework/files/FileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"

namespace
{
UFileSys::SelectFileProc gSelectFileProc = nullptr;
UFileSys::SaveFileProc gSaveFileProc = nullptr;

TFileSysRefObj* RefFromChoice(const std::string& path)
{
    return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
}
} // namespace

void UFileSys::SetDialogProcs(SelectFileProc select, SaveFileProc save)
{
    gSelectFileProc = select;
    gSaveFileProc = save;
}

TFileSysRefObj* UFileSys::UserSelectFile(const uint32_t* types, uint32_t count)
{
    // Without a window toolkit (a test, a tool) there is no one to ask.
    if (!gSelectFileProc) Fail(kErrTypeFileSys, 110);
    std::string path;
    if (!gSelectFileProc(types, types ? count : 0, path) || path.empty()) return nullptr;
    return RefFromChoice(path);
}

TFileSysRefObj* UFileSys::UserSaveFile(const uint8_t* suggestedName, const uint8_t* prompt,
                                       TFileSysRefObj* initialFolder)
{
    if (!gSaveFileProc) Fail(kErrTypeFileSys, 110);
    std::string folder;
    if (initialFolder) folder = filesys::BasePath(initialFolder);
    std::string path;
    if (!gSaveFileProc(suggestedName, prompt, folder, path) || path.empty()) return nullptr;
    return RefFromChoice(path);
}
