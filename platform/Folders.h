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

// The desktop's folder for downloads, as the user's folder settings name it ($XDG_CONFIG_HOME/user-dirs.dirs,
// the file the desktop's own folder tools keep), else ~/Downloads. Not created here. Returns 0 or ENOENT
// when there is no home folder to start from.
int DesktopDownloadFolder(std::string& outPath);
// The folder a user-dirs.dirs text gives for `key` ("XDG_DOWNLOAD_DIR"): a quoted "$HOME/..." or
// absolute path, with $HOME replaced by `home`. Empty when the text has no usable line for it (a relative
// path, a malformed line).
std::string ParseUserDirs(const std::string& text, const char* key, const std::string& home);
} // namespace platform
