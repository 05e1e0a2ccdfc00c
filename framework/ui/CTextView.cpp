#include "framework/ui/CTextView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <type_traits>
#include <vector>

#include "framework/runtime/KeyCommands.h"
#include "framework/ui/UKeyboard.h"

#include "framework/runtime/UPString.h"
#include "framework/ui/CTabPlace.h"
#include "framework/ui/UColors.h"
#include "framework/ui/UiText.h"

namespace
{
// Characters of batch room a text view keeps between batches (two bytes each).
constexpr qsizetype kKeptBatchRoom = 512 * 1024;

// The edit widgets exist before their view does; the view introduces itself right after.
struct SEnterOwner
{
    CTextView* owner = nullptr;
};

template <class TBase>
class TEnterEdit : public TBase, public SEnterOwner
{
protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        SKeyMsgData key;
        if (owner && UKeyboard::Translate(*event, key) && owner->FilterKey(key))
        {
            event->accept();
            return;
        }
        const int k = event->key();
        if ((k == Qt::Key_Return || k == Qt::Key_Enter) && owner &&
            owner->EnterPressed(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        {
            event->accept();
            return;
        }
        // Ctrl+Return in a box of several lines belongs to the window, which sends (its default
        // button), as in the desktop's other programs; plain Return still breaks the line.
        if ((k == Qt::Key_Return || k == Qt::Key_Enter) && (event->modifiers() & Qt::ControlModifier) &&
            std::is_same_v<TBase, QPlainTextEdit>)
        {
            event->ignore();
            return;
        }
        TBase::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        mPressAt = event->position().toPoint();
        TBase::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        TBase::mouseReleaseEvent(event);
        if constexpr (std::is_same_v<TBase, QPlainTextEdit>)
        {
            // A click opens a link; a press dragged over text to select it does not.
            const QPoint at = event->position().toPoint();
            if (owner && event->button() == Qt::LeftButton && (at - mPressAt).manhattanLength() < 4 &&
                !this->textCursor().hasSelection())
                owner->LinkClicked(at.x(), at.y());
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        TBase::mouseMoveEvent(event);
        if constexpr (std::is_same_v<TBase, QPlainTextEdit>)
        {
            const QPoint at = event->position().toPoint();
            const bool onLink = owner && !owner->LinkAtPoint(at.x(), at.y()).empty();
            this->viewport()->setCursor(onLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        }
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if constexpr (std::is_same_v<TBase, QPlainTextEdit>)
        {
            std::unique_ptr<QMenu> menu(this->createStandardContextMenu(event->pos()));
            if (owner)
            {
                // From the keyboard the menu is for the insertion point, not for where the mouse is.
                QPoint at = event->pos();
                if (event->reason() == QContextMenuEvent::Keyboard) at = this->cursorRect().center();
                owner->AddLinkActions(menu.get(), at.x(), at.y());
            }
            CTabPlace::AddWayBack(this, menu.get());
            menu->exec(event->globalPos());
            return;
        }
        TBase::contextMenuEvent(event);
    }

private:
    QPoint mPressAt;
};

QColor ToColor(const uint16_t rgb[3])
{
    return QColor::fromRgb(rgb[0] >> 8, rgb[1] >> 8, rgb[2] >> 8);
}

QWidget* MakeEdit(uint16_t mode)
{
    if (mode == kTextMultiLine)
    {
        auto* edit = new TEnterEdit<QPlainTextEdit>;
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // Long chat and news texts: no undo history grows behind them.
        edit->setUndoRedoEnabled(false);
        return edit;
    }
    auto* line = new TEnterEdit<QLineEdit>;
    if (mode == kTextPassword) line->setEchoMode(QLineEdit::Password);
    return line;
}
} // namespace

CTextView::CTextView(SViewParent parent, const SRect& bounds, uint16_t mode)
    : CView(parent, bounds, MakeEdit(mode)), mMode(mode)
{
    dynamic_cast<SEnterOwner*>(Widget())->owner = this;
    if (mode == kTextMultiLine)
        QObject::connect(TextEdit(), &QPlainTextEdit::textChanged, [this] { Changed(); });
    else
        QObject::connect(LineEdit(), &QLineEdit::textChanged, [this] { Changed(); });
}

QLineEdit* CTextView::LineEdit() const
{
    return mMode == kTextMultiLine ? nullptr : static_cast<QLineEdit*>(Widget());
}

QPlainTextEdit* CTextView::TextEdit() const
{
    return mMode == kTextMultiLine ? static_cast<QPlainTextEdit*>(Widget()) : nullptr;
}

void CTextView::SetText(const void* text, uint32_t length)
{
    mAppended.clear();
    mAppendedRuns.clear();
    mScrollAfterAppend = false;
    mSettingText = true;
    const QString s = ToQString(text, length);
    if (QPlainTextEdit* e = TextEdit())
    {
        e->setPlainText(s);
        if (mLinkFinder && text) ApplyRuns(0, s, {}, true);
    }
    else
        LineEdit()->setText(s);
    mSettingText = false;
    TrimLines();
}

void CTextView::SetText(const uint8_t* pstring)
{
    if (pstring)
        SetText(pstring + 1, pstring[0]);
    else
        SetText(nullptr, 0);
}

std::string CTextView::GetText() const
{
    FlushAppended();
    return FromQString(TextEdit() ? TextEdit()->toPlainText() : LineEdit()->text());
}

uint8_t CTextView::GetText(uint8_t* outPString, uint8_t maxLength) const
{
    const std::string s = GetText();
    return UPString::SetBytes(outPString, uint32_t(maxLength) + 1, s.data(), uint32_t(s.size()));
}

uint32_t CTextView::GetTextSize() const
{
    return uint32_t(GetText().size());
}

bool CTextView::IsEmpty() const
{
    if (QLineEdit* line = LineEdit()) return line->text().isEmpty();
    return mAppended.isEmpty() && TextEdit()->document()->isEmpty();
}

void CTextView::AppendText(const void* text, uint32_t length)
{
    static const std::vector<STextRun> kNoRuns;
    AppendText(text, length, kNoRuns);
}

void CTextView::AppendText(const void* text, uint32_t length, const std::vector<STextRun>& runs)
{
    if (QLineEdit* line = LineEdit())
    {
        line->setText(line->text() + ToQString(text, length));
        return;
    }
    // Every byte of the client's character set is one character of the widget's text, so byte offsets
    // are character offsets.
    const auto base = uint32_t(mAppended.size());
    AppendToQString(mAppended, text, length);
    const uint32_t size = uint32_t(mAppended.size()) - base;
    for (STextRun run : runs)
    {
        if (run.start >= size) continue;
        run.length = std::min<uint32_t>(run.length, size - run.start);
        run.start += base;
        mAppendedRuns.push_back(run);
    }
    if (mLinkFinder && text)
    {
        const size_t before = mAppendedRuns.size();
        mLinkFinder(static_cast<const uint8_t*>(text), length, mAppendedRuns);
        for (size_t i = before; i < mAppendedRuns.size(); ++i)
            mAppendedRuns[i].start += base;
    }
    if (mFlushQueued) return;
    mFlushQueued = true;
    // Dropped with the widget if it goes first.
    QMetaObject::invokeMethod(
        Widget(),
        [this]
        {
            mFlushQueued = false;
            FlushAppended();
        },
        Qt::QueuedConnection);
}

void CTextView::FlushAppended() const
{
    QPlainTextEdit* e = TextEdit();
    if (!e || mAppended.isEmpty()) return;
    QScrollBar* bar = e->verticalScrollBar();
    const bool toEnd = mScrollAfterAppend || bar->value() >= bar->maximum() - 2;
    mSettingText = true;
    QTextCursor c(e->document());
    c.movePosition(QTextCursor::End);
    const int base = c.position();
    // One edit: the layout is told of the batch and its marks once, not once for every link in it.
    c.beginEditBlock();
    // A plain format: the end of the text would otherwise lend the new text the look of its last run.
    c.insertText(mAppended, QTextCharFormat());
    if (!mAppendedRuns.empty()) ApplyRuns(base, mAppended, mAppendedRuns, false);
    c.endEditBlock();
    mSettingText = false;
    // A busy chat fills the batch again at once: its room stays, unless one large text made it large.
    if (mAppended.capacity() > kKeptBatchRoom)
        mAppended.clear();
    else
        mAppended.resize(0);
    mAppendedRuns.clear();
    mScrollAfterAppend = false;
    if (toEnd)
    {
        TrimLines();
        bar->setValue(bar->maximum());
        return;
    }
    // The scroll bar counts rows from the top: rows trimmed above the reader come off its value.
    const int value = bar->value(), rowsBefore = e->document()->lineCount();
    if (TrimLines() && !mNewestAtTop)
        bar->setValue(std::max(0, value - (rowsBefore - e->document()->lineCount())));
}

bool CTextView::TrimLines() const
{
    QPlainTextEdit* e = TextEdit();
    if (!e || !mLineLimit) return false;
    QTextDocument* doc = e->document();
    const int count = doc->blockCount();
    const int limit = int(std::min<uint32_t>(mLineLimit, INT32_MAX / 2));
    if (count <= limit + std::max(1, limit / 10)) return false;
    QTextCursor c(doc);
    if (!mNewestAtTop)
    {
        // Up to the first kept line, so that its line break goes with the last line trimmed.
        c.setPosition(doc->findBlockByNumber(count - limit).position(), QTextCursor::KeepAnchor);
    }
    else
    {
        // From the last kept line's end, so that the line break before the first trimmed line goes too.
        const QTextBlock last = doc->findBlockByNumber(limit - 1);
        c.setPosition(last.position() + last.length() - 1);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    mSettingText = true;
    c.removeSelectedText();
    mSettingText = false;
    return true;
}

void CTextView::SetLineLimit(uint32_t maxLines, bool newestAtTop)
{
    mLineLimit = maxLines;
    mNewestAtTop = newestAtTop;
    // A lower limit holds from now, not from the next line.
    FlushAppended();
    TrimLines();
}

uint32_t CTextView::GetLineCount() const
{
    QPlainTextEdit* e = TextEdit();
    if (!e) return 1;
    FlushAppended();
    return uint32_t(e->document()->blockCount());
}

void CTextView::ScrollToEnd()
{
    if (!mAppended.isEmpty())
        mScrollAfterAppend = true;
    else if (QPlainTextEdit* e = TextEdit())
        e->verticalScrollBar()->setValue(e->verticalScrollBar()->maximum());
    else
        LineEdit()->end(false);
}

void CTextView::InsertTextAtStart(const void* text, uint32_t length)
{
    const QString s = ToQString(text, length);
    if (QLineEdit* line = LineEdit())
    {
        line->setText(s + line->text());
        return;
    }
    // Lines waiting to be appended belong below what goes on top.
    FlushAppended();
    QPlainTextEdit* e = TextEdit();
    QScrollBar* bar = e->verticalScrollBar();
    const bool atTop = bar->value() <= bar->minimum();
    mSettingText = true;
    QTextCursor c(e->document());
    c.movePosition(QTextCursor::Start);
    c.insertText(s, QTextCharFormat());
    if (mLinkFinder && text) ApplyRuns(0, s, {}, true);
    mSettingText = false;
    TrimLines();
    if (atTop) bar->setValue(bar->minimum());
}

int32_t CTextView::GetFullHeight(int32_t width) const
{
    const QPlainTextEdit* e = TextEdit();
    if (!e) return Widget()->sizeHint().height();
    FlushAppended();
    // A copy of the text laid out as the view lays it out, at the asked width.
    const int frame = 2 * e->frameWidth();
    QTextDocument doc;
    doc.setDefaultFont(e->font());
    doc.setDocumentMargin(e->document()->documentMargin());
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    doc.setPlainText(e->toPlainText());
    doc.setTextWidth(std::max(1, width - frame));
    return int32_t(std::ceil(doc.size().height())) + frame;
}

void CTextView::SelectAll()
{
    FlushAppended();
    if (QPlainTextEdit* e = TextEdit())
        e->selectAll();
    else
        LineEdit()->selectAll();
}

void CTextView::SetReadOnly(bool readOnly)
{
    if (QPlainTextEdit* e = TextEdit())
        e->setReadOnly(readOnly);
    else
        LineEdit()->setReadOnly(readOnly);
}

bool CTextView::IsReadOnly() const
{
    return TextEdit() ? TextEdit()->isReadOnly() : LineEdit()->isReadOnly();
}

void CTextView::SetTextSize(uint16_t points)
{
    if (!points) return;
    QFont f = Widget()->font();
    f.setPointSize(points);
    Widget()->setFont(f);
}

void CTextView::SetTextColor(uint16_t red, uint16_t green, uint16_t blue)
{
    mText[0] = red, mText[1] = green, mText[2] = blue;
    mHasText = true;
    ApplyColors();
}

void CTextView::SetBackColor(uint16_t red, uint16_t green, uint16_t blue)
{
    mBack[0] = red, mBack[1] = green, mBack[2] = blue;
    mHasBack = true;
    ApplyColors();
}

void CTextView::ApplyColors()
{
    // Both colours are the user's choice together: setting only one could leave text unreadable on the
    // theme's background, so an unset one is taken as the opposite of the other's brightness.
    QPalette p = Widget()->palette();
    QColor text = mHasText ? ToColor(mText) : p.color(QPalette::Text);
    QColor back = mHasBack ? ToColor(mBack) : p.color(QPalette::Base);
    if (mHasText != mHasBack)
    {
        if (!mHasBack) back = text.lightness() < 128 ? Qt::white : Qt::black;
        if (!mHasText) text = back.lightness() < 128 ? Qt::white : Qt::black;
    }
    // The user's colours stay as chosen unless the text could not be read on the background, which a
    // pair chosen under another theme, or by mistake, can give.
    if (mHasText || mHasBack) text = UColors::Readable(text, back);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Base, back);
    Widget()->setPalette(p);
}

void CTextView::SetMaxLength(uint32_t maxLength)
{
    if (QLineEdit* line = LineEdit()) line->setMaxLength(int(std::min<uint32_t>(maxLength, 32767)));
}

void CTextView::SetPasswordLook(bool on)
{
    if (QLineEdit* line = LineEdit()) line->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

void CTextView::SetPlaceholder(const char* text)
{
    const QString hint = text ? QString::fromLatin1(text) : QString();
    if (QLineEdit* line = LineEdit())
        line->setPlaceholderText(hint);
    else
        TextEdit()->setPlaceholderText(hint);
}

std::string CTextView::GetPlaceholder() const
{
    return (LineEdit() ? LineEdit()->placeholderText() : TextEdit()->placeholderText()).toStdString();
}

void CTextView::ApplyRuns(int base, const QString& text, const std::vector<STextRun>& given,
                          bool findLinks) const
{
    QPlainTextEdit* e = TextEdit();
    std::vector<STextRun> runs = given;
    if (mLinkFinder && findLinks)
    {
        // Texts set or put on top in one piece: their links are found here, from their own bytes.
        const std::string bytes = FromQString(text);
        if (bytes.size() == size_t(text.size()))
            mLinkFinder(reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()), runs);
    }
    const QPalette& palette = e->palette();
    QTextCursor c(e->document());
    for (const STextRun& run : runs)
    {
        if (!run.length || run.start >= uint32_t(text.size())) continue;
        QTextCharFormat format;
        switch (run.mark)
        {
        case ETextMark::Link:
            format.setAnchor(true);
            format.setAnchorHref(text.mid(qsizetype(run.start), qsizetype(run.length)));
            format.setForeground(palette.color(QPalette::Link));
            format.setFontUnderline(true);
            break;
        case ETextMark::Bold:
            format.setFontWeight(QFont::Bold);
            break;
        case ETextMark::Mention:
        {
            // A light wash of the selection colour: the text keeps its own colour and its contrast.
            const QColor high = palette.color(QPalette::Highlight), back = palette.color(QPalette::Base);
            format.setBackground(QColor::fromRgbF(0.7f * back.redF() + 0.3f * high.redF(),
                                                  0.7f * back.greenF() + 0.3f * high.greenF(),
                                                  0.7f * back.blueF() + 0.3f * high.blueF()));
            break;
        }
        case ETextMark::Dim:
            format.setForeground(palette.color(QPalette::PlaceholderText));
            break;
        }
        c.setPosition(base + int(run.start));
        c.setPosition(base + int(std::min<uint32_t>(run.start + run.length, uint32_t(text.size()))),
                      QTextCursor::KeepAnchor);
        c.mergeCharFormat(format);
    }
}

std::string CTextView::LinkAt(uint32_t position) const
{
    QPlainTextEdit* e = TextEdit();
    if (!e) return {};
    FlushAppended();
    QTextDocument* doc = e->document();
    if (position >= uint32_t(doc->characterCount())) return {};
    const QTextBlock block = doc->findBlock(int(position));
    for (auto it = block.begin(); !it.atEnd(); ++it)
    {
        const QTextFragment f = it.fragment();
        if (int(position) >= f.position() && int(position) < f.position() + f.length())
            return f.charFormat().isAnchor() ? FromQString(f.charFormat().anchorHref()) : std::string();
    }
    return {};
}

bool CTextView::OpenLinkAt(uint32_t position)
{
    const std::string url = LinkAt(position);
    if (url.empty() || !mLinkAction) return false;
    mLinkAction(url);
    return true;
}

std::string CTextView::LinkAtPoint(int x, int y) const
{
    QPlainTextEdit* e = TextEdit();
    if (!e) return {};
    const QString href = e->anchorAt(QPoint(x, y));
    return href.isEmpty() ? std::string() : FromQString(href);
}

bool CTextView::LinkClicked(int x, int y)
{
    const std::string url = LinkAtPoint(x, y);
    if (url.empty() || !mLinkAction) return false;
    mLinkAction(url);
    return true;
}

void CTextView::AddLinkActions(QMenu* menu, int x, int y)
{
    const std::string url = LinkAtPoint(x, y);
    if (url.empty() || !mLinkAction) return;
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
    auto* open = new QAction(QStringLiteral("Open Link"), menu);
    auto* copy = new QAction(QStringLiteral("Copy Link"), menu);
    // The menu runs its own loop: the view may go meanwhile, the text it holds may not.
    QObject::connect(open, &QAction::triggered, menu, [this, url] { mLinkAction(url); });
    const QString text = ToQString(url.data(), uint32_t(url.size()));
    QObject::connect(copy, &QAction::triggered, menu, [text] { QApplication::clipboard()->setText(text); });
    menu->insertAction(first, open);
    menu->insertAction(first, copy);
    if (first) menu->insertSeparator(first);
}

void CTextView::MoveCursorToEnd()
{
    if (QPlainTextEdit* e = TextEdit())
        e->moveCursor(QTextCursor::End);
    else
        LineEdit()->end(false);
}

uint32_t CTextView::GetCursorPosition() const
{
    if (QPlainTextEdit* e = TextEdit()) return uint32_t(e->textCursor().position());
    return uint32_t(LineEdit()->cursorPosition());
}

void CTextView::SetCursorPosition(uint32_t position)
{
    if (QPlainTextEdit* e = TextEdit())
    {
        QTextCursor c = e->textCursor();
        c.setPosition(std::min(int(position), e->document()->characterCount() - 1));
        e->setTextCursor(c);
    }
    else
        LineEdit()->setCursorPosition(int(position));
}

uint32_t CTextView::MarkMatches(const QString& needle, bool caseSensitive, int32_t current)
{
    QPlainTextEdit* e = TextEdit();
    mMatches.clear();
    mMatchLength = int(needle.size());
    if (!e) return 0;
    FlushAppended();
    QList<QTextEdit::ExtraSelection> marks;
    if (!needle.isEmpty())
    {
        // One search over the plain text is far quicker than the document's own find, match by match.
        const QString all = e->document()->toPlainText();
        const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype at = all.indexOf(needle, 0, cs); at >= 0;
             at = all.indexOf(needle, at + needle.size(), cs))
            mMatches.push_back(int(at));
    }
    if (mMatches.empty())
    {
        e->setExtraSelections(marks);
        return 0;
    }
    current = std::clamp<int32_t>(current, 0, int32_t(mMatches.size()) - 1);
    const QPalette& palette = e->palette();
    QTextCharFormat weak, strong;
    const QColor high = palette.color(QPalette::Highlight), back = palette.color(QPalette::Base);
    weak.setBackground(QColor::fromRgbF(0.6f * back.redF() + 0.4f * high.redF(),
                                        0.6f * back.greenF() + 0.4f * high.greenF(),
                                        0.6f * back.blueF() + 0.4f * high.blueF()));
    strong.setBackground(high);
    strong.setForeground(palette.color(QPalette::HighlightedText));
    // Drawing looks at every mark for every line it shows: a few thousand around the current one are
    // what a reader can see anyway.
    constexpr int kMaxMarks = 2000;
    const int from = std::max(0, int(current) - kMaxMarks / 2);
    const int to = std::min(int(mMatches.size()), from + kMaxMarks);
    QTextCursor currentCursor;
    for (int i = from; i < to; ++i)
    {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(e->document());
        mark.cursor.setPosition(mMatches[size_t(i)]);
        mark.cursor.setPosition(mMatches[size_t(i)] + mMatchLength, QTextCursor::KeepAnchor);
        mark.format = i == current ? strong : weak;
        if (i == current) currentCursor = mark.cursor;
        marks.push_back(mark);
    }
    e->setExtraSelections(marks);
    // Into view without moving the selection a reader may have made.
    QTextCursor keep = e->textCursor();
    currentCursor.clearSelection();
    e->setTextCursor(currentCursor);
    e->ensureCursorVisible();
    if (keep.hasSelection()) e->setTextCursor(keep);
    return uint32_t(mMatches.size());
}

bool CTextView::EnterPressed(bool withMod)
{
    if (!mEnterAction) return false;
    Hit(withMod ? kTextPartEnterMod : kTextPartEnter, CurrentMods());
    return true;
}

void CTextView::Changed()
{
    MarkUnencodable();
    if (mChangeHits && !mSettingText) Hit(kTextPartChanged, 0);
}

uint32_t CTextView::CountUnencodable() const
{
    return uint32_t(FindUnencodable(TextEdit() ? TextEdit()->toPlainText() : LineEdit()->text()).size());
}

void CTextView::MarkUnencodable()
{
    // Only what the user types can hold such characters: text the client shows came from its own set,
    // and the long chat and news texts are not searched again at every line.
    if (IsReadOnly()) return;
    if (QPlainTextEdit* e = TextEdit())
    {
        const std::vector<SUnencodable> found = FindUnencodable(e->toPlainText());
        QList<QTextEdit::ExtraSelection> marks;
        for (const SUnencodable& f : found)
        {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(e->document());
            mark.cursor.setPosition(int(f.start));
            mark.cursor.setPosition(int(f.start + f.length), QTextCursor::KeepAnchor);
            mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            mark.format.setUnderlineColor(Qt::red);
            marks.push_back(mark);
        }
        if (!marks.isEmpty() || !e->extraSelections().isEmpty()) e->setExtraSelections(marks);
        // The tooltip is only taken over while there is something to say, and given back after.
        if (!found.empty() || mUnencodableTip)
        {
            mUnencodableTip = !found.empty();
            e->setToolTip(mUnencodableTip ? QStringLiteral("The underlined characters cannot be sent as they "
                                                           "are: each would go as \"?\".")
                                          : QString());
        }
        return;
    }
    QLineEdit* line = LineEdit();
    const QString text = line->text();
    const std::vector<SUnencodable> found = FindUnencodable(text);
    if (found.empty() && !mUnencodableSign) return;
    if (!mUnencodableSign)
        mUnencodableSign = line->addAction(line->style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                           QLineEdit::TrailingPosition);
    mUnencodableSign->setVisible(!found.empty());
    QString tip = QStringLiteral("Cannot be sent as typed: each would go as \"?\"");
    // A password's characters are not spelled out in a tooltip.
    if (line->echoMode() == QLineEdit::Normal)
    {
        tip += QStringLiteral(":");
        for (const SUnencodable& f : found)
            tip += QChar(' ') + text.mid(f.start, f.length);
    }
    else
        tip += QChar('.');
    mUnencodableSign->setToolTip(tip);
}
