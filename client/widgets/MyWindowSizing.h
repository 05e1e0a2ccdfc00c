// Resizing a window whose views follow its size by their sizing flags, whether or not it is on screen.
// A window that is not shown yet gets no resize notice with an old size until it is shown, so its views
// would keep the places they had; they are moved here instead.
#pragma once

#include "framework/runtime/Geometry.h"

class CWindow;

void SetWindowBounds(CWindow* window, const SRect& bounds);
