// A row of a folder window dragged out to the desktop or a file manager: the drag promises the file (or
// folder) and downloads it into the folder the target chose.
#pragma once

#include <cstdint>
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
};
