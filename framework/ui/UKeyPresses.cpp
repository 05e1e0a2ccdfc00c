#include "framework/ui/UKeyPresses.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <unordered_map>

#include "framework/ui/CWindow.h"

namespace
{
struct SKeyState
{
    uint64_t press = 0;
    uint64_t releasedAt = 0; // the time stamp of its last release, 0 when it had none
};

std::unordered_map<int, SKeyState>& Keys()
{
    static std::unordered_map<int, SKeyState> keys;
    return keys;
}

uint64_t gLastPress = 0;

class CKeyPressFilter : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) ||
            !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        // Qt shows an event that a widget leaves to every parent on the way up: it is counted once. A
        // later event may take the same address, but it starts at a widget again, not at the parent.
        const bool goesUp = event == mEvent && widget == mParent;
        mEvent = event;
        mParent = widget->parentWidget();
        if (!goesUp) mPress = UKeyPresses::Count(*static_cast<QKeyEvent*>(event));
        CWindow* window = CWindow::FromWidget(widget);
        if (!window || window->TakesKeyPress(mPress)) return false;
        // Accepted, so that the event goes no further up either.
        event->accept();
        return true;
    }

private:
    // Only compared, never followed.
    const QEvent* mEvent = nullptr;
    const QWidget* mParent = nullptr;
    uint64_t mPress = 0;
};
} // namespace

void UKeyPresses::Install()
{
    static CKeyPressFilter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new CKeyPressFilter;
    qApp->installEventFilter(filter);
}

uint64_t UKeyPresses::NextPress()
{
    return gLastPress + 1;
}

uint64_t UKeyPresses::Count(const QKeyEvent& event)
{
    SKeyState& key = Keys()[event.key()];
    const uint64_t stamp = event.timestamp();
    if (event.type() == QEvent::KeyRelease)
    {
        if (!event.isAutoRepeat()) key.releasedAt = stamp;
        return key.press;
    }
    // Whether the key is still down cannot be told from the presses alone: the release of a key that
    // closed its window goes to no window and never arrives.
    if (!event.isAutoRepeat() && (stamp == 0 || stamp != key.releasedAt)) key.press = ++gLastPress;
    return key.press;
}
