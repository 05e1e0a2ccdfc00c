// The find bar of a read-only text (chat, news, messages): it sits over the text's top right corner,
// finds as the user types, marks every match, steps through them with F3, Shift+F3, Return and
// Shift+Return, and says where it is ("3 of 17"). Case is ignored unless the user asks otherwise.
#pragma once

#include <QString>
#include <cstdint>

class CTextView;
class CWindow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

class CFindBar
{
public:
    // Made with new, it belongs to the text's widget and goes with it.
    static CFindBar* Attach(CTextView* text);

    void Open();
    void Close();
    bool IsOpen() const;
    // What to find; finds at once, as typing it would.
    void SetNeedle(const QString& needle);
    void SetCaseSensitive(bool on);
    void Next();
    void Previous();
    // "3 of 17", "No matches", or empty while nothing is looked for.
    QString Status() const;
    uint32_t Count() const { return mCount; }
    int32_t Current() const { return mCurrent; }
    QLineEdit* Entry() const { return mEntry; }

    // The bar of the window's text that has the keyboard focus, else its first one, opened; false when
    // the window has none.
    static bool OpenIn(CWindow* window);
    static CFindBar* Of(CTextView* text);

private:
    explicit CFindBar(CTextView* text);
    ~CFindBar() = default;
    void Search(int32_t current);
    void Step(int32_t by);
    bool Key(int key, bool shift);

    CTextView* mText;
    QWidget* mBar;
    QLineEdit* mEntry;
    QLabel* mStatus;
    QCheckBox* mCase;
    uint32_t mCount = 0;
    int32_t mCurrent = 0;
};
