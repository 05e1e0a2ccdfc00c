// The upload button's choice of local items: several files from the file dialog, or a folder (the
// folder dialog, with the Option key). Both open in the folder the user chose from last, else her home.
#pragma once

#include <functional>
#include <string>
#include <vector>

class UMyUploadChooser
{
public:
    // False when the user cancels; else the native paths chosen.
    using Chooser =
        std::function<bool(bool folder, const std::string& startFolder, std::vector<std::string>& out)>;
    static bool Choose(bool folder, const std::string& startFolder, std::vector<std::string>& outPaths);
    // Tests answer in place of the dialogs; null gives the dialogs back.
    static void SetChooser(Chooser chooser);
};
