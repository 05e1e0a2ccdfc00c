// The desktop's open and save dialogs, waited for in the modal loop (UModalLoop). The file layer asks for
// them through procedures of this shape, which the program's entry installs; names and prompts are
// length-prefixed Mac OS Roman text, paths are native.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class UFileDialogs
{
public:
    // False when the user cancels. Types are four-character codes; known ones narrow the list.
    static bool SelectFile(const uint32_t* types, uint32_t count, std::string& outPath);
    // One or more existing files, the dialog opening in `startFolder` (none: the working folder).
    static bool SelectFiles(const std::string& startFolder, std::vector<std::string>& outPaths);
    // An existing folder, for downloads the user sends somewhere of her choosing.
    static bool SelectFolder(std::string& outPath, const std::string& startFolder = std::string());
    static bool SaveFile(const uint8_t* suggestedName, const uint8_t* prompt,
                         const std::string& initialFolder, std::string& outPath);
    // The name filter the dialog offers for a type list ("Bookmarks (*.qbm)" and so on); empty for any.
    static std::string FilterFor(const uint32_t* types, uint32_t count);
};
