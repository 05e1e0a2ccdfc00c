// The servers window: connect, server information, refresh and the tracker list; a search field with
// the count of servers shown and received; the list of servers.
#pragma once

#include <vector>

#include "framework/ui/CWindow.h"

class CLabelView;
class CServersList;
class CScrollerView;
class CTextView;
class CIconButtonView;
struct SMenuEntry;

class CMyServersWindow : public CWindow
{
public:
    static constexpr int32_t kWidth = 330;
    static constexpr int32_t kHeight = 334;

    CMyServersWindow();
    ~CMyServersWindow() override;
    CServersList* View() const { return mTrackList; }
    CTextView* SearchField() const { return mFilterText; }
    CLabelView* CountLabel() const { return mServerNumLabl; }
    // What a right click on a server offers: connecting (as a double click does) and its information
    // (as the information button does).
    std::vector<SMenuEntry> ContextMenuEntries() const;

private:
    CLabelView* mServerNumLabl = nullptr;
    CTextView* mFilterText = nullptr;
    CScrollerView* mScrChatz = nullptr;
    CServersList* mTrackList = nullptr;
    CIconButtonView* mInfoBtn = nullptr;
};
