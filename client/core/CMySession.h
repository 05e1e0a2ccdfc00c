// The server session: the one transaction connection and everything that belongs to it (the address
// and ports, the login, the access the server grants, the agreement waiting to be shown, the time
// online) and the one answer to "can we talk to the server". It lives for the whole run; connections
// come and go inside it, and each one that ends gives the session a new serial number, so that a window
// or a dialog opened for one connection can tell that it is over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/core/CMyLinkCheck.h"
#include "client/core/SMyUserAccess.h"
#include "framework/net/SInternetNameAddress.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/UMemory.h"

struct SMySettings;
struct SMyStatistics;

// Told when a session has ended, after its connection is closed, and when the server took the login.
class CMySessionListener
{
public:
    virtual void SessionEnded() = 0;
    // The connection was lost and a reconnect will try to bring the session back: what the user had
    // open stays until it comes back or is given up (then SessionEnded follows).
    virtual void SessionPaused() {}
    // A login succeeded, the first of a session or a reconnect's.
    virtual void SessionLoggedIn() {}

protected:
    ~CMySessionListener() = default;
};

class CMySession
{
public:
    static constexpr uint16_t kDefaultServerPort = 5500;
    static constexpr uint16_t kDefaultFirewallPort = 1080;
    // A connection quiet this long is probed this often, and dropped after this many unanswered probes:
    // a peer gone without a word (a sleeping laptop's, a dead network's) is noticed in under two minutes.
    static constexpr uint32_t kKeepAliveIdleSecs = 60;
    static constexpr uint32_t kKeepAliveIntervalSecs = 10;
    static constexpr uint32_t kKeepAliveProbes = 3;

    // The user's name, icon and firewall are read from `settings`; the time online is added to `totals`.
    // The connection's notices go to `handler` with `context`.
    CMySession(const SMySettings& settings, SMyStatistics& totals, TMessageProc handler, void* context);
    ~CMySession();
    CMySession(const CMySession&) = delete;
    CMySession& operator=(const CMySession&) = delete;

    // Connected: the connection is established (the login may still be on its way). Everything that
    // talks to the server asks this.
    bool IsConnected() const { return mIsConnected; }
    // Open: a connection exists, connecting or connected. Ending a session asks this.
    bool IsOpen() const { return mTpt.Get() != nullptr; }
    // Null while not open.
    TTransactObj* Transactor() const { return mTpt; }

    // The server to connect to, from an address text with or without "quenvol://" and a port.
    void SetAddress(const uint8_t* text, uint32_t size);
    const SInternetNameAddress& Address() const { return mAddress; }
    uint32_t BasePort() const { return mBasePortNum; }
    // The firewall of the settings; an empty name is none. A text that names its port keeps it, a bare
    // host gets the usual SOCKS port.
    SInternetNameAddress FirewallAddress() const;

    // Login and password (length-prefixed, null for empty) for the next connection.
    void SetLogin(const uint8_t* login, const uint8_t* password);
    // The password of the next connection is on its way from the keyring: connecting waits for it. The
    // next SetLogin ends the wait.
    void SetPasswordComing() { mPasswordComing = true; }
    bool PasswordComing() const { return mPasswordComing; }
    const uint8_t* UserLogin() const { return mUserLogin; }
    const uint8_t* UserPassword() const { return mUserPassword; }
    // The address and login were entered in the connect dialog (`bookmark`: the file name of the
    // bookmark of the "Servers" folder they were read from, empty when typed): a refused login brings
    // the dialog back with them. Every other way of connecting clears it.
    // `keepPassword`: the user ticked "Keep my password", and the servers used lately keep it.
    void SetFromDialog(const uint8_t* bookmark, bool keepPassword = false);
    void ClearFromDialog();
    bool IsFromDialog() const { return mFromDialog; }
    bool KeepsPassword() const { return mKeepPassword; }
    const uint8_t* DialogBookmark() const { return mDialogBookmark; }
    // The server's name as the window titles show it (length-prefixed), kept for a reconnect.
    void SetDisplayName(const uint8_t* name);
    const uint8_t* DisplayName() const { return mDisplayName; }
    const uint8_t* UserName() const;
    uint16_t IconID() const;

    // The access the server granted; every bit while there is no session.
    const SMyUserAccess& Access() const { return mMyAccess; }
    void SetAccess(const SMyUserAccess& access) { mMyAccess = access; }

