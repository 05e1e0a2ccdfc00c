// The options dialog that changes the user's settings, the text colours the settings give the windows,
// and the bookmark files that keep servers.
#include <algorithm>
#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/core/UMyBookmarkFile.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/core/UMyRecentServers.h"
#include "client/prefs/CMyOptionsWin.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"

namespace
{
constexpr uint16_t kMinTextSize = 4, kMaxTextSize = 50;
constexpr char kDefaultResponse[] = "I'm not able to respond right now. Please try later!";

// Whether a bookmark of the "Servers" folder other than `except`, or a server used lately whose password
// is kept, still names that server and login: they share its keyring entry.
bool BookmarkEntryInUse(const uint8_t* address, const uint8_t* login, const std::string& except)
{
    for (const SMyRecentServer& recent : UMyRecentServers::Read())
        if (recent.keepPassword && UPString::Equal(recent.address, address) &&
            UPString::Equal(recent.login, login))
            return true;
    std::vector<SMyBookmarkItem> items;
    try
    {
        StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
        UMyBookmarkFile::List(folder.Get(), items);
        for (const SMyBookmarkItem& item : items)
        {
            StFileSysRef file(UFileSys::New(folder.Get(), nullptr, item.fileName));
            if (UFileSys::GetNativePath(file.Get()) == except) continue;
            SMyBookmark b;
            try
            {
                UMyBookmarkFile::Read(file.Get(), b);
            }
            catch (const SError&)
            {
                continue; // a damaged bookmark names nothing
            }
            if (UPString::Equal(b.address, address) && UPString::Equal(b.login, login)) return true;
        }
    }
    catch (const SError&)
    {
        // A folder that cannot be read may hold such a bookmark: its password stays.
        return true;
    }
    return false;
}

bool DesktopSettingsDiffer(const SMySettings& a, const SMySettings& b)
{
#define MY_COMPARE_SETTING(type, member, key, value, title, page)                                            \
    if (a.member != b.member) return true;
    MY_DESKTOP_SETTINGS(MY_COMPARE_SETTING)
#undef MY_COMPARE_SETTING
    return false;
}
} // namespace

bool CMyApplication::DoOptions()
{
    if (USound::IsAvailable()) mSettings.sound.playSounds = USound::IsCanPlay();
    if (mSettings.iconID == 0) mSettings.iconID = kIconDefaultUser;
    SMySettings chosen = mSettings;
    const CMyOptionsWin::SDesktopOffers offers{mPasswords.KeyringThere(), mDesktop.IsTrayShown()};
    if (!CMyOptionsWin::Run(chosen, !USound::IsAvailable(), offers)) return false;

    const bool nameChanged = !UPString::Equal(chosen.userName, mSettings.userName);
    // No marked cell means the icon was left alone (it may be one the cells do not show).
    if (chosen.iconID == 0) chosen.iconID = mSettings.iconID;
    const bool iconChanged = chosen.iconID != mSettings.iconID;
    if (!USound::IsAvailable())
        chosen.sound.playSounds = mSettings.sound.playSounds;
    else
        USound::SetCanPlay(chosen.sound.playSounds);
    // Switched on without a text of its own, the automatic response says the usual words; switched off,
    // the text it had is kept for the next time.
    if (!chosen.automaticResponse)
        UPString::Copy(chosen.automaticResponseText, mSettings.automaticResponseText);
    else if (chosen.automaticResponseText[0] == 0)
        UPString::SetText(chosen.automaticResponseText, kDefaultResponse);
    chosen.scrollback = SMySettings::BoundScrollback(chosen.scrollback);
    const bool desktopChanged = DesktopSettingsDiffer(chosen, mSettings);
    mSettings = chosen;
    SetChatColor(mSettings.colorChat);
    SetNewsColor(mSettings.colorNews);
    mWindows.SetScrollback(mSettings.scrollback);
    mTaskList.TransferLimits().SetFrom(mSettings);
    if (mWindows.Layout() != mSettings.layout) mWindows.UseLayout(mSettings.layout);
    // The connection kept running inside the dialog: whatever session is up now hears of the change.
    if ((nameChanged || iconChanged) && mSession.IsConnected())
    {
        StFieldData fields;
        UFieldData::AddInteger(fields, kFieldUserIconID, mSettings.iconID);
        UFieldData::AddPString(fields, kFieldUserName, mSettings.userName);
        UTransact::SendTransaction(mSession.Transactor(), kTranSetClientUserInfo, fields);
    }
    WritePrefs();
    // The desktop settings have a file of their own, written after the preferences so that a failure
    // here (which the user is told of) costs only their keeping; they hold for this run either way.
    if (desktopChanged) UMyDesktopSettings::Write(mSettings);
    return true;
}

