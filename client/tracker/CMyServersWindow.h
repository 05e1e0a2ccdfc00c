// The servers window: connect, server information, refresh and the tracker list; a search field with
// the count of servers shown and received; the list of servers.
#pragma once

#include "framework/ui/CWindow.h"

class CLabelView;
class CServersList;
class CScrollerView;
class CTextView;

class CMyServersWindow : public CWindow
{
public:
    static constexpr int32_t kWidth = 330;
    static constexpr int32_t kHeight = 334;

    CMyServersWindow();
    CServersList* View() const { return mTrackList; }
    CTextView* SearchField() const { return mFilterText; }
    CLabelView* CountLabel() const { return mServerNumLabl; }

private:
    CLabelView* mServerNumLabl = nullptr;
    CTextView* mFilterText = nullptr;
    CScrollerView* mScrChatz = nullptr;
    CServersList* mTrackList = nullptr;
};
