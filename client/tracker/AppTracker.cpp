// The application's tracker commands: showing the servers window, a refresh of every ticked tracker,
// connecting to a listed server.
#include "client/app/CMyApplication.h"
#include "client/tracker/CMyTracker.h"
#include "client/tracker/CServersList.h"

void CMyApplication::DoShowTracker()
{
    if (mFeatures.Tracker()) mFeatures.Tracker()->ShowServersWindow();
}

void CMyApplication::DoRefreshTracker()
{
    if (mFeatures.Tracker()) mFeatures.Tracker()->Refresh();
}

void CMyApplication::DoConnectToTracked(bool withOptions)
{
    if (!mFeatures.Tracker()) return;
    uint8_t name[32], address[256];
    if (!mFeatures.Tracker()->GetServersList()->GetSelectedServInfo(name, address)) return;
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
