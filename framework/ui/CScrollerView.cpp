#include "framework/ui/CScrollerView.h"

#include <QAbstractScrollArea>
#include <QChildEvent>
#include <QFrame>
#include <QResizeEvent>

#include "framework/ui/CTextView.h"

namespace
{
class CScrollerFrame : public QFrame
{
protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QFrame::resizeEvent(event);
        FillContent();
    }

public:
    void FillContent()
    {
        const QRect inner = contentsRect();
        for (QObject* child : children())
            if (child->isWidgetType()) static_cast<QWidget*>(child)->setGeometry(inner);
    }
};

Qt::ScrollBarPolicy Policy(uint16_t options, uint16_t bar)
{
    if (!(options & bar)) return Qt::ScrollBarAlwaysOff;
    return (options & kScrollAsNeeded) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
}
} // namespace

CScrollerView::CScrollerView(SViewParent parent, const SRect& bounds, uint16_t options)
    : CView(parent, bounds, new CScrollerFrame), mOptions(options)
{
    auto* frame = static_cast<QFrame*>(Widget());
    if (options & kScrollFrame)
        frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    else
        frame->setFrameStyle(QFrame::NoFrame);
}

CView* CScrollerView::GetContent() const
{
    for (QObject* child : Widget()->children())
        if (child->isWidgetType())
            if (CView* v = CView::FromWidget(static_cast<QWidget*>(child))) return v;
    return nullptr;
}

void CScrollerView::ContentAdded()
{
    static_cast<CScrollerFrame*>(Widget())->FillContent();
    CView* content = GetContent();
    if (!content) return;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(content->Widget()))
    {
        area->setHorizontalScrollBarPolicy(Policy(mOptions, kScrollHorizontal));
        area->setVerticalScrollBarPolicy(Policy(mOptions, kScrollVertical));
        // The scroller draws the frame; a second one inside would look doubled.
        area->setFrameStyle(QFrame::NoFrame);
    }
}

void CScrollerView::SetBackColor(uint16_t red, uint16_t green, uint16_t blue)
{
    if (auto* text = dynamic_cast<CTextView*>(GetContent())) text->SetBackColor(red, green, blue);
    QPalette p = Widget()->palette();
    p.setColor(QPalette::Window, QColor::fromRgb(red >> 8, green >> 8, blue >> 8));
    Widget()->setPalette(p);
}

CTextView* MakeTextBoxView(SViewParent parent, const SRect& bounds, uint16_t options,
                           CScrollerView** outScroller, uint16_t mode)
{
    auto* scroller = new CScrollerView(parent, bounds, options);
    SRect inner{0, 0, bounds.Width(), bounds.Height()};
    auto* text = new CTextView(scroller, inner, mode);
    scroller->ContentAdded();
    if (outScroller) *outScroller = scroller;
    return text;
}
