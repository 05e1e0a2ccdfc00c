#include "framework/ui/CView.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/SError.h"
#include "framework/ui/CWindow.h"

namespace
{
const char kViewProperty[] = "quenvolView";
const char kLaidOutProperty[] = "quenvolLaidOutFor";

QRect ToQRect(const SRect& r)
{
    return QRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
}

class CSizingRule : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Resize) return false;
        auto* resize = static_cast<QResizeEvent*>(event);
        // A size noted before the widget moved or was resized unseen is what the views fit; it holds for
        // this one notice.
        const QSize noted = watched->property(kLaidOutProperty).toSize();
        watched->setProperty(kLaidOutProperty, QVariant());
        const QSize old = resize->oldSize().isValid() ? resize->oldSize() : noted;
        // Otherwise the first resize has no old size: the views were placed for the size the window is
        // built with.
        if (!old.isValid()) return false;
        const int dw = resize->size().width() - old.width();
        const int dh = resize->size().height() - old.height();
        if (!dw && !dh) return false;
        for (QObject* child : watched->children())
        {
            if (!child->isWidgetType()) continue;
            auto* w = static_cast<QWidget*>(child);
            CView* view = CView::FromWidget(w);
            if (!view || view->Widget() != w || !view->GetSizing()) continue;
            const uint8_t s = view->GetSizing();
            QRect g = w->geometry();
            int left = g.left(), top = g.top(), right = g.left() + g.width(), bottom = g.top() + g.height();
            if (s & kSizeLeft) left += dw;
            if (s & kSizeRight) right += dw;
            if (s & kSizeTop) top += dh;
            if (s & kSizeBottom) bottom += dh;
            w->setGeometry(left, top, std::max(0, right - left), std::max(0, bottom - top));
        }
        return false;
    }
};
} // namespace

// The widget of a view that draws itself: it hands painting and the main button to the view's hooks.
class CViewWidget : public QWidget
{
protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (CView* view = Owner())
        {
            QPainter painter(this);
            view->Draw(painter, event->rect());
            // The focus shows as the style draws it around a control that has it.
            if (hasFocus())
            {
                QStyleOptionFocusRect option;
                option.initFrom(this);
                option.backgroundColor = palette().color(QPalette::Window);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
            }
        }
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        CView* view = Owner();
        if (view && view->KeyPressed(event->key(), CView::ModsOf(event->modifiers().toInt())))
            event->accept();
        else
            QWidget::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        update();
        QWidget::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        update();
        QWidget::focusOutEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        CView* view = Owner();
        if (view && event->button() == Qt::LeftButton)
            view->MouseDown(PointOf(event), CView::ModsOf(event->modifiers().toInt()));
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        CView* view = Owner();
        if (view && event->button() == Qt::LeftButton)
            view->MouseUp(PointOf(event), CView::ModsOf(event->modifiers().toInt()));
    }

private:
    // None once the view is going: its hooks are not called from its own destruction.
    CView* Owner() const
    {
        CView* view = CView::FromWidget(this);
        return view && view->Widget() == this ? view : nullptr;
    }
    static SPoint PointOf(const QMouseEvent* event)
    {
        const QPoint p = event->position().toPoint();
        return SPoint{p.x(), p.y()};
    }
};

void CView::TakesFocus()
{
    mWidget->setFocusPolicy(Qt::StrongFocus);
}

void InstallSizingRule(QWidget* container)
{
    if (!container || container->property("quenvolSizing").toBool()) return;
    container->setProperty("quenvolSizing", true);
    container->installEventFilter(new CSizingRule(container));
}

void NoteLaidOutSize(QWidget* container)
{
    container->setProperty(kLaidOutProperty, container->size());
}

