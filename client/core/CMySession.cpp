#include "client/core/CMySession.h"

#include <algorithm>
#include <utility>

#include "client/core/MyAppMessages.h"
#include "client/core/SMySettings.h"
#include "client/core/SMyStatistics.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "platform/WakeSignals.h"

CMySession::CMySession(const SMySettings& settings, SMyStatistics& totals, TMessageProc handler,
                       void* context)
    : mSettings(settings), mTotals(totals), mHandler(handler), mHandlerContext(context),
      mLinkCheck([this] { LinkDead(); })
{
    mMyAccess.SetAll();
    // The word comes from the event loop; the check runs from the application's queue, as every other
    // piece of network work does.
    platform::SetWakeProc([](void*) { UApplication::PostMessage(kMsgCheckLink); }, this);
}

CMySession::~CMySession()
{
    platform::SetWakeProc(nullptr, nullptr);
}

void CMySession::CheckLink()
{
    if (mIsLoggedIn && mTpt) mLinkCheck.Start(mTpt);
}

void CMySession::LinkDead()
{
    if (!mTpt) return;
    // Closed as the network would have closed it, so that it counts as lost and not as ended on purpose.
    UTransact::Disconnect(mTpt);
    UApplication::PostMessage(kMsgDisconnected);
}

void CMySession::SetAddress(const uint8_t* text, uint32_t size)
{
    static const char kPrefix[] = "quenvol://";
    constexpr uint32_t kPrefixSize = sizeof(kPrefix) - 1;
    if (const void* found = UMemory::Search(kPrefix, kPrefixSize, text, size))
    {
        const auto* host = static_cast<const uint8_t*>(found) + kPrefixSize;
        size -= uint32_t(host - text);
        text = host;
        // What follows the host in a URL ("/" and beyond) is no part of the address.
        if (const void* slash = UMemory::SearchByte('/', text, size))
            size = uint32_t(static_cast<const uint8_t*>(slash) - text);
    }
    mAddress.type = kInternetNameAddressType;
    UPString::SetBytes(mAddress.name, text, size);
    mBasePortNum = UTransport::GetPortFromAddressText(kInternetNameAddressType, text, size);
    if (mBasePortNum == 0) mBasePortNum = kDefaultServerPort;
    mAddress.port = uint16_t(mBasePortNum);
}

SInternetNameAddress CMySession::FirewallAddress() const
{
    // The text is taken as the address up to its first blank, blanks before it dropped: a stray blank
    // typed around the host would otherwise make every connection fail to find it.
    SInternetNameAddress firewall{kInternetNameAddressType, 0, {}};
    const uint8_t* text = mSettings.firewall;
    firewall.name[0] = uint8_t(UTransport::CleanUpAddressText(kInternetNameAddressType, text + 1, text[0],
                                                              firewall.name + 1, sizeof(firewall.name) - 1));
    if (firewall.name[0] && UPString::Text(firewall.name).find(':') == std::string_view::npos)
        firewall.port = kDefaultFirewallPort;
    return firewall;
}

void CMySession::SetLogin(const uint8_t* login, const uint8_t* password)
{
    static const uint8_t kEmpty[] = {0};
    UPString::Copy(mUserLogin, login ? login : kEmpty);
    UPString::Copy(mUserPassword, password ? password : kEmpty);
    mPasswordComing = false;
}

void CMySession::SetFromDialog(const uint8_t* bookmark, bool keepPassword)
{
    static const uint8_t kEmpty[] = {0};
    mFromDialog = true;
    mKeepPassword = keepPassword;
    UPString::Copy(mDialogBookmark, bookmark ? bookmark : kEmpty);
}

void CMySession::ClearFromDialog()
{
    mFromDialog = false;
    mKeepPassword = false;
    mDialogBookmark[0] = 0;
}

