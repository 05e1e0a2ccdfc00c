// Showing a local file or folder in the desktop's file manager, selected in the folder that holds it,
// through the file manager's service on the session bus (org.freedesktop.FileManager1). Nothing waits:
// the call goes out and its answer comes back through the event loop. Where no file manager answers (no
// bus, no such service, a refusal) the opener shows the folder that holds the item instead.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace platform
{
// `path` is a native (UTF-8) absolute path.
void ShowInFileManager(const std::string& path);
// Calls whose answer has not come back yet.
uint32_t PendingFileManagerCalls();

// Which bus the file manager is asked on: by default the session bus when the environment names one;
// tests give a bus of their own (an empty address: no bus at all).
void SetFileManagerBusAddress(const QString& address);
void UseSessionBusForFileManager();
} // namespace platform
