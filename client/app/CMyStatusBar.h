// The main window's status line: the server, the connection's state (with up to two buttons that act on
// it, such as "Reconnect Now" and "Cancel" while the client comes back by itself), the users online and
// the running transfers with their total speed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QStatusBar;
class QToolButton;

struct SMyStatusAction
{
    const char* title = nullptr; // null: no button
    std::function<void()> run;
};

class CMyStatusBar
{
public:
    // The line's widgets go into `bar`, which owns them.
    explicit CMyStatusBar(QStatusBar* bar);
    ~CMyStatusBar();
    CMyStatusBar(const CMyStatusBar&) = delete;
    CMyStatusBar& operator=(const CMyStatusBar&) = delete;

    // Length-prefixed; null or empty: no server.
    void SetServer(const uint8_t* name);
    // Length-prefixed text. A button's action runs from the client's queue, as a hit would, never from
    // inside the click.
    void SetConnection(const uint8_t* text, SMyStatusAction first = {}, SMyStatusAction second = {});
    void SetUsersOnline(uint32_t count);
    // No transfers: the field is empty.
    void SetTransfers(uint32_t running, uint64_t bytesPerSec);

    // What the line shows, for the tests.
    std::string ServerText() const;
    std::string ConnectionText() const;
    std::string ButtonTitle(uint32_t index) const; // "" for a hidden button
    QToolButton* Button(uint32_t index) const { return index < 2 ? mButtons[index] : nullptr; }
    std::string UsersText() const;
    std::string TransfersText() const;

private:
    static void RunAction(void* context, void*, uint32_t, const void* data, uint32_t size);

    QLabel* mServer;
    QLabel* mConnection;
    QToolButton* mButtons[2];
    std::function<void()> mActions[2];
    QLabel* mUsers;
    QLabel* mTransfers;
};
