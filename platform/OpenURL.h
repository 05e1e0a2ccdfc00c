// Opening a URL in the desktop's default handler, without waiting for it.
#pragma once

#include <cstddef>

namespace platform
{
// True when the opener was started; whether the handler liked the URL is not known here.
bool OpenURL(const char* url, size_t size);
// A local folder in the desktop's file manager, through the same opener (a file:// URL).
bool OpenFolder(const char* path, size_t size);
// A local file or folder with the desktop's handler for it, the same way.
bool OpenLocalItem(const char* path, size_t size);
// Tests replace the desktop opener so that no browser starts; null restores it.
using OpenURLProc = bool (*)(const char* url, size_t size);
void SetOpenURLProc(OpenURLProc proc);
} // namespace platform
