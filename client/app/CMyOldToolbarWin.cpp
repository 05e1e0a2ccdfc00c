#include "client/app/CMyOldToolbarWin.h"

#include <QDropEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <algorithm>
#include <string>
#include <vector>

#include "client/app/AppMenuBar.h"
#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
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

bool HasMask(const SMyUserAccess& access, uint32_t byte, uint8_t mask)
{
    return (access.bytes[byte] & mask) != 0;
}

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
    auto make = [&](int16_t icon, const char* title, uint32_t hit)
    {
        auto* b = new CIconButtonView(this, r, icon, title);
        b->SetID(hit);
        b->SetCommand(hit);
        return b;
    };
    SViews& v = mViews;
    v.optionsBtn = make(419, "Options", kHitOptions);
    v.connectBtn = make(411, "Connect...", kHitShowConnect);
    v.trackerBtn = make(420, "Tracker", kHitShowTracker);
    v.broadcastBtn = make(415, "Broadcast", kHitBroadcast);
    v.newsBtn = make(413, "News", kHitShowNews);
    v.postBtn = make(413, "Post...", kHitPostNews);
    v.chatBtn = make(415, "Chat", kHitShowChat);
    v.filesBtn = make(400, "Files", kHitShowFiles);
    v.usersBtn = make(414, "Users", kHitShowUsers);
    v.tasksBtn = make(416, "Tasks", kHitShowTasks);
    v.newUserBtn = make(417, "New User", kHitNewUser);
    v.openUserBtn = make(418, "Open User", kHitOpenUser);
    v.quitBtn = make(213, "Quit", kHitQuit);
    v.aboutBtn = make(215, "About", kHitAbout);
    v.disconnectBtn = make(412, "Disconnect", kHitDisconnect);

    ContentWidget()->setAcceptDrops(true);
    ContentWidget()->installEventFilter(new CDocumentDrop(this, ContentWidget()));

    // The window opens fitted to the buttons that the access known now allows.
    SMyUserAccess all;
    all.SetAll();
    LayOut(gApp ? gApp->Session().Access() : all);
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
    // The three reserved rows: options, then connect or disconnect by the look, then the tracker.
    uint32_t reserved = 0;
    SetIconButton(v.optionsBtn, reserved, true);
    SetIconButton(v.connectBtn, reserved, mLook == kToolbarNotConnected);
    SetIconButton(v.disconnectBtn, reserved, mLook != kToolbarNotConnected);
    SetIconButton(v.trackerBtn, reserved, true);

    uint32_t row = 3;
    SetIconButton(v.broadcastBtn, row, HasMask(access, 4, 0x80));
    SetIconButton(v.newsBtn, row, HasMask(access, 2, 0x08));
    SetIconButton(v.postBtn, row, HasMask(access, 2, 0x04));
    SetIconButton(v.chatBtn, row, HasMask(access, 1, 0x40) || HasMask(access, 1, 0x20));
    SetIconButton(v.filesBtn, row, true);
    SetIconButton(v.usersBtn, row, true);
    SetIconButton(v.tasksBtn, row, true);
    SetIconButton(v.newUserBtn, row, HasMask(access, 1, 0x02));
    SetIconButton(v.openUserBtn, row, HasMask(access, 2, 0x80));
    SetIconButton(v.quitBtn, row, true);
    SetIconButton(v.aboutBtn, row, true);

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
    SetAccess(gApp ? gApp->Session().Access() : all);
}

void CMyOldToolbarWin::SetLook(uint16_t look)
{
    if (look == mLook) return;
    mLook = look;
    // Only the connect row changes; the rows below keep their places.
    SetAccess();
}
