#include "framework/ui/CFindBar.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVariant>
#include <algorithm>
#include <functional>

#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UKeyboard.h"

namespace
{
constexpr char kBarProperty[] = "quenvolFindBar";

// Keeps the bar in the text's top right corner, and takes its keys.
class CFindBarHost : public QObject
{
public:
    CFindBarHost(QObject* parent, std::function<void()> place, std::function<bool(int, bool)> key)
        : QObject(parent), mPlace(std::move(place)), mKey(std::move(key))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) mPlace();
        if (event->type() == QEvent::KeyPress)
        {
            auto* key = static_cast<QKeyEvent*>(event);
            if (mKey(key->key(), key->modifiers() & Qt::ShiftModifier)) return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> mPlace;
    std::function<bool(int, bool)> mKey;
};
} // namespace

CFindBar* CFindBar::Attach(CTextView* text)
{
    if (CFindBar* bar = Of(text)) return bar;
    auto* bar = new CFindBar(text);
    QObject::connect(bar->mBar, &QObject::destroyed, [bar] { delete bar; });
    return bar;
}

CFindBar::CFindBar(CTextView* text) : mText(text)
{
    QPlainTextEdit* edit = text->TextEdit();
    mBar = new QWidget(edit);
    mBar->setAutoFillBackground(true);
    mBar->setProperty(kBarProperty, QVariant::fromValue<void*>(this));
    auto* row = new QHBoxLayout(mBar);
    row->setContentsMargins(4, 2, 4, 2);
    mEntry = new QLineEdit(mBar);
    mEntry->setPlaceholderText(QStringLiteral("Find"));
    mStatus = new QLabel(mBar);
    mCase = new QCheckBox(QStringLiteral("Aa"), mBar);
    mCase->setToolTip(QStringLiteral("Match case"));
    auto button = [this](const char* text, const char* tip, auto action)
    {
        auto* b = new QToolButton(mBar);
        b->setText(QString::fromUtf8(text));
        b->setToolTip(QString::fromUtf8(tip));
        b->setAutoRaise(true);
        QObject::connect(b, &QToolButton::clicked, mBar, action);
        return b;
    };
    row->addWidget(mEntry);
    row->addWidget(mStatus);
    row->addWidget(mCase);
    row->addWidget(button("\u2191", "Previous (Shift+F3)", [this] { Previous(); }));
    row->addWidget(button("\u2193", "Next (F3)", [this] { Next(); }));
    row->addWidget(button("\u00D7", "Close (Escape)", [this] { Close(); }));
    mBar->hide();

    auto place = [this]
    {
        QPlainTextEdit* e = mText->TextEdit();
        const QSize size = mBar->sizeHint();
        const int width = std::min(size.width() + 80, std::max(120, e->viewport()->width() - 4));
        mBar->setGeometry(e->width() - width - e->frameWidth() - 2, e->frameWidth(), width, size.height());
    };
    auto key = [this](int k, bool shift) { return Key(k, shift); };
    auto* host = new CFindBarHost(mBar, place, key);
    edit->installEventFilter(host);
    mEntry->installEventFilter(host);
    edit->setProperty(kTakesFindKeys, true);
    mEntry->setProperty(kTakesFindKeys, true);
    QObject::connect(mEntry, &QLineEdit::textChanged, mBar, [this] { Search(0); });
    QObject::connect(mCase, &QCheckBox::toggled, mBar, [this] { Search(mCurrent); });
}

bool CFindBar::Key(int key, bool shift)
{
    const bool inEntry = mEntry->hasFocus();
    if (key == Qt::Key_F3)
    {
        if (!IsOpen()) Open();
        shift ? Previous() : Next();
        return true;
    }
    if (inEntry && (key == Qt::Key_Return || key == Qt::Key_Enter))
    {
        shift ? Previous() : Next();
        return true;
    }
    if (key == Qt::Key_Escape && IsOpen())
    {
        Close();
        return true;
    }
    return false;
}

void CFindBar::Open()
{
    // The clear button's icon comes from the desktop's icon theme, a lookup that costs every window with
    // a text a few milliseconds at start-up: it is made when a bar is first opened.
    if (!mEntry->isClearButtonEnabled()) mEntry->setClearButtonEnabled(true);
    mBar->show();
    mBar->raise();
    QResizeEvent resize(mText->TextEdit()->size(), mText->TextEdit()->size());
    QCoreApplication::sendEvent(mText->TextEdit(), &resize);
    mEntry->setFocus();
    mEntry->selectAll();
    if (!mEntry->text().isEmpty()) Search(mCurrent);
}

void CFindBar::Close()
{
    mBar->hide();
    mText->MarkMatches(QString(), false, 0);
    mCount = 0;
    mText->TextEdit()->setFocus();
}

bool CFindBar::IsOpen() const
{
    return mBar->isVisible() || !mBar->isHidden();
}

void CFindBar::SetNeedle(const QString& needle)
{
    mEntry->setText(needle);
}

void CFindBar::SetCaseSensitive(bool on)
{
    mCase->setChecked(on);
}

void CFindBar::Next()
{
    Step(1);
}

void CFindBar::Previous()
{
    Step(-1);
}

void CFindBar::Step(int32_t by)
{
    if (!mCount) return;
    Search(int32_t((mCurrent + by + int32_t(mCount)) % int32_t(mCount)));
}

void CFindBar::Search(int32_t current)
{
    mCount = mText->MarkMatches(mEntry->text(), mCase->isChecked(), current);
    mCurrent = mCount ? std::clamp<int32_t>(current, 0, int32_t(mCount) - 1) : 0;
    mStatus->setText(Status());
}

QString CFindBar::Status() const
{
    if (mEntry->text().isEmpty()) return QString();
    if (!mCount) return QStringLiteral("No matches");
    return QStringLiteral("%1 of %2").arg(mCurrent + 1).arg(mCount);
}

CFindBar* CFindBar::Of(CTextView* text)
{
    if (!text || !text->TextEdit()) return nullptr;
    for (QObject* child : text->TextEdit()->children())
        if (void* bar = child->property(kBarProperty).value<void*>()) return static_cast<CFindBar*>(bar);
    return nullptr;
}

bool CFindBar::OpenIn(CWindow* window)
{
    if (!window) return false;
    CFindBar* first = nullptr;
    CFindBar* focused = nullptr;
    for (QPlainTextEdit* edit : window->Widget()->findChildren<QPlainTextEdit*>())
    {
        auto* text = dynamic_cast<CTextView*>(CView::FromWidget(edit));
        CFindBar* bar = Of(text);
        if (!bar) continue;
        if (!first) first = bar;
        if (edit->hasFocus()) focused = bar;
    }
    CFindBar* bar = focused ? focused : first;
    if (bar) bar->Open();
    return bar != nullptr;
}
