// The application's tracker commands: showing the servers window, a refresh of every ticked tracker,
// connecting to a listed server.
#include "client/app/CMyApplication.h"
#include "client/tracker/CMyTracker.h"
#include "client/tracker/CServersList.h"

void CMyApplication::DoShowTracker()
{
    if (mTracker) mTracker->ShowServersWindow();
}

void CMyApplication::DoRefreshTracker()
{
    if (mTracker) mTracker->Refresh();
}

void CMyApplication::DoConnectToTracked(bool withOptions)
{
    if (!mTracker) return;
    uint8_t name[32], address[256];
    if (!mTracker->GetServersList()->GetSelectedServInfo(name, address)) return;
    // The dialog sets the login itself when the user connects; until then the open session keeps its
    // own, which a reconnect would use.
    if (withOptions)
    {
        DoShowConnect(address);
        return;
    }
    if (!mConnection.MayConnectElsewhere(address, name)) return;
    mSession.SetLogin(nullptr, nullptr);
    DoConnect(address, name);
}
