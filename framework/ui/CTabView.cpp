#include "framework/ui/CTabView.h"

#include <QTabWidget>

#include "framework/ui/CContainerView.h"

namespace
{
// A tab's page is a container made without a parent; the tab widget takes its widget in.
class CTabPage : public CContainerView
{
public:
    CTabPage() : CContainerView(static_cast<CWindow*>(nullptr), SRect{0, 0, 1, 1}) {}
};
} // namespace

CTabView::CTabView(SViewParent parent, const SRect& bounds) : CView(parent, bounds, new QTabWidget)
{
    QObject::connect(TabWidget(), &QTabWidget::tabBarClicked, [this](int) { Hit(0, CurrentMods()); });
}

QTabWidget* CTabView::TabWidget() const
{
    return static_cast<QTabWidget*>(Widget());
}

CContainerView* CTabView::AddTab(const char* title)
{
    auto* page = new CTabPage;
    TabWidget()->addTab(page->Widget(), QString::fromUtf8(title));
    return page;
}

uint32_t CTabView::GetTabCount() const
{
    return uint32_t(TabWidget()->count());
}

CContainerView* CTabView::GetTab(uint32_t tab) const
{
    if (tab < 1 || tab > GetTabCount()) return nullptr;
    return dynamic_cast<CContainerView*>(CView::FromWidget(TabWidget()->widget(int(tab - 1))));
}

void CTabView::SetCurrentTab(uint32_t tab)
{
    if (tab >= 1 && tab <= GetTabCount()) TabWidget()->setCurrentIndex(int(tab - 1));
}

uint32_t CTabView::GetCurrentTab() const
{
    return uint32_t(TabWidget()->currentIndex() + 1);
}
