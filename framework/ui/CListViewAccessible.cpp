#include "framework/ui/CListViewAccessible.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include "framework/ui/CListView.h"

namespace
{
CListView* ListOf(QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget ? dynamic_cast<CListView*>(CView::FromWidget(widget)) : nullptr;
}

// One row. Rows are not objects of their own; an interface stands for a row number, and once the list
// has fewer rows (or has gone) it reports itself invalid rather than describe something else.
class CRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CRowAccessible(QAbstractScrollArea* widget, uint32_t row) : mWidget(widget), mRow(row) {}

    bool isValid() const override
    {
        const CListView* list = List();
        return list && mRow >= 1 && mRow <= list->GetItemCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return mWidget ? mWidget->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(mWidget); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override
    {
        const CListView* list = List();
        if (!list || t != QAccessible::Name || !isValid()) return QString();
        return list->GetItemDescription(mRow);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::State state() const override
    {
        QAccessible::State s;
        const CListView* list = List();
        if (!list || !isValid())
        {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = list->IsSelected(mRow);
        s.focused = mWidget->hasFocus() && list->GetCursorItem() == mRow;
        const uint32_t first = list->GetFirstVisibleItem();
        s.offscreen = mRow < first || mRow >= first + list->GetVisibleItemCount();
        return s;
    }
    QRect rect() const override
    {
        const CListView* list = List();
        if (!list || !isValid()) return QRect();
        const SRect r = list->GetItemRect(mRow);
        const int top = r.top - int(list->GetFirstVisibleItem() - 1) * list->GetRowHeight();
        const QWidget* viewport = mWidget->viewport();
        return QRect(viewport->mapToGlobal(QPoint(r.left, top)), QSize(r.right - r.left, r.bottom - r.top));
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& name) override
    {
        CListView* list = List();
        if (!list || !isValid()) return;
        if (name == pressAction())
            list->OpenItem(mRow);
        else if (name == setFocusAction())
        {
            list->SelectOnly(mRow);
            list->SetFocus();
        }
    }

private:
    CListView* List() const { return mWidget ? ListOf(mWidget) : nullptr; }

    QPointer<QAbstractScrollArea> mWidget;
    const uint32_t mRow;
};

class CListAccessible : public QAccessibleWidget
{
public:
    explicit CListAccessible(QAbstractScrollArea* widget) : QAccessibleWidget(widget, QAccessible::List) {}
    ~CListAccessible() override
    {
        for (QAccessible::Id id : std::as_const(mRows))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override
    {
        const CListView* list = ListOf(object());
        return list ? int(list->GetItemCount()) : 0;
    }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount()) return nullptr;
        const uint32_t row = uint32_t(index) + 1;
        if (auto it = mRows.constFind(row); it != mRows.constEnd())
            return QAccessible::accessibleInterface(*it);
        auto* row_ = new CRowAccessible(static_cast<QAbstractScrollArea*>(widget()), row);
        mRows.insert(row, QAccessible::registerAccessibleInterface(row_));
        return row_;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (auto it = mRows.constBegin(); it != mRows.constEnd(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return int(it.key()) <= childCount() ? int(it.key()) - 1 : -1;
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        const CListView* list = ListOf(object());
        if (!list || !widget()->hasFocus() || !list->GetCursorItem()) return nullptr;
        return child(int(list->GetCursorItem()) - 1);
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const CListView* list = ListOf(object());
        if (!list) return nullptr;
        const QPoint p = static_cast<QAbstractScrollArea*>(widget())->viewport()->mapFromGlobal(QPoint(x, y));
        const uint32_t row = list->ItemAtPoint(p.x(), p.y());
        return row ? child(int(row) - 1) : nullptr;
    }

private:
    // Rows asked for so far, by row number; registered with Qt, which owns them until this list ends.
    mutable QHash<uint32_t, QAccessible::Id> mRows;
};

QAccessibleInterface* MakeInterface(const QString&, QObject* object)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(object);
    return area && ListOf(area) ? new CListAccessible(area) : nullptr;
}
} // namespace

void CListViewAccessible::Install()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(MakeInterface);
}

void CListViewAccessible::CursorMoved(CListView* list)
{
    const uint32_t row = list->GetCursorItem();
    if (!QAccessible::isActive() || !row || row > list->GetItemCount()) return;
    auto* area = list->ScrollArea();
    if (!area->hasFocus()) return;
    QAccessibleInterface* listInterface = QAccessible::queryAccessibleInterface(area);
    if (!listInterface) return;
    QAccessibleEvent event(listInterface->child(int(row) - 1), QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}
