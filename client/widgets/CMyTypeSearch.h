// Type-to-select in a list window: typed characters gather in the window's search label and, one second
// after the last key (or at once on Return), the first row whose name contains them is selected.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

struct SKeyMsgData;
struct TTimerObj;
class CLabelView;
class CListView;

class CMyTypeSearch
{
public:
    static constexpr uint32_t kDelayMs = 1000;
    // Finds the row for a length-prefixed text; 0 when none.
    using SearchProc = std::function<uint32_t(const uint8_t* text)>;

    CMyTypeSearch(CLabelView* label, CListView* list, SearchProc search);
    ~CMyTypeSearch();
    CMyTypeSearch(const CMyTypeSearch&) = delete;
    CMyTypeSearch& operator=(const CMyTypeSearch&) = delete;

    // A printing character is gathered, Return searches at once when something was typed; true when
    // the key was used.
    bool KeyDown(const SKeyMsgData& key);
    // What the timer does: search for the gathered text and start afresh.
    void SearchNow();
    const std::string& GetTyped() const { return mTyped; }

private:
    static void TimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);
    void ShowTyped();

    CLabelView* mLabel;
    CListView* mList;
    SearchProc mSearch;
    std::string mTyped;
    COwner<TTimerObj, UTimer::Dispose> mSearchTimer; // made on first use
    QPointer<QObject> mReturnFilter;
};
