#include "client/widgets/MyZoomToList.h"

#include <algorithm>

#include "client/widgets/MyWindowSizing.h"
#include "framework/ui/CListView.h"
#include "framework/ui/CWindow.h"

void ZoomToList(CWindow* window, const CListView* list, int32_t minHeight, int32_t listTop)
{
    SRect bounds, area;
    window->GetBounds(bounds);
    CWindow::GetZoomLimits(area);
    // The list's frame takes one more pixel.
    const int32_t height =
        std::clamp(list->GetFullHeight() + listTop + 1, std::min(minHeight, area.Height()), area.Height());
    bounds.bottom = bounds.top + height;
    if (bounds.bottom > area.bottom)
    {
        bounds.top = std::max(area.top, area.bottom - height);
        bounds.bottom = bounds.top + height;
    }
    SetWindowBounds(window, bounds);
}