void CMySession::SetDisplayName(const uint8_t* name)
{
    static const uint8_t kEmpty[] = {0};
    UPString::Copy(mDisplayName, name ? name : kEmpty);
}

const uint8_t* CMySession::UserName() const
{
    return mSettings.userName;
}

uint16_t CMySession::IconID() const
{
    return mSettings.iconID;
}

TTransactObj* CMySession::MakeTransactor()
{
    DisposeTransactor();
    mTpt.Reset(UTransact::New(1, 0));
    UTransact::SetMessageHandler(mTpt, mHandler, mHandlerContext);
    UTransact::SetVersion(mTpt, FourCC("QUEN"), 2);
    UTransport::SetKeepAlive(UTransact::GetTransport(mTpt), kKeepAliveIdleSecs, kKeepAliveIntervalSecs,
                             kKeepAliveProbes);
    return mTpt;
}

void CMySession::DisposeTransactor()
{
    mLinkCheck.Stop();
    mTpt.Reset();
    mIsConnected = false;
    mIsLoggedIn = false;
}

void CMySession::StartConnect()
{
    const SInternetNameAddress firewall = FirewallAddress();
    if (firewall.name[0] == 0)
        UTransact::StartConnect(mTpt, &mAddress, GetAddressSize(mAddress));
    else
        UTransact::StartConnectThruFirewall(mTpt, &mAddress, GetAddressSize(mAddress), &firewall,
                                            GetAddressSize(firewall));
}

void CMySession::SetConnected()
{
    mIsConnected = true;
    mConnectStartSecs = UDateTime::GetSeconds();
}

bool CMySession::IsLost(bool& outClosedByUs) const
{
    outClosedByUs = false;
    if (!mIsConnected || UTransact::IsConnected(mTpt)) return false;
    outClosedByUs = UTransact::IsReceiveFailed(mTpt);
    return true;
}

void CMySession::Close()
{
    mLinkCheck.Stop();
    if (mTpt) UTransact::Disconnect(mTpt);
    mTpt.Reset();
    mIsConnected = false;
    mIsLoggedIn = false;
    // An agreement still waiting to be shown was the ended session's.
    mAgreementText.Reset();
}

void CMySession::End()
{
    ++mSessionSerial;
    if (std::exchange(mPauseAtEnd, false) && !mPaused)
    {
        mPaused = true;
        Tell(&CMySessionListener::SessionPaused);
    }
    else if (!mPaused)
        Tell(&CMySessionListener::SessionEnded);
    if (mConnectStartSecs)
    {
        mTotals.totalSecsOnline += UDateTime::GetSeconds() - mConnectStartSecs;
        mConnectStartSecs = 0;
    }
}

void CMySession::EndPaused()
{
    if (!std::exchange(mPaused, false)) return;
    Tell(&CMySessionListener::SessionEnded);
}

void CMySession::Tell(void (CMySessionListener::*what)())
{
    // A listener may add or remove listeners; the ones there when it happened are told.
    const std::vector<CMySessionListener*> listeners = mListeners;
    for (CMySessionListener* listener : listeners)
        if (std::find(mListeners.begin(), mListeners.end(), listener) != mListeners.end())
            (listener->*what)();
}

void CMySession::SetLoggedIn()
{
    mIsLoggedIn = mIsConnected;
    if (mIsLoggedIn) Tell(&CMySessionListener::SessionLoggedIn);
}

void CMySession::AddOnlineTime()
{
    if (!mIsConnected || !mConnectStartSecs) return;
    const uint32_t now = UDateTime::GetSeconds();
    mTotals.totalSecsOnline += now - mConnectStartSecs;
    mConnectStartSecs = now;
}

void CMySession::AddListener(CMySessionListener* listener)
{
    if (listener && std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end())
        mListeners.push_back(listener);
}

void CMySession::RemoveListener(CMySessionListener* listener)
{
    mListeners.erase(std::remove(mListeners.begin(), mListeners.end(), listener), mListeners.end());
}
