// What the server tells the session on its own: server and administrator messages, the disconnect
// message and the agreement. Handlers post a message; the box opens when the run loop delivers it.
#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/connection/CMyAgreementWin.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMemory.h"

namespace
{
void PostText(uint32_t msg, const uint8_t* text)
{
    UApplication::PostMessage(msg, text, uint32_t(text[0]) + 1);
}
} // namespace

void CMyApplication::ProcessTran_ServerMsg(TFieldDataObj* fields)
{
    if (UFieldData::GetInteger(fields, kFieldUserID) != 0)
    {
        UApplication::ShowWantsAttention();
        DoShowMessage(fields, false);
        return;
    }
    uint8_t text[256];
    UFieldData::GetPString(fields, kFieldData, text, sizeof(text));
    // A message without a text has nothing to show, as an empty disconnect message has not.
    if (text[0] == 0) return;
    UApplication::ShowWantsAttention();
    const bool fromServer = UFieldData::GetInteger(fields, kFieldChatOptions) == 1;
    PostText(fromServer ? kMsgServerMessage : kMsgAdminMessage, text);
}

void CMyApplication::ProcessTran_DisconnectMsg(TFieldDataObj* fields)
{
    uint8_t text[256];
    UFieldData::GetPString(fields, kFieldData, text, sizeof(text));
    // Without a text the server's closing of the connection tells the rest.
    if (text[0]) PostText(kMsgServerDisconnect, text);
}

void CMyApplication::ProcessTran_ShowAgreement(TFieldDataObj* fields)
{
    const uint32_t size = UFieldData::GetFieldSize(fields, kFieldData);
    StHandle text(UMemory::NewHandle(size));
    {
        StHandleLocker lock(text.Get());
        UFieldData::GetField(fields, kFieldData, lock.Data(), size);
        // A session that came back by itself does not ask the user again what they agreed to.
        if (mSession.AgreedTo(lock.Data(), size)) return;
    }
    // Only the newest agreement waits to be shown.
    mSession.KeepAgreement(text.Release());
    UApplication::PostMessage(kMsgShowAgreement);
}

void CMyApplication::DoShowAgreement(THdlObj* text)
{
    // One agreement at a time: one that comes while another is up waits (the newest of them) and shows
    // when the user has answered.
    static bool sAgreementUp = false;
    if (sAgreementUp)
    {
        if (!mSession.HasAgreement())
            mSession.KeepAgreement(text);
        else
            UMemory::Dispose(text);
        return;
    }
    StHandle own(text);
    bool sessionEnded = false;
    bool agreed;
    {
        struct StUp
        {
            StUp() { sAgreementUp = true; }
            ~StUp() { sAgreementUp = false; }
        } up;
        agreed = CMyAgreementWin::Run(text, &sessionEnded);
    }
    // The connection ran while the user read: the session may have ended, and another begun, whose
    // agreement this is not.
    if (sessionEnded) return;
    if (!agreed)
    {
        KillTasksAndDisconnect();
        return;
    }
    {
        StHandleLocker lock(text);
        mSession.SetAgreed(lock.Data(), UMemory::GetSize(text));
    }
    if (mSession.HasAgreement()) UApplication::PostMessage(kMsgShowAgreement);
}