CView::CView(SViewParent parent, const SRect& bounds, QWidget* widget) : mWidget(widget)
{
    RequireObject(widget);
    QWidget* host = nullptr;
    if (parent.view)
        host = parent.view->ChildHost();
    else if (parent.window)
        host = parent.window->ContentWidget();
    if (host) widget->setParent(host);
    widget->setProperty(kViewProperty, QVariant::fromValue(quintptr(this)));
    widget->setGeometry(ToQRect(bounds));
    // The widget owns the view: when Qt destroys it with its window, the view goes with it.
    QObject::connect(widget, &QObject::destroyed,
                     [this]
                     {
                         mWidget = nullptr;
                         if (!mDestroying) delete this;
                     });
    if (host && host->isVisible()) widget->show();
}

CView::CView(SViewParent parent, const SRect& bounds) : CView(parent, bounds, new CViewWidget) {}

CView::~CView()
{
    mDestroying = true;
    if (mWidget)
    {
        mWidget->setProperty(kViewProperty, QVariant());
        delete mWidget;
    }
}

void CView::GetBounds(SRect& outBounds) const
{
    const QRect g = mWidget->geometry();
    outBounds = SRect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void CView::SetBounds(const SRect& bounds)
{
    mWidget->setGeometry(ToQRect(bounds));
}

void CView::Show()
{
    SetVisible(true);
}

void CView::Hide()
{
    SetVisible(false);
}

void CView::SetVisible(bool visible)
{
    mWidget->setVisible(visible);
}

bool CView::IsVisible() const
{
    return !mWidget->isHidden();
}

void CView::SetEnable(bool enable)
{
    mWidget->setEnabled(enable);
}

bool CView::IsEnabled() const
{
    return mWidget->isEnabled();
}

void CView::SetFocus()
{
    mWidget->setFocus(Qt::OtherFocusReason);
}

bool CView::IsFocus() const
{
    return mWidget->hasFocus();
}

void CView::Refresh()
{
    if (mWidget) mWidget->update();
}

bool CView::IsInside(const SPoint& where) const
{
    return mWidget && mWidget->rect().contains(where.h, where.v);
}

void CView::Hit(uint16_t part, uint16_t mods, uint32_t param, const void* data, uint32_t dataSize,
                uint16_t type)
{
    CWindow* window = GetWindow();
    if (!window) return;
    SHitMsgData hit{};
    hit.view = this;
    hit.id = mID;
    hit.cmd = mCommand;
    hit.type = type;
    hit.part = part;
    hit.mods = mods;
    hit.param = param;
    hit.dataSize = std::min<uint32_t>(dataSize, sizeof(hit.data));
    if (data && hit.dataSize) std::memcpy(hit.data, data, hit.dataSize);
    window->Hit(hit);
}

CWindow* CView::GetWindow() const
{
    return mWidget ? CWindow::FromWidget(mWidget) : nullptr;
}

CView* CView::GetParent() const
{
    return mWidget ? FromWidget(mWidget->parentWidget()) : nullptr;
}

CView* CView::FindView(uint32_t id)
{
    if (mID == id) return this;
    if (!mWidget) return nullptr;
    for (QWidget* w : mWidget->findChildren<QWidget*>())
    {
        // findChildren walks the whole subtree; only views whose own widget it is count.
        CView* v = FromWidget(w);
        if (v && v->mWidget == w && v->mID == id) return v;
    }
    return nullptr;
}

CView* CView::FromWidget(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
    {
        const QVariant v = w->property(kViewProperty);
        if (v.isValid()) return reinterpret_cast<CView*>(v.value<quintptr>());
        if (w->isWindow()) break;
    }
    return nullptr;
}

uint16_t CView::CurrentMods()
{
    return ModsOf(QApplication::keyboardModifiers().toInt());
}

uint16_t CView::ModsOf(int qtModifiers)
{
    const Qt::KeyboardModifiers m = Qt::KeyboardModifiers::fromInt(qtModifiers);
    uint16_t mods = 0;
    if (m & Qt::ControlModifier) mods |= kModCtrl;
    if (m & Qt::AltModifier) mods |= kModAlt;
    if (m & Qt::ShiftModifier) mods |= kModShift;
    return mods;
}
