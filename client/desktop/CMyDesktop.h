// The client's place on the desktop: the tray icon (made at start-up where the desktop has a tray) and
// the desktop notices (made on first use).
#pragma once

#include <memory>

#include "client/app/CMyDesktopHost.h"

class CMyDesktopNotices;
class CMyTray;
struct SMySettings;

class CMyDesktop final : public CMyDesktopHost
{
public:
    explicit CMyDesktop(SMySettings& settings);
    ~CMyDesktop();
    CMyDesktop(const CMyDesktop&) = delete;
    CMyDesktop& operator=(const CMyDesktop&) = delete;

    // At start-up: the icon goes in the tray where there is one.
    void ShowTray();
    // Null before start-up.
    CMyTray* Tray() const { return mTray.get(); }
    CMyDesktopNotices& Notices();

    void NotifyArrived(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                       CWindow* window) override;
    void NotifyTransferEnded(const uint8_t* name, bool ok, const std::string& localPath) override;
    void ShowConnected(bool connected, const uint8_t* server) override;
    bool IsTrayShown() const override;

private:
    SMySettings& mSettings;
    // The notices outlive the icon, as they always did.
    std::unique_ptr<CMyDesktopNotices> mNotices;
    std::unique_ptr<CMyTray> mTray;
};
