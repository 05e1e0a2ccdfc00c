// What the features ask of the desktop: a notice for something that arrived while the user works in
// another program, the end of a transfer, the connection's state on the tray icon, and whether there is
// a tray icon to come back from. The desktop feature answers it; the others reach it through the front,
// since no feature includes another.
#pragma once

#include <cstdint>
#include <string>

#include "client/app/EMyNotice.h"

class CWindow;

class CMyDesktopHost
{
public:
    // Something that `window` is about to show arrived (`name`, length-prefixed, is who sent it, `text`
    // the message, none for an invitation). Called before the window is shown, which makes it active.
    // While the client is in the background the tray keeps a mark until the user comes back.
    virtual void NotifyArrived(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                               CWindow* window) = 0;
    // A file or folder transfer ended (`name`, length-prefixed, is the item's name; `ok` false when it
    // failed). Clicking the notice shows the tasks window. A download that arrived gives its local file
    // or folder (`localPath`), which the notice offers to open or show in its folder.
    virtual void NotifyTransferEnded(const uint8_t* name, bool ok, const std::string& localPath) = 0;
    // The connection's state on the tray icon; `server` (length-prefixed) names the server, null when
    // not connected.
    virtual void ShowConnected(bool connected, const uint8_t* server) = 0;
    // Closing the main window may leave the client running in the tray.
    virtual bool IsTrayShown() const = 0;

protected:
    ~CMyDesktopHost() = default;
};
