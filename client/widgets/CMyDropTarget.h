// Lets a view decide itself which drags it takes and what a drop does, for the windows whose drop rules
// go beyond sending the dropped flavour as a hit (queued uploads, moves between folder windows, chat
// invitations).
#pragma once

#include <QObject>
#include <functional>

class CView;
class QMimeData;

class CMyDropTarget : public QObject
{
public:
    using CanAcceptProc = std::function<bool(const QMimeData& mime)>;
    using DropProc = std::function<bool(const QMimeData& mime, uint16_t mods)>;

    // Drags that start in the view's own window are refused before `canAccept` is asked, so that a
    // window never takes its own drag.
    static void Install(CView* view, CanAcceptProc canAccept, DropProc drop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CMyDropTarget(CView* view, CanAcceptProc canAccept, DropProc drop);
    bool Accepts(const class QDropEvent* event) const;

    CView* mView;
    CanAcceptProc mCanAccept;
    DropProc mDrop;
};
