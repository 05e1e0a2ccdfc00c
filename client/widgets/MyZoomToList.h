// The zoom of the list windows (folders, users, tasks): the width stays and the height becomes what shows
// every row, within the screen.
#pragma once

#include <cstdint>

class CWindow;
class CListView;

// The list starts `listTop` pixels down in the window (the button bar, and column titles if any).
void ZoomToList(CWindow* window, const CListView* list, int32_t minHeight, int32_t listTop = 30);
