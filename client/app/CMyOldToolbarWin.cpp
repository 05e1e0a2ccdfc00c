#include "client/app/CMyOldToolbarWin.h"

#include <QDropEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <algorithm>
#include <cassert>
#include <iterator>
#include <string>
#include <vector>

#include "client/app/AppMenuBar.h"
#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/app/UMyCommands.h"
#include "client/core/SMyUserAccess.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UApplication.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/UDragAndDrop.h"

namespace
{
constexpr SRect kToolbarBounds = {0, 0, 136, 219};
constexpr uint16_t kToolbarStyle = 1;

// Local files dragged over the toolbar, on its buttons too, are taken as documents to open.
class CDocumentDrop : public QObject
{
public:
    CDocumentDrop(CMyOldToolbarWin* toolbar, QObject* parent) : QObject(parent), mToolbar(toolbar) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::string> paths;
        if (!drop->mimeData() || !UDragAndDrop::GetFlavor(*drop->mimeData(), FourCC("hfs "), paths))
            return false;
        if (type == QEvent::Drop) mToolbar->DropDocuments(*drop->mimeData());
        drop->acceptProposedAction();
        return true;
    }

private:
    CMyOldToolbarWin* mToolbar;
};
} // namespace

CMyOldToolbarWin::CMyOldToolbarWin() : CFrameWindow(kToolbarBounds, kToolbarStyle)
{
    SetTitle("Quenvol", 7);
    SetIcon(kIconDefaultUser);
    InstallMenuBar(*this);

    const SRect r{3, 0, 3 + mButtonWidth, mButtonHeight};
    for (const SMyCommand& c : UMyCommands::All())
    {
        if (!c.button.title) continue;
        auto* b = new CIconButtonView(this, r, c.button.icon, c.button.title);
        b->SetID(c.id);
        b->SetCommand(c.id);
        b->SetToolTip(c.button.tooltip);
        mButtons.push_back(SButton{b, c.access});
    }
    SViews& v = mViews;
    v.optionsBtn = Button(kCmdOptions);
    v.connectBtn = Button(kCmdShowConnect);
    v.trackerBtn = Button(kCmdShowTracker);
    v.broadcastBtn = Button(kCmdBroadcast);
    v.newsBtn = Button(kCmdShowNews);
    v.postBtn = Button(kCmdPostNews);
    v.chatBtn = Button(kCmdShowChat);
    v.filesBtn = Button(kCmdShowPublicFiles);
    v.usersBtn = Button(kCmdShowUsers);
    v.tasksBtn = Button(kCmdShowTasks);
    v.newUserBtn = Button(kCmdNewUser);
    v.openUserBtn = Button(kCmdOpenUser);
    v.quitBtn = Button(kCmdQuitApp);
    v.aboutBtn = Button(kCmdAbout);
    v.disconnectBtn = Button(kCmdDisconnect);

    ContentWidget()->setAcceptDrops(true);
    ContentWidget()->installEventFilter(new CDocumentDrop(this, ContentWidget()));

    // The window opens fitted to the buttons that the access known now allows.
    mAccess.SetAll();
    if (gApp) mAccess = gApp->Features().Session().Access();
    LayOut(mAccess);
}

CIconButtonView* CMyOldToolbarWin::Button(uint32_t hit) const
{
    for (const SButton& b : mButtons)
        if (b.view->GetID() == hit) return b.view;
    // Every button the layout names is in the command table.
    assert(false);
    return nullptr;
}

bool CMyOldToolbarWin::DropDocuments(const QMimeData& mime)
{
    std::vector<std::string> paths;
    if (!UDragAndDrop::GetFlavor(mime, FourCC("hfs "), paths)) return false;
    UApplication::SetCommandLineItems(paths);
    UApplication::PostMessage(kMsgOpenDocuments);
    return true;
}

void CMyOldToolbarWin::SetIconButton(CIconButtonView* button, uint32_t& row, bool show)
{
    if (!show)
    {
        button->Hide();
        return;
    }
    const int32_t top = int32_t(row + 1) * mButtonSpace + int32_t(row) * mButtonHeight;
    button->SetBounds(SRect{3, top, 3 + mButtonWidth, top + mButtonHeight});
    button->Show();
    mBottom = top + mButtonHeight;
    ++row;
}

void CMyOldToolbarWin::LayOut(const SMyUserAccess& access)
{
    SViews& v = mViews;
    const bool shown = !mFolded;
    // The three reserved rows: options, then connect or disconnect by the look, then the tracker.
    const CIconButtonView* reservedRows[] = {v.optionsBtn, v.connectBtn, v.disconnectBtn, v.trackerBtn};
    mBottom = 0;
    uint32_t reserved = 0;
    SetIconButton(v.optionsBtn, reserved, shown);
    SetIconButton(v.connectBtn, reserved, shown && mLook == kToolbarNotConnected);
    SetIconButton(v.disconnectBtn, reserved, shown && mLook != kToolbarNotConnected);
    SetIconButton(v.trackerBtn, reserved, shown);

    // The column below them, in the command table's order.
    uint32_t row = 3;
    for (const SButton& b : mButtons)
    {
        if (std::find(std::begin(reservedRows), std::end(reservedRows), b.view) != std::end(reservedRows))
            continue;
        SetIconButton(b.view, row, shown && access.HasAny(b.access));
    }

    SRect b;
    GetBounds(b);
    b.bottom = b.top + mBottom + mButtonSpace;
    // Wide enough for the whole menu bar: at the standard width its last menu would only be reachable
    // through the overflow arrow.
    b.right = b.left + std::max<int32_t>(kToolbarBounds.Width(), MainWindow()->menuBar()->sizeHint().width());
    SetBounds(b);
}

void CMyOldToolbarWin::SetAccess(const SMyUserAccess& access)
{
    mAccess = access;
    // Repainting is held back while the rows move instead of hiding the window: an unmap followed at once
    // by a map can be lost on X11, which left the toolbar hidden after a lost connection.
    Widget()->setUpdatesEnabled(false);
    LayOut(access);
    Widget()->setUpdatesEnabled(true);
}

void CMyOldToolbarWin::SetAccess()
{
    SMyUserAccess all;
    all.SetAll();
    SetAccess(gApp ? gApp->Features().Session().Access() : all);
}

void CMyOldToolbarWin::SetLook(uint16_t look)
{
    if (look == mLook) return;
    mLook = look;
    // Only the connect row changes; the rows below keep their places.
    SetAccess();
}

void CMyOldToolbarWin::SetFolded(bool folded)
{
    if (folded == mFolded) return;
    mFolded = folded;
    SetAccess(mAccess);
}
