// The public chat window and the private chats of the session.
#include "client/app/CMyApplication.h"
#include "client/chat/CMyOldChatWin.h"

void CMyApplication::ClearPublicChat()
{
    if (mChatWin) mChatWin->ClearChat();
}

void CMyApplication::OpenPrivateChatFromReply(uint32_t, const SUserEntry&) {}

bool CMyApplication::HasPrivateChat(uint32_t)
{
    return false;
}

void CMyApplication::DestroyPrivateChat(uint32_t) {}

void CMyApplication::FillPrivateChat(uint32_t, const uint8_t*, TFieldDataObj*) {}
