#include "client/app/CMySessionWin.h"

#include "client/app/CMyApplication.h"

CMySessionWin::CMySessionWin(const SRect& bounds, uint16_t kind, uint16_t style)
    : CWindow(bounds, kind, style), mSession(gApp ? gApp->CurrentSession() : 0)
{
    if (gApp) gApp->AddSessionWindow(this);
}

CMySessionWin::~CMySessionWin()
{
    if (gApp) gApp->RemoveSessionWindow(this);
}

bool CMySessionWin::IsSessionCurrent() const
{
    return gApp && gApp->IsCurrentSession(mSession);
}
