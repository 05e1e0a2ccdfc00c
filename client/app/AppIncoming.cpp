// Transactions that the server starts: taken from the connection after the task pass and handed to
// their handlers. Handlers never open a box themselves; they post a message that opens it later.
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMemory.h"

void CMyApplication::ProcessIncomingData()
{
    if (!mSession.IsConnected()) return;
    StFieldData fields;
    // A handler may end the session, so the connection is looked at again before each transaction.
    while (mSession.IsConnected())
    {
        TTransactSessionObj* session = UTransact::NewReceiveSession(mSession.Transactor(), 0, 1);
        if (!session) break;
        uint16_t type;
        try
        {
            UTransact::ReceiveSessionData(session, fields);
            type = UTransact::GetSessionReceiveType(session);
        }
        catch (...)
        {
            UTransact::DisposeSession(session);
            throw;
        }
        // Nothing is answered, so the session can go before its fields are used.
        UTransact::DisposeSession(session);
        switch (type)
        {
        case kTranNewMsg:
            ProcessTran_NewMsg(fields);
            break;
        case kTranServerMsg:
            ProcessTran_ServerMsg(fields);
            break;
        case kTranChatMsg:
            ProcessTran_ChatMsg(fields);
            break;
        case kTranShowAgreement:
            ProcessTran_ShowAgreement(fields);
            break;
        case kTranDisconnectMsg:
            ProcessTran_DisconnectMsg(fields);
            break;
        case kTranInviteToChat:
            ProcessTran_InviteToChat(fields);
            break;
        case kTranNotifyChatChangeUser:
            ProcessTran_NotifyChatChangeUser(fields);
            break;
        case kTranNotifyChatDeleteUser:
            ProcessTran_NotifyChatDeleteUser(fields);
            break;
        case kTranNotifyChatSubject:
            ProcessTran_NotifyChatSubject(fields);
            break;
        case kTranNotifyChangeUser:
            ProcessTran_NotifyChangeUser(fields);
            break;
        case kTranNotifyDeleteUser:
            ProcessTran_NotifyDeleteUser(fields);
            break;
        case kTranUserAccess:
            ProcessTran_UserAccess(fields);
            break;
        case kTranUserBroadcast:
            ProcessTran_UserBroadcast(fields);
            break;
        default:
            break;
        }
    }
}
