#include "client/widgets/CMyTypeSearch.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>
#include <cstring>

#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UText.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CListView.h"

namespace
{
constexpr size_t kMaxTyped = 255;

// The list itself takes Return to open its selection; while the user is typing a name, Return means
// "search now" instead.
class CReturnFilter : public QObject
{
public:
    CReturnFilter(QObject* parent, CMyTypeSearch* search) : QObject(parent), mSearch(search) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || mSearch->GetTyped().empty()) return false;
        mSearch->SearchNow();
        return true;
    }

private:
    CMyTypeSearch* mSearch;
};
} // namespace

CMyTypeSearch::CMyTypeSearch(CLabelView* label, CListView* list, SearchProc search)
    : mLabel(label), mList(list), mSearch(std::move(search))
{
    if (mList && mList->Widget())
    {
        mReturnFilter = new CReturnFilter(mList->Widget(), this);
        mList->Widget()->installEventFilter(mReturnFilter);
    }
}

CMyTypeSearch::~CMyTypeSearch()
{
    // The list's widget may outlive this object by a moment (windows delete their widgets later).
    delete mReturnFilter;
}

bool CMyTypeSearch::KeyDown(const SKeyMsgData& key)
{
    if (key.keyCode == kKeyReturn || key.keyCode == kKeyEnter)
    {
        if (mTyped.empty()) return false;
        SearchNow();
        return true;
    }
    // Keys with Ctrl or Alt are commands, not names.
    if (key.mods & (kModCtrl | kModAlt)) return false;
    if (key.keyChar == 0 || key.keyChar > 0xFF || !UText::IsPrinting(uint8_t(key.keyChar))) return false;
    if (mTyped.size() < kMaxTyped) mTyped.push_back(char(key.keyChar));
    ShowTyped();
    if (!mSearchTimer) mSearchTimer.Reset(UTimer::New(TimerProc, this));
    UTimer::Start(mSearchTimer, kDelayMs, false);
    return true;
}

void CMyTypeSearch::TimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg == kMsgTimer) static_cast<CMyTypeSearch*>(context)->SearchNow();
}

void CMyTypeSearch::SearchNow()
{
    if (mSearchTimer) UTimer::Stop(mSearchTimer);
    if (mTyped.empty()) return;
    uint8_t text[256];
    text[0] = uint8_t(mTyped.size());
    std::memcpy(text + 1, mTyped.data(), mTyped.size());
    mTyped.clear();
    ShowTyped();
    const uint32_t row = mSearch ? mSearch(text) : 0;
    if (!mList) return;
    mList->DeselectAll();
    if (row)
    {
        mList->SelectItem(row);
        mList->ScrollToItem(row);
    }
}

void CMyTypeSearch::ShowTyped()
{
    if (mLabel) mLabel->SetText(mTyped.data(), uint32_t(mTyped.size()));
}
