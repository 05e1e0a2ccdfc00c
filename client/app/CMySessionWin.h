// A window that belongs to one server session (a private chat, an invitation, a message being
// written, an account being edited, a file's information…). It remembers the session it was opened
// for, and it is closed when that session ends: a window that is not running a modal loop is
// destroyed; a modal one gets its cancel hit, so that its loop ends and whoever runs it sees that its
// session is gone and drops the answer. The connection runs inside modal loops, so anything, even a
// new session, can happen before the user answers.
#pragma once

#include <functional>

#include "framework/ui/CWindow.h"

class CMySessionWin : public CWindow
{
public:
    CMySessionWin(const SRect& bounds, uint16_t kind, uint16_t style = kWindowCloseBox);
    ~CMySessionWin() override;

    uint32_t Session() const { return mSession; }
    // The session the window was opened for is still the application's current one.
    bool IsSessionCurrent() const;
    // The window exists and no session end has closed it (a modal loop lets a session end).
    static bool IsOpen(const CMySessionWin* window);

    // Closes every session window, as the end of a session does; those `keep` says yes to stay.
    static void CloseAll(const std::function<bool(const CMySessionWin*)>& keep = nullptr);

private:
    uint32_t mSession;
};
