#include "client/app/CMySessionWin.h"

#include <algorithm>
#include <vector>

#include "client/app/CMyApplication.h"

namespace
{
// Every session window that exists, oldest first.
std::vector<CMySessionWin*>& SessionWindows()
{
    static std::vector<CMySessionWin*> windows;
    return windows;
}
} // namespace

CMySessionWin::CMySessionWin(const SRect& bounds, uint16_t kind, uint16_t style)
    : CWindow(bounds, kind, style), mSession(gApp ? gApp->Features().Session().Serial() : 0)
{
    SessionWindows().push_back(this);
}

CMySessionWin::~CMySessionWin()
{
    std::vector<CMySessionWin*>& windows = SessionWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

bool CMySessionWin::IsSessionCurrent() const
{
    return gApp && gApp->Features().Session().IsCurrent(mSession);
}

bool CMySessionWin::IsOpen(const CMySessionWin* window)
{
    const std::vector<CMySessionWin*>& windows = SessionWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

void CMySessionWin::CloseAll(const std::function<bool(const CMySessionWin*)>& keep)
{
    std::vector<CMySessionWin*>& windows = SessionWindows();
    std::vector<CMySessionWin*> kept;
    while (!windows.empty())
    {
        CMySessionWin* window = windows.front();
        windows.erase(windows.begin());
        if (keep && keep(window))
        {
            kept.push_back(window);
            continue;
        }
        // Also between two turns of its loop (its runner handling a hit) a modal window belongs to its
        // runner, which destroys it after the loop, seeing that the session is gone.
        if (window->IsInModalLoop() || window->IsRunModally())
            window->Hit(window->GetCancelHit() ? window->GetCancelHit() : 2);
        else
            delete window;
    }
    windows.insert(windows.begin(), kept.begin(), kept.end());
}
