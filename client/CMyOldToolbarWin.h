// The toolbar window: the program's main window, carrying the menu bar.
#pragma once

#include "framework/ui/CFrameWindow.h"

class CMyOldToolbarWin : public CFrameWindow
{
public:
    CMyOldToolbarWin();
};
