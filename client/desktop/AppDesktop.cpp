// The client on the desktop: what a later start of the program does to the running client, and the
// notices for what arrives while the user works elsewhere.
#include "client/app/CMyApplication.h"
#include "client/desktop/CMyDesktopNotices.h"
#include "framework/ui/CWindow.h"
#include "platform/FileManager.h"
#include "platform/OpenURL.h"

void CMyApplication::DoBringClientForward()
{
    // The main window (or in the separate layout the toolbar window) stands for the client: it comes back
    // even when the user had closed the toolbar.
    DoShowToolbarWin();
    CWindow* toolbar = mWindows.ClientWindow();
    if (toolbar) toolbar->BringToFront();
    CWindow* top = nullptr;
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        if (CWindow* w = CWindow::GetWindow(i); w->IsInModalLoop() && w->IsVisible()) top = w;
    if (!top) top = CWindow::GetFrontWindow();
    if (top && top != toolbar) top->BringToFront();
}

void CMyApplication::NotifyDesktop(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                                   CWindow* window)
{
    // The tray keeps the mark until the user comes back; the notice may be gone long before.
    if (!CMyDesktopNotices::IsClientActive()) MarkTray(kind);
    DesktopNotices().Notify(kind, name, text, size, CMyDesktopNotices::BringForward(window));
}

void CMyApplication::NotifyTransferEnded(const uint8_t* name, bool ok, const std::string& localPath)
{
    std::vector<CMyDesktopNotices::SAction> actions;
    if (ok && !localPath.empty())
    {
        actions.push_back({QStringLiteral("open"), QStringLiteral("Open"),
                           [localPath] { platform::OpenLocalItem(localPath.data(), localPath.size()); }});
        actions.push_back({QStringLiteral("show-in-folder"), QStringLiteral("Show in Folder"),
                           [localPath] { platform::ShowInFileManager(localPath); }});
    }
    DesktopNotices().Notify(
        ok ? EMyNotice::TransferDone : EMyNotice::TransferFailed, name, nullptr, 0,
        []
        {
            if (gApp) gApp->DoShowTasksWin();
        },
        std::move(actions));
}
