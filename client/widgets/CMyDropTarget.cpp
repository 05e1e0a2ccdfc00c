#include "client/widgets/CMyDropTarget.h"

#include <QDropEvent>
#include <QWidget>

#include "framework/runtime/SError.h"
#include "framework/ui/CView.h"

CMyDropTarget::CMyDropTarget(CView* view, CanAcceptProc canAccept, DropProc drop)
    : QObject(view->Widget()), mView(view), mCanAccept(std::move(canAccept)), mDrop(std::move(drop))
{
}

void CMyDropTarget::Install(CView* view, CanAcceptProc canAccept, DropProc drop)
{
    if (!view || !view->Widget()) return;
    auto* filter = new CMyDropTarget(view, std::move(canAccept), std::move(drop));
    QWidget* target = view->Widget();
    // A scrolling view receives drops on its viewport.
    for (QWidget* w : {target, target->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"))})
    {
        if (!w) continue;
        w->setAcceptDrops(true);
        w->installEventFilter(filter);
    }
}

bool CMyDropTarget::Accepts(const QDropEvent* event) const
{
    const QMimeData* mime = event->mimeData();
    if (!mime) return false;
    if (auto* src = qobject_cast<QWidget*>(event->source()))
        if (src->window() == mView->Widget()->window()) return false;
    return mCanAccept && mCanAccept(*mime);
}

bool CMyDropTarget::eventFilter(QObject*, QEvent* event)
{
    switch (event->type())
    {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    {
        auto* e = static_cast<QDropEvent*>(event);
        // A drag this target does not take goes on to the widget, which may take it itself (text).
        if (!Accepts(e)) return false;
        e->acceptProposedAction();
        return true;
    }
    case QEvent::Drop:
    {
        auto* e = static_cast<QDropEvent*>(event);
        if (!Accepts(e)) return false;
        bool used = false;
        // Nothing may be thrown back into Qt's event delivery: a failed drop is a refused drop.
        try
        {
            used = mDrop && mDrop(*e->mimeData(), CView::CurrentMods());
        }
        catch (const SError&)
        {
            used = false;
        }
        if (used)
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    default:
        return false;
    }
}
