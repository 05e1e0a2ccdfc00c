// Editable or read-only text in the client's character set: a one-line field, a password field, or a
// multi-line text that grows in batches (chat, news) and stays responsive with tens of thousands of lines.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "framework/ui/CView.h"

struct SKeyMsgData;
class QAction;
class QLineEdit;
class QPlainTextEdit;

enum : uint16_t
{
    kTextSingleLine = 0,
    kTextPassword = 1,
    kTextMultiLine = 2,
};

// Hit parts of a text view.
enum : uint16_t
{
    kTextPartEnter = 1,    // Enter or Return, when the Enter key action is on
    kTextPartEnterMod = 2, // the same with Ctrl or Alt held
    kTextPartChanged = 3,  // the text changed, when change hits are on
};

// How a run of a read-only text is drawn. Colours come from the palette, so that they read in light and
// dark themes alike.
enum class ETextMark : uint8_t
{
    Link,    // a link: opens on a click, and from the context menu
    Bold,    // the user's own name on his lines
    Mention, // a line that names the user: tinted behind
    Dim,     // lines of an earlier day or session: greyed
};

// `start` and `length` count bytes of the text they come with.
struct STextRun
{
    uint32_t start;
    uint32_t length;
    ETextMark mark;
};

class CTextView : public CView
{
public:
    CTextView(SViewParent parent, const SRect& bounds, uint16_t mode = kTextSingleLine);

    void SetText(const void* text, uint32_t length);
    void SetText(const uint8_t* pstring);
    // The text in the client's character set, line breaks as carriage returns.
    std::string GetText() const;
    // Into a length-prefixed string of at most maxLength bytes; returns the length.
    uint8_t GetText(uint8_t* outPString, uint8_t maxLength = 255) const;
    uint32_t GetTextSize() const;
    // Without copying the text out, which costs a long chat dearly.
    bool IsEmpty() const;
    // Appends at the end and keeps the view at the end when it was there. A multi-line text takes what
    // is appended in one pass of the run loop as one batch, when the loop next turns: thousands of lines
    // cost one insertion instead of thousands. Whatever reads or changes the text sees the batch first.
    void AppendText(const void* text, uint32_t length);
    // The same with runs drawn as their marks say (they count from the start of `text`). Links the link
    // finder sees are marked as well.
    void AppendText(const void* text, uint32_t length, const std::vector<STextRun>& runs);
    // Shows the end of the text (after the batch that is waiting).
    void ScrollToEnd();
    // Inserts before the first character (the newest article of a news text goes on top); the view
    // keeps showing the top when it showed it.
    void InsertTextAtStart(const void* text, uint32_t length);
    // A multi-line text that grows without end keeps at most `maxLines` lines (0: all of them). The
    // oldest lines go: from the top, or from the bottom of a text whose newest lines go on top (news).
    // They go in blocks, once the text is a tenth over the limit, so that a busy chat does not pay for a
    // trim with every line; between two trims the text may hold up to `maxLines + maxLines / 10` lines.
    // A reader scrolled back keeps the lines he is reading in view.
    void SetLineLimit(uint32_t maxLines, bool newestAtTop = false);
    uint32_t GetLineLimit() const { return mLineLimit; }
    // Lines (paragraphs, not wrapped rows) of a multi-line text, after the batch that is waiting.
    uint32_t GetLineCount() const;
    // The height in pixels that shows the whole text wrapped at `width` pixels, frame included.
    int32_t GetFullHeight(int32_t width) const;
    void SelectAll();

    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    void SetTextSize(uint16_t points);
    // Colours as 16-bit components (0-65535).
    void SetTextColor(uint16_t red, uint16_t green, uint16_t blue);
    void SetBackColor(uint16_t red, uint16_t green, uint16_t blue);
    void SetEnterKeyAction(bool on) { mEnterAction = on; }
    bool GetEnterKeyAction() const { return mEnterAction; }
    void SetChangeHits(bool on) { mChangeHits = on; }
    void SetMaxLength(uint32_t maxLength);
    // A one-line field shows dots instead of its characters (a password typed into it).
    void SetPasswordLook(bool on);
    // The grey hint while the view is empty (ASCII); null removes it.
    void SetPlaceholder(const char* text);
    std::string GetPlaceholder() const;

