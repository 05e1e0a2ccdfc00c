// The dialog in which the user writes a news article to post.
#pragma once

#include "client/news/CMyTextEntryWin.h"

class CMyEnterMsgWin : public CMyTextEntryWin
{
public:
    CMyEnterMsgWin();
};
