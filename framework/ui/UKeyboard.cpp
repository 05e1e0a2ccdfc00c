#include "framework/ui/UKeyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <cstring>

#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/UKeyPresses.h"

namespace
{
uint16_t KeyCodeOf(int key, bool keypad)
{
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return uint16_t(kKeyPad0 + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return uint16_t(key); // upper-case ASCII
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return uint16_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return uint16_t(kKeyF1 + (key - Qt::Key_F1));
    switch (key)
    {
    case Qt::Key_Home:
        return kKeyHome;
    case Qt::Key_End:
        return kKeyEnd;
    case Qt::Key_PageUp:
        return kKeyPageUp;
    case Qt::Key_PageDown:
        return kKeyPageDown;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Backspace:
        return kKeyBackspace;
    case Qt::Key_Insert:
        return kKeyInsert;
    case Qt::Key_Delete:
        return kKeyDelete;
    case Qt::Key_Return:
        return kKeyReturn;
    case Qt::Key_Enter:
        return kKeyEnter;
    case Qt::Key_Space:
        return kKeySpace;
    case Qt::Key_Clear:
    case Qt::Key_NumLock:
        return kKeyClear;
    default:
        return 0;
    }
}

class CKeyFilter : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Only the press that reaches the focus widget's window counts; Qt shows the same event to
        // every object on the way.
        QWidget* target =
            QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
            static_cast<QWidget*>(watched) == target)
        {
            SKeyMsgData key;
            // A find bar steps with F3 where it is, although F3 is a command key everywhere else.
            const bool findKey = static_cast<QKeyEvent*>(event)->key() == Qt::Key_F3 &&
                                 target->property(kTakesFindKeys).toBool();
            if (!findKey && UKeyboard::Translate(*static_cast<QKeyEvent*>(event), key) &&
                UKeyCommands::Dispatch(key))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

void DeliverEditKey(void*, void*, uint32_t, const void* data, uint32_t size)
{
    if (size < sizeof(SKeyMsgData)) return;
    SKeyMsgData key;
    memcpy(&key, data, sizeof(key));
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    Qt::KeyboardModifiers mods = (key.mods & kModCtrl) ? Qt::ControlModifier : Qt::NoModifier;
    int qtKey = key.keyCode == kKeyClear ? Qt::Key_Delete : int(Qt::Key_A + (key.keyChar - 'a'));
    QKeyEvent press(QEvent::KeyPress, qtKey, mods);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods);
    QApplication::sendEvent(focus, &press);
    QApplication::sendEvent(focus, &release);
}
} // namespace

bool UKeyboard::Translate(const QKeyEvent& event, SKeyMsgData& outKey)
{
    const Qt::KeyboardModifiers m = event.modifiers();
    outKey.mods = 0;
    if (m & Qt::ControlModifier) outKey.mods |= kModCtrl;
    if (m & Qt::AltModifier) outKey.mods |= kModAlt;
    if (m & Qt::ShiftModifier) outKey.mods |= kModShift;
    outKey.keyCode = KeyCodeOf(event.key(), m & Qt::KeypadModifier);
    outKey.keyChar = 0;
    const QString text = event.text();
    if (text.size() == 1)
    {
        int c = UnicodeToMacRoman(text.at(0).unicode());
        outKey.keyChar = c >= 0 ? uint32_t(c) : 0;
    }
    return outKey.keyCode != 0 || outKey.keyChar != 0;
}

void UKeyboard::Install()
{
    static CKeyFilter* filter = nullptr;
    if (filter || !qApp) return;
    filter = new CKeyFilter;
    qApp->installEventFilter(filter);
    // After the key commands, so that it sees each key first: a key held from before a modal window
    // opened gives no command inside it either.
    UKeyPresses::Install();
}

void UKeyboard::PostEditKey(uint16_t keyChar, uint16_t mods)
{
    SKeyMsgData key{uint16_t(keyChar == 26 ? kKeyClear : 0), mods, keyChar};
    UApplication::PostMessage(kMsgKeyDown, &key, sizeof(key), 0, DeliverEditKey, nullptr, nullptr);
}
