// The client's icon in the desktop's tray: it shows whether the client is connected and marks private
// messages and mentions that came while the user worked elsewhere; its menu shows the client, connects
// or disconnects, connects to a recent server and quits. Where the desktop has no tray there is no icon,
// and closing the main window quits as before.
//
// What the icon shows and what its menu offers live here, apart from the icon itself, so that they can
// be checked without a desktop.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/app/EMyNotice.h"

class QMenu;
class QSystemTrayIcon;

enum class EMyTrayLook : uint8_t
{
    kDisconnected,
    kConnected,
    // Connected or not, something waits to be read.
    kUnread,
};

struct SMyTrayEntry
{
    enum class EAction : uint8_t
    {
        kShow,
        kConnect,
        kDisconnect,
        // `index` is the server's place in the recent-servers list.
        kRecent,
        kQuit,
        kSeparator,
    };
    EAction action;
    std::string title;
    uint32_t index = 0;
};

class CMyTray
{
public:
    CMyTray();
    ~CMyTray();
    CMyTray(const CMyTray&) = delete;
    CMyTray& operator=(const CMyTray&) = delete;

    // The desktop offers a tray.
    static bool IsAvailable();
    // Puts the icon in the tray where there is one.
    void Show();
    // The icon is in the tray: closing the main window may leave the client running there.
    bool IsShown() const;

    // `server` (length-prefixed) names the server in the icon's tooltip; null when not connected.
    void SetConnected(bool connected, const uint8_t* server = nullptr);
    // A private message or mention arrived while the user was elsewhere; other notices leave no mark.
    void NoteArrived(EMyNotice kind);
    // The user came back to the client.
    void ClearUnread();

    EMyTrayLook Look() const;
    QString ToolTip() const;
    // The menu as it is when it opens: the recent servers are read then.
    std::vector<SMyTrayEntry> Entries() const;
    // Runs what an entry of Entries() stands for.
    void Choose(const SMyTrayEntry& entry);

private:
    void Update();
    void FillMenu();

    bool mConnected = false;
    std::string mServer;
    uint32_t mUnreadMessages = 0;
    uint32_t mUnreadMentions = 0;
    std::unique_ptr<QSystemTrayIcon> mIcon;
    std::unique_ptr<QMenu> mMenu;
};
