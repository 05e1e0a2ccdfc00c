// The client in the desktop's tray: what the front tells the icon.
#include "client/app/CMyApplication.h"
#include "client/tray/CMyTray.h"

void CMyApplication::ShowTrayConnected(bool connected)
{
    if (mTray) mTray->SetConnected(connected, connected ? mSession.DisplayName() : nullptr);
}

void CMyApplication::MarkTray(EMyNotice kind)
{
    if (mTray) mTray->NoteArrived(kind);
}

bool CMyApplication::IsTrayShown() const
{
    return mTray && mTray->IsShown();
}
