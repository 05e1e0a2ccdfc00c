#include "client/widgets/MyWindowSizing.h"

#include <QWidget>
#include <algorithm>

#include "framework/ui/CView.h"
#include "framework/ui/CWindow.h"

void SetWindowBounds(CWindow* window, const SRect& bounds)
{
    if (!bounds.IsValid()) return;
    if (!window->Widget()->isVisible())
    {
        SRect old;
        window->GetBounds(old);
        const int dw = bounds.Width() - old.Width(), dh = bounds.Height() - old.Height();
        for (QObject* child : window->ContentWidget()->children())
        {
            if (!child->isWidgetType()) continue;
            auto* w = static_cast<QWidget*>(child);
            CView* view = CView::FromWidget(w);
            if (!view || view->Widget() != w || !view->GetSizing()) continue;
            const uint8_t s = view->GetSizing();
            SRect r;
            view->GetBounds(r);
            if (s & kSizeLeft) r.left += dw;
            if (s & kSizeRight) r.right += dw;
            if (s & kSizeTop) r.top += dh;
            if (s & kSizeBottom) r.bottom += dh;
            r.right = std::max(r.right, r.left);
            r.bottom = std::max(r.bottom, r.top);
            view->SetBounds(r);
        }
    }
    window->SetBounds(bounds);
}
