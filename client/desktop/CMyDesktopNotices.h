// Notices on the desktop for what arrives while the user works in another program: a private message,
// a chat invitation, a broadcast, a transfer that ended. Only while none of the client's windows is
// active, only while the switch in the desktop settings is on; a click on a notice brings forward the
// window it tells of. Without a notification service nothing shows, and nothing is said.
#pragma once

#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "client/app/EMyNotice.h"

class CWindow;
struct SMySettings;

class CMyDesktopNotices
{
public:
    // A button of its own on a notice, where the notification service shows buttons.
    struct SAction
    {
        QString key;
        QString label;
        std::function<void()> act;
    };

    // The switch is the settings' desktopNotices; the notices take the clicks on the client's notices.
    explicit CMyDesktopNotices(SMySettings& settings);
    ~CMyDesktopNotices();
    CMyDesktopNotices(const CMyDesktopNotices&) = delete;
    CMyDesktopNotices& operator=(const CMyDesktopNotices&) = delete;

    bool IsOn() const;
    // Holds at once and is written to the desktop settings file; a failure to write is passed on.
    void SetOn(bool on);

    // `name` (length-prefixed) is the sender, the inviter or the transferred item; `text` the message, in
    // the client's character set (none for an invitation or a transfer). `onClick` runs when the user
    // clicks the notice, the `actions` when the user presses one of their buttons. True when a notice
    // was asked for.
    bool Notify(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                std::function<void()> onClick, std::vector<SAction> actions = {});
    // A click on the notice brings this window forward if it still exists, else the client.
    static std::function<void()> BringForward(CWindow* window);

    // The summary and body of a notice, as the service gets them.
    static void Compose(EMyNotice kind, const uint8_t* name, const void* text, uint32_t size,
                        QString& outSummary, QString& outBody);
    // What arrives while one of the client's windows is active is seen there.
    static bool IsClientActive();

private:
    static void Clicked(void* context, uint32_t tag, const QString& action);
    static void ClickedMessage(void* context, void* object, uint32_t msg, const void* data, uint32_t size);

    SMySettings& mSettings;
    uint32_t mNextTag = 1;
    struct SShown
    {
        uint32_t tag;
        std::function<void()> onClick;
        std::vector<SAction> actions;
    };
    // The newest notices' click actions; the service forgets old notices too.
    std::deque<SShown> mActions;
};
