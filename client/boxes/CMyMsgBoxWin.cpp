#include "client/boxes/CMyMsgBoxWin.h"

CMyMsgBoxWin::CMyMsgBoxWin(const SRect& bounds, int16_t boxID) : CWindow(bounds, kWindowModal), mBoxID(boxID)
{
}

void CMyMsgBoxWin::SetMessageText(const void* text, uint32_t size)
{
    mMessage.assign(static_cast<const char*>(text), text ? size : 0);
}
