// The connection feature's owner: how a connection to a server begins (the connect dialog with its
// bookmarks and recent servers, a recent server from the tray, a password that comes from the keyring),
// what the user is asked before a new connection ends the open session, the dialog again after a refused
// login, and coming back by itself after a lost connection. The session itself (the transport, the
// identity, the access) is the session object's; this object only starts and ends it.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "client/core/CMyReconnect.h"

class CMySession;
class CMyKeptPasswords;
class CMyTaskList;
class CMyWindowSet;
class CMyReconnectTask;
struct SMySettings;
struct SMyConnectEntry;

class CMyConnection
{
public:
    // The longest name of a server that the titles and the questions show.
    static constexpr uint8_t kMaxDisplayName = 63;

    CMyConnection(const SMySettings& settings, CMySession& session, CMyKeptPasswords& passwords,
                  CMyTaskList& tasks, CMyWindowSet& windows);
    CMyConnection(const CMyConnection&) = delete;
    CMyConnection& operator=(const CMyConnection&) = delete;

    // The connect dialog, opened on the server used last (with the password only when its bookmark still
    // holds it), or on the entries of `start`.
    void ShowDialog();
    void RunDialog(const SMyConnectEntry& start);
    // Connects to the server at `index` of the recent servers, with the password of its bookmark.
    void ConnectToRecent(uint32_t index);
    // After a refused login, the dialog again with what was entered, unless the session numbered
    // `serial` was followed by another meanwhile.
    void ShowConnectAgain(uint32_t serial);
    // Before a connection elsewhere ends the open session: true to go on. The user is asked first when
    // transfers are running or private chats are open.
    bool MayConnectElsewhere(const uint8_t* address, const uint8_t* name);
    // The connection just started from a bookmark with an empty password field waits for the keyring's
    // password of the bookmark's address and login.
    void LookUpLoginPassword(const uint8_t* address, const uint8_t* login);

    // Once connected: the requests that open every session (the login, online users and news, which
    // the front sets, as they belong to other features).
    void SetSessionStart(std::function<void()> start) { mSessionStart = std::move(start); }
    void StartSession()
    {
        if (mSessionStart) mSessionStart();
    }
    // At the end of a start: with nothing to open and nothing to connect to, the connect dialog, over the
    // main window.
    void FirstConnect();

    // Coming back by itself after a lost connection: the attempts start, the next one starts at once,
    // they stop. The login task says when the server took the login.
    CMyReconnect& Reconnect() { return mReconnect; }
    void StartReconnect();
    void ReconnectNow();
    void CancelReconnect();
    void LoggedIn();
    // The box of a lost session that may be connected again, the session ended numbered `serial`.
    void ShowConnectionLost(uint32_t serial);

private:
    std::function<void()> mSessionStart;
    const SMySettings& mSettings;
    CMySession& mSession;
    CMyKeptPasswords& mPasswords;
    CMyTaskList& mTasks;
    CMyWindowSet& mWindows;
    CMyReconnect mReconnect;
    // The tasks window's row of the reconnect while it goes on; the task list owns it.
    CMyReconnectTask* mReconnectRow = nullptr;

    void ReconnectAttempt();
    void ShowReconnect();
};
