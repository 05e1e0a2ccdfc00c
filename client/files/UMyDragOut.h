// A row of a folder window dragged out to the desktop or a file manager: the drag promises the file (or
// folder) and downloads it into the folder the target chose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ui/UDragAndDrop.h"

class UMyDragOut
{
public:
    // `path` is the server folder holding the item (empty for the root), `name` its length-prefixed server
    // name. The promise suggests that name made valid for the disk, and downloads into the target's
    // folder under that same name, whatever name the target asks for: the server's name is the one the
    // files layer maps safely. Nothing is downloaded once the session the drag started in has ended.
    static SDragPromise MakePromise(const std::vector<uint8_t>& path, const uint8_t* name, bool isFolder);

    // The same downloads from the rows' context menu ("Download To..."), where a drag cannot promise a
    // file (a Wayland session, or a file manager that takes no promise): the user picks the folder.
    struct SItem
    {
        std::vector<uint8_t> name; // length-prefixed server name
        bool isFolder;
    };
    static void DownloadTo(const std::vector<uint8_t>& path, const std::vector<SItem>& items);
    // Tests answer the folder question themselves; null restores the dialog.
    using FolderChooser = bool (*)(std::string& outFolder);
    static void SetFolderChooser(FolderChooser chooser);

private:
    // Downloads one item into `folder` for the session numbered `session`; false when that session has
    // ended or the download could not start.
    static bool DownloadInto(const std::vector<uint8_t>& path, const uint8_t* name, bool isFolder,
                             const std::string& folder, uint32_t session);
};