    uint32_t Serial() const { return mSessionSerial; }
    // The session numbered `serial` is still the open one.
    bool IsCurrent(uint32_t serial) const { return serial == mSessionSerial && IsOpen(); }

    // The newest agreement the server sent, until it is shown. Keep takes the block.
    bool HasAgreement() const { return mAgreementText.Get() != nullptr; }
    void KeepAgreement(THdlObj* text) { mAgreementText.Reset(text); }
    THdlObj* TakeAgreement() { return mAgreementText.Release(); }
    // The agreement the user agreed to in this session. A connection that brings the session back after
    // a loss is not asked again for the same text (a changed one is asked for); a new session, which
    // ForgetAgreed starts, is.
    void SetAgreed(const void* text, uint32_t size) { mAgreed.emplace(static_cast<const char*>(text), size); }
    bool AgreedTo(const void* text, uint32_t size) const
    {
        return mAgreed && mAgreed->size() == size &&
               mAgreed->compare(0, size, static_cast<const char*>(text), size) == 0;
    }
    void ForgetAgreed() { mAgreed.reset(); }

    // A new connection object in place of any old one; its notices go to the handler.
    TTransactObj* MakeTransactor();
    void DisposeTransactor();
    // Connects to the address, through the firewall when one is set.
    void StartConnect();
    // The connection is established: connected from now, and the time online counts.
    void SetConnected();
    // The server took the login: from now until the connection closes, losing it is worth coming back
    // from by itself.
    // The listeners are told once the session is logged in.
    void SetLoggedIn();
    bool IsLoggedIn() const { return mIsLoggedIn; }
    // An established connection that is no longer up; `outClosedByUs` when the client closed it itself
    // because the server broke the protocol.
    bool IsLost(bool& outClosedByUs) const;
    // Closes the connection and forgets what belonged to it. The session has not ended yet for the
    // listeners: End does that once the windows show the state.
    void Close();
    // The session is over: a new serial, the listeners told, the time online added to the totals.
    void End();
    // The next End pauses the session instead: its listeners keep what belongs to it, and the ends of
    // the connections tried meanwhile tell them nothing, until Resumed or EndPaused.
    void PauseAtEnd() { mPauseAtEnd = true; }
    bool IsPaused() const { return mPaused; }
    // A connection of the paused session logged in again: from now on it ends as any other.
    void Resumed() { mPaused = false; }
    // The paused session will not come back: the listeners are told it ended. Nothing unless paused.
    void EndPaused();

    // The machine woke or the network came back: a logged-in connection is asked something the server
    // must answer, and one that stays silent is dropped as lost (the reconnect then brings it back).
    void CheckLink();
    bool IsCheckingLink() const { return mLinkCheck.IsChecking(); }

    // Adds the time of the current session so far to the totals and restarts its count.
    void AddOnlineTime();
    // When the current session became connected (the seconds clock), 0 when not connected. Tests move it
    // back to stand for a session that lasted.
    uint32_t ConnectStartSecs() const { return mConnectStartSecs; }
    void SetConnectStartSecs(uint32_t secs) { mConnectStartSecs = secs; }

    // Listeners are told in the order they were added.
    void AddListener(CMySessionListener* listener);
    void RemoveListener(CMySessionListener* listener);

private:
    void Tell(void (CMySessionListener::*what)());
    void LinkDead();

    const SMySettings& mSettings;
    SMyStatistics& mTotals;
    TMessageProc mHandler;
    void* mHandlerContext;

    SInternetNameAddress mAddress{kInternetNameAddressType, 0, {}};
    uint32_t mBasePortNum = 0;
    uint8_t mUserLogin[32] = {};
    uint8_t mUserPassword[32] = {};
    SMyUserAccess mMyAccess{};
    uint32_t mSessionSerial = 1;
    uint32_t mConnectStartSecs = 0;
    bool mIsConnected = false;
    bool mIsLoggedIn = false;
    bool mPauseAtEnd = false;
    bool mFromDialog = false;
    bool mPasswordComing = false;
    bool mKeepPassword = false;
    uint8_t mDialogBookmark[256] = {};
    bool mPaused = false;
    uint8_t mDisplayName[256] = {};
    std::vector<CMySessionListener*> mListeners;
    COwner<THdlObj, UMemory::Dispose> mAgreementText;
    std::optional<std::string> mAgreed;
    COwner<TTransactObj, UTransact::Dispose> mTpt;
    // Goes before the connection its request is on.
    CMyLinkCheck mLinkCheck;
};
