#include "client/transfers/UMyUploadChooser.h"

#include "framework/ui/UFileDialogs.h"

namespace
{
UMyUploadChooser::Chooser gChooser;
} // namespace

bool UMyUploadChooser::Choose(bool folder, const std::string& startFolder, std::vector<std::string>& outPaths)
{
    outPaths.clear();
    if (gChooser) return gChooser(folder, startFolder, outPaths) && !outPaths.empty();
    if (!folder) return UFileDialogs::SelectFiles(startFolder, outPaths) && !outPaths.empty();
    std::string path;
    if (!UFileDialogs::SelectFolder(path, startFolder) || path.empty()) return false;
    outPaths.push_back(path);
    return true;
}

void UMyUploadChooser::SetChooser(Chooser chooser)
{
    gChooser = std::move(chooser);
}
