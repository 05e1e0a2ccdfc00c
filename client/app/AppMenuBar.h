// The three menus "File", "Edit" and "Quenvol" of the frame window.
#pragma once

#include "framework/ui/CFrameWindow.h"

void InstallMenuBar(CFrameWindow& frame);
