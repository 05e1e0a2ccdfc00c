#include "framework/ui/CTextView.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
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
#include <type_traits>
#include <vector>

#include "framework/runtime/UPString.h"
#include "framework/ui/UColors.h"
#include "framework/ui/UiText.h"

namespace
{
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
    mScrollAfterAppend = false;
    mSettingText = true;
    const QString s = ToQString(text, length);
    if (QPlainTextEdit* e = TextEdit())
        e->setPlainText(s);
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
    const QString s = ToQString(text, length);
    if (QLineEdit* line = LineEdit())
    {
        line->setText(line->text() + s);
        return;
    }
    mAppended += s;
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
    c.insertText(mAppended);
    mSettingText = false;
    mAppended.clear();
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
    c.insertText(s);
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
    if (QLineEdit* line = LineEdit()) line->setPlaceholderText(text ? QString::fromLatin1(text) : QString());
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
