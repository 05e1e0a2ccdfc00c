#include "client/CMyOldToolbarWin.h"

#include "client/AppMenuBar.h"

namespace
{
constexpr SRect kToolbarBounds = {0, 0, 420, 60};
}

CMyOldToolbarWin::CMyOldToolbarWin() : CFrameWindow(kToolbarBounds)
{
    SetTitle("Quenvol", 7);
    InstallMenuBar(*this);
}
