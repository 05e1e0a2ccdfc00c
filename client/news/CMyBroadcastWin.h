// The dialog in which the user writes a message for every user online.
#pragma once

#include "client/news/CMyTextEntryWin.h"

class CMyBroadcastWin : public CMyTextEntryWin
{
public:
    CMyBroadcastWin();
};
