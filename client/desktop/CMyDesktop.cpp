#include "client/desktop/CMyDesktop.h"

#include <vector>

#include "client/app/CMyApplication.h"
#include "client/desktop/CMyDesktopNotices.h"
#include "client/desktop/CMyTray.h"
#include "platform/FileManager.h"
#include "platform/OpenURL.h"

CMyDesktop::CMyDesktop(SMySettings& settings) : mSettings(settings) {}

CMyDesktop::~CMyDesktop() = default;

void CMyDesktop::ShowTray()
{
    mTray = std::make_unique<CMyTray>();
    mTray->Show();
}

CMyDesktopNotices& CMyDesktop::Notices()
{
    if (!mNotices) mNotices = std::make_unique<CMyDesktopNotices>(mSettings);
    return *mNotices;
}

void CMyDesktop::NotifyArrived(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                               CWindow* window)
{
    // The tray keeps the mark until the user comes back; the notice may be gone long before.
    if (mTray && !CMyDesktopNotices::IsClientActive()) mTray->NoteArrived(kind);
    Notices().Notify(kind, name, text, size, CMyDesktopNotices::BringForward(window));
}

void CMyDesktop::NotifyTransferEnded(const uint8_t* name, bool ok, const std::string& localPath)
{
    std::vector<CMyDesktopNotices::SAction> actions;
    if (ok && !localPath.empty())
    {
        actions.push_back({QStringLiteral("open"), QStringLiteral("Open"),
                           [localPath] { platform::OpenLocalItem(localPath.data(), localPath.size()); }});
        actions.push_back({QStringLiteral("show-in-folder"), QStringLiteral("Show in Folder"),
                           [localPath] { platform::ShowInFileManager(localPath); }});
    }
    Notices().Notify(
        ok ? EMyNotice::TransferDone : EMyNotice::TransferFailed, name, nullptr, 0,
        []
        {
            if (gApp) gApp->DoShowTasksWin();
        },
        std::move(actions));
}

void CMyDesktop::ShowConnected(bool connected, const uint8_t* server)
{
    if (mTray) mTray->SetConnected(connected, connected ? server : nullptr);
}

bool CMyDesktop::IsTrayShown() const
{
    return mTray && mTray->IsShown();
}