void CMyApplication::SetChatColor(SMyColorInfo& info)
{
    info.textSize = std::clamp(info.textSize, kMinTextSize, kMaxTextSize);
    mSettings.colorChat = info;
    mWindows.SetTextColors(mSettings.colorNews, mSettings.colorChat);
}

void CMyApplication::SetNewsColor(SMyColorInfo& info)
{
    info.textSize = std::clamp(info.textSize, kMinTextSize, kMaxTextSize);
    mSettings.colorNews = info;
    mWindows.SetTextColors(mSettings.colorNews, mSettings.colorChat);
}

void CMyApplication::SaveServerFile(TFileSysRefObj* file, const uint8_t* address, const uint8_t* login,
                                    const uint8_t* password)
{
    // The file is written with the password until the keyring says it holds it; then once more without.
    const std::string path = UFileSys::GetNativePath(file);
    // A bookmark saved over one that named another server or login: that entry's password leaves the
    // keyring once nothing else names it.
    SMyBookmark before;
    bool replaces = false;
    try
    {
        bool isFolder = false;
        if (UFileSys::Exists(file, &isFolder) && !isFolder)
        {
            UMyBookmarkFile::Read(file, before);
            replaces = !UPString::Equal(before.address, address) || !UPString::Equal(before.login, login);
        }
    }
    catch (const SError&)
    {
        // Not a bookmark before: nothing of it is kept.
    }
    const std::string savedAddress(reinterpret_cast<const char*>(address), address[0] + 1u);
    const std::string savedLogin(reinterpret_cast<const char*>(login), login[0] + 1u);
    uint8_t field[256];
    mPasswords.FieldForFile(
        CMyKeptPasswords::EKind::kBookmark, address, login, password, field,
        [path, savedAddress, savedLogin,
         kept = std::string(reinterpret_cast<const char*>(password), password[0] + 1u)]
        {
            const auto* a = reinterpret_cast<const uint8_t*>(savedAddress.data());
            const auto* l = reinterpret_cast<const uint8_t*>(savedLogin.data());
            try
            {
                StFileSysRef again(UFileSys::NewFromNativePath(path.data(), uint32_t(path.size())));
                // Only the file as it was written: one changed since is left as it is.
                SMyBookmark b;
                UMyBookmarkFile::Read(again.Get(), b);
                if (!UPString::Equal(b.address, a) || !UPString::Equal(b.login, l) ||
                    !UPString::Equal(b.password, reinterpret_cast<const uint8_t*>(kept.data())))
                    return;
                const uint8_t empty[1] = {0};
                UMyBookmarkFile::Save(again.Get(), a, l, empty);
            }
            catch (const SError&)
            {
                // The file keeps the password, which still works.
            }
        });
    UMyBookmarkFile::Save(file, address, login, field);
    if (replaces && !BookmarkEntryInUse(before.address, before.login, path))
        mPasswords.Forget(CMyKeptPasswords::EKind::kBookmark, before.address, before.login);
}

void CMyApplication::ReadServerFile(TFileSysRefObj* file, uint8_t* outAddress, uint8_t* outLogin,
                                    uint8_t* outPassword)
{
    SMyBookmark b;
    UMyBookmarkFile::Read(file, b);
    UPString::Copy(outAddress, sizeof(b.address), b.address);
    UPString::Copy(outLogin, 32, b.login);
    UPString::Copy(outPassword, 32, b.password);
}

bool CMyApplication::BuildServerMenu(std::vector<SMyBookmarkItem>& outItems)
{
    outItems.clear();
    try
    {
        StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
        return UMyBookmarkFile::List(folder.Get(), outItems);
    }
    catch (const SError&)
    {
        // No user folder at all: no bookmarks either.
        return false;
    }
}
