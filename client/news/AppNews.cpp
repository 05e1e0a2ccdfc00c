// The news window's text as the session delivers it.
#include "client/app/CMyApplication.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/runtime/UMemory.h"

void CMyApplication::SetNewsText(THdlObj* text)
{
    // The window copies the bytes; the block is not kept anywhere else.
    if (mNewsWin) mNewsWin->SetTextHandle(text);
    UMemory::Dispose(text);
}