    // Where the links of a text are: every text put into the view is shown to the finder, which adds a
    // Link run for each link. None by default.
    using LinkFinder = void (*)(const uint8_t* text, uint32_t length, std::vector<STextRun>& outRuns);
    void SetLinkFinder(LinkFinder finder) { mLinkFinder = finder; }
    // What a click on a link (or the context menu's "Open Link") does, with the link's text.
    void SetLinkAction(std::function<void(const std::string& url)> action)
    {
        mLinkAction = std::move(action);
    }
    // The link's text at a character position of the text (after the waiting batch); empty when none.
    std::string LinkAt(uint32_t position) const;
    // Opens the link at that position as a click on it would; false when there is none.
    bool OpenLinkAt(uint32_t position);
    // The link under a point of the widget, for the mouse and the context menu.
    std::string LinkAtPoint(int x, int y) const;

    // Keys the view is given before the edit widget sees them: true when taken.
    void SetKeyFilter(std::function<bool(const SKeyMsgData&)> filter) { mKeyFilter = std::move(filter); }
    bool FilterKey(const SKeyMsgData& key) { return mKeyFilter && mKeyFilter(key); }
    // Puts the insertion point at the end of the text.
    void MoveCursorToEnd();
    // The insertion point, in characters from the start.
    uint32_t GetCursorPosition() const;
    void SetCursorPosition(uint32_t position);

    // Find: every match of `needle` is marked, one of them (`current`, from 0) stronger and brought into
    // view. Returns the number of matches; an empty needle clears the marks.
    uint32_t MarkMatches(const QString& needle, bool caseSensitive, int32_t current);
    // The start of each match of the last MarkMatches, in characters.
    const std::vector<int>& GetMatches() const { return mMatches; }
    // Characters typed into an editable view that the client's character set lacks would go out as '?':
    // the view marks them (a wavy underline, or a warning sign in a one-line field) as they are typed,
    // and senders ask before sending them. This is how many there are.
    uint32_t CountUnencodable() const;

    bool IsMultiLine() const { return mMode == kTextMultiLine; }
    QLineEdit* LineEdit() const;
    QPlainTextEdit* TextEdit() const;

    // Called by the widget: true when Enter was taken.
    bool EnterPressed(bool withModifier);
    // Called by the widget for a click that did not select anything.
    bool LinkClicked(int x, int y);
    // Called by the widget: the context menu's link entries for a point, before the standard ones.
    void AddLinkActions(class QMenu* menu, int x, int y);

private:
    void Changed();
    void MarkUnencodable();
    void ApplyColors();
    void FlushAppended() const;
    // Marks the runs (and the links the finder sees) of the text inserted at `base`.
    void ApplyRuns(int base, const QString& text, const std::vector<STextRun>& runs, bool findLinks) const;
    // Trims to the line limit once the text is past its slack; true when lines went.
    bool TrimLines() const;

    uint16_t mMode;
    bool mEnterAction = false;
    bool mChangeHits = false;
    mutable bool mSettingText = false;
    bool mHasText = false, mHasBack = false;
    uint16_t mText[3] = {}, mBack[3] = {};
    // Appended text waiting for the run loop's next turn, and whether to show the end after it.
    mutable QString mAppended;
    mutable std::vector<STextRun> mAppendedRuns;
    mutable bool mScrollAfterAppend = false;
    bool mFlushQueued = false;
    QAction* mUnencodableSign = nullptr;
    bool mUnencodableTip = false;
    uint32_t mLineLimit = 0;
    bool mNewestAtTop = false;
    LinkFinder mLinkFinder = nullptr;
    std::function<void(const std::string&)> mLinkAction;
    std::function<bool(const SKeyMsgData&)> mKeyFilter;
    std::vector<int> mMatches;
    int mMatchLength = 0;
};
