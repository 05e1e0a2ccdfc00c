// Where the program and the user's files live.
#pragma once

#include <string>

namespace platform
{
// The folder holding the running executable, without a trailing slash.
std::string ProgramFolder();
// $XDG_DATA_HOME/Quenvol, by default ~/.local/share/Quenvol, created on first use.
// Returns 0 or the errno of the failed creation.
int UserDataFolder(std::string& outPath);
// $XDG_CONFIG_HOME/Quenvol, by default ~/.config/Quenvol, created on first use: the client's desktop
// settings, which are no part of the preferences file. Returns 0 or an errno.
int UserConfigFolder(std::string& outPath);
// Creates every missing level of a folder path. Returns 0 or an errno.
int MakeFolders(const std::string& path);
} // namespace platform
