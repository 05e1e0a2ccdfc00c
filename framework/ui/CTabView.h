// Tabs, each holding one container of views; tabs are numbered from 1.
#pragma once

#include "framework/ui/CView.h"

class CContainerView;
class QTabWidget;

class CTabView : public CView
{
public:
    CTabView(SViewParent parent, const SRect& bounds);
    // Adds a tab and returns its container, which fills the tab's page.
    CContainerView* AddTab(const char* title);
    uint32_t GetTabCount() const;
    CContainerView* GetTab(uint32_t tab) const;
    void SetCurrentTab(uint32_t tab);
    uint32_t GetCurrentTab() const;
    QTabWidget* TabWidget() const;
};
