// What the application keeps between runs (the preferences file), the options dialog that changes it,
// and the bookmark files that keep servers.
#include <algorithm>
#include <cstring>
#include <random>

#include "client/app/AppNumbers.h"
#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/desktop/CMyDesktopNotices.h"
#include "client/prefs/CMyOptionsWin.h"
#include "client/prefs/UMyBookmarkFile.h"
#include "client/prefs/UMyPrefsFile.h"
#include "client/tracker/CMyTracker.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"
#include "framework/net/UTransact.h"
#include "framework/net/UTransport.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/UText.h"

namespace
{
constexpr uint16_t kDefaultFirewallPort = 1080;
constexpr uint16_t kMinTextSize = 4, kMaxTextSize = 50;
constexpr char kUnnamed[] = "unnamed";
constexpr char kDefaultResponse[] = "I'm not able to respond right now. Please try later!";
const uint8_t kSavePrompt[] = "\x11Save Bookmark As:";
const uint8_t kUntitled[] = "\x08Untitled";

// The text is taken as the address up to its first blank, blanks before it dropped: a stray blank typed
// around the host would otherwise make every connection fail to find it. A firewall text that names its
// port ("host:1234") leaves the port to the text; a bare host gets the usual SOCKS port.
void SetFirewall(SInternetNameAddress& address, const uint8_t* text)
{
    address.name[0] = uint8_t(UTransport::CleanUpAddressText(kInternetNameAddressType, text + 1, text[0],
                                                             address.name + 1, sizeof(address.name) - 1));
    address.port =
        UPString::Text(address.name).find(':') != std::string_view::npos ? 0 : kDefaultFirewallPort;
}

uint32_t Random32()
{
    static std::mt19937 generator{std::random_device{}()};
    return uint32_t(generator());
}

// The switches of the application's one-bit flags in the block's option bits.
uint32_t OptionBits(const CMyApplication& app)
{
    uint32_t bits = 0;
    if (app.mShowPrivMsgAtBack) bits |= kPrefsShowPrivMsgAtBack;
    if (app.mQueueTransfers) bits |= kPrefsQueueTransfers;
    if (app.mShowJoinLeaveInChat) bits |= kPrefsShowJoinLeave;
    if (app.mRefusePrivateMsg) bits |= kPrefsRefusePrivateMsg;
    if (app.mRefusePrivateChat) bits |= kPrefsRefusePrivateChat;
    if (app.mAutomaticResponse) bits |= kPrefsAutomaticResponse;
    return bits;
}

bool HasExtension(const uint8_t* name)
{
    const uint32_t n = name[0], ext = UMyBookmarkFile::kExtension[0];
    return n >= ext && UText::Equal(name + 1 + n - ext, ext, UMyBookmarkFile::kExtension + 1, ext);
}
} // namespace

void CMyApplication::ReadPrefs(SMyPrefs* outPrefs)
{
    SMyPrefs p;
    const bool usable =
        UMyPrefsFile::Read(kFSProgramFolder, p,
                           [this](TFileSysRefObj* file, uint32_t offset) { ReadTrackerPrefs(file, offset); });
    if (outPrefs) *outPrefs = p;
    if (!usable)
    {
        // A missing, short or outdated file: the settings of a first run, without a word.
        mIconID = kIconDefaultUser;
        UPString::SetText(mUserName, kUnnamed);
        mTotalBytesUploaded = mTotalBytesDownloaded = mTotalSecsOnline = mTotalChatBytes = 0;
        mColorChat = kDefaultColorInfo;
        mColorNews = kDefaultColorInfo;
        if (!mSoundDisabled) USound::SetCanPlay(mSoundPrefs.playSounds);
        return;
    }
    UPString::Copy(mUserName, p.userName);
    mTotalBytesUploaded = p.totalUploaded;
    mTotalBytesDownloaded = p.totalDownloaded;
    mTotalSecsOnline = p.totalOnline;
    mTotalChatBytes = p.totalChat;
    mShowPrivMsgAtBack = (p.options & kPrefsShowPrivMsgAtBack) != 0;
    mQueueTransfers = (p.options & kPrefsQueueTransfers) != 0;
    mShowJoinLeaveInChat = (p.options & kPrefsShowJoinLeave) != 0;
    mRefusePrivateMsg = (p.options & kPrefsRefusePrivateMsg) != 0;
    mRefusePrivateChat = (p.options & kPrefsRefusePrivateChat) != 0;
    mAutomaticResponse = (p.options & kPrefsAutomaticResponse) != 0;
    UPString::Copy(mAutomaticResponseText, p.automaticResponseText);
    // Sizes edited into the file by hand are held to what the windows can show.
    SetChatColor(p.colorChat);
    SetNewsColor(p.colorNews);
    SetFirewall(mFirewallAddress, p.firewall);
    mSoundPrefs = UMyPrefsFile::SoundFromBits(p.sound);
    if (!mSoundDisabled) USound::SetCanPlay(mSoundPrefs.playSounds);
    mIconID = UMyPrefsFile::GetIcon(p);
}

void CMyApplication::WritePrefs()
{
    SMyPrefs p;
    std::memset(&p, 0, sizeof(p));
    p.version = UMyPrefsFile::kVersion;
    GetWindowPlaces(p);
    UMyPrefsFile::SetIcon(p, mIconID, Random32(), Random32());
    UPString::Copy(p.userName, mUserName);
    p.totalUploaded = mTotalBytesUploaded;
    p.totalDownloaded = mTotalBytesDownloaded;
    p.totalOnline = mTotalSecsOnline;
    p.totalChat = mTotalChatBytes;
    p.options = OptionBits(*this);
    UPString::Copy(p.automaticResponseText, mAutomaticResponseText);
    p.colorChat = mColorChat;
    p.colorNews = mColorNews;
    UPString::Copy(p.firewall, mFirewallAddress.name);
    // Without sound output the switch cannot be read from it; the user's choice is kept as it was.
    if (!mSoundDisabled) mSoundPrefs.playSounds = USound::IsCanPlay();
    p.sound = UMyPrefsFile::SoundToBits(mSoundPrefs);
    UMyPrefsFile::Write(kFSProgramFolder, p,
                        [this](TFileSysRefObj* file, uint32_t offset) { WriteTrackerPrefs(file, offset); });
}

// The tracker controller keeps its list in the block after the fixed one. A block it cannot read costs
// only the trackers: the preferences file's reader catches what it raises.
void CMyApplication::ReadTrackerPrefs(TFileSysRefObj* file, uint32_t offset)
{
    if (mTracker) mTracker->ReadPrefs(file, offset);
}

void CMyApplication::WriteTrackerPrefs(TFileSysRefObj* file, uint32_t offset)
{
    if (mTracker) mTracker->WritePrefs(file, offset);
}

bool CMyApplication::DoOptions()
{
    if (!mSoundDisabled) mSoundPrefs.playSounds = USound::IsCanPlay();
    if (mIconID == 0) mIconID = kIconDefaultUser;
    SMyOptions o;
    std::memset(&o, 0, sizeof(o));
    UPString::Copy(o.userName, mUserName);
    o.iconID = mIconID;
    UPString::Copy(o.firewall, mFirewallAddress.name);
    o.sound = mSoundPrefs;
    o.soundDisabled = mSoundDisabled;
    o.showPrivMsgAtBack = mShowPrivMsgAtBack;
    o.queueTransfers = mQueueTransfers;
    o.refusePrivateMsg = mRefusePrivateMsg;
    o.refusePrivateChat = mRefusePrivateChat;
    o.showJoinLeave = mShowJoinLeaveInChat;
    o.automaticResponse = mAutomaticResponse;
    UPString::Copy(o.automaticResponseText, mAutomaticResponseText);
    o.colorChat = mColorChat;
    o.colorNews = mColorNews;
    o.desktopNotices = DesktopNotices().IsOn();
    if (!CMyOptionsWin::Run(o)) return false;

    const bool nameChanged = !UPString::Equal(o.userName, mUserName);
    UPString::Copy(mUserName, o.userName);
    SetFirewall(mFirewallAddress, o.firewall);
    // No marked cell means the icon was left alone (it may be one the cells do not show).
    const bool iconChanged = o.iconID != 0 && o.iconID != mIconID;
    if (o.iconID) mIconID = o.iconID;
    if (mSoundDisabled)
        o.sound.playSounds = mSoundPrefs.playSounds;
    else
        USound::SetCanPlay(o.sound.playSounds);
    mSoundPrefs = o.sound;
    mShowPrivMsgAtBack = o.showPrivMsgAtBack;
    mQueueTransfers = o.queueTransfers;
    mRefusePrivateMsg = o.refusePrivateMsg;
    mRefusePrivateChat = o.refusePrivateChat;
    mShowJoinLeaveInChat = o.showJoinLeave;
    mAutomaticResponse = o.automaticResponse;
    if (mAutomaticResponse)
    {
        if (o.automaticResponseText[0])
            UPString::Copy(mAutomaticResponseText, o.automaticResponseText);
        else
            UPString::SetText(mAutomaticResponseText, kDefaultResponse);
    }
    SetChatColor(o.colorChat);
    SetNewsColor(o.colorNews);
    // The connection kept running inside the dialog: whatever session is up now hears of the change.
    if ((nameChanged || iconChanged) && mIsConnected && mTpt)
    {
        StFieldData fields;
        UFieldData::AddInteger(fields, kFieldUserIconID, mIconID);
        UFieldData::AddPString(fields, kFieldUserName, mUserName);
        UTransact::SendTransaction(mTpt, kTranSetClientUserInfo, fields);
    }
    WritePrefs();
    // The switch has a file of its own, written after the preferences so that a failure here (which the
    // user is told of) costs only the switch's keeping; it holds for this run either way.
    if (o.desktopNotices != DesktopNotices().IsOn()) DesktopNotices().SetOn(o.desktopNotices);
    return true;
}

void CMyApplication::SetChatColor(SMyColorInfo& info)
{
    info.textSize = std::clamp(info.textSize, kMinTextSize, kMaxTextSize);
    mColorChat = info;
    ShowTextColors();
}

void CMyApplication::SetNewsColor(SMyColorInfo& info)
{
    info.textSize = std::clamp(info.textSize, kMinTextSize, kMaxTextSize);
    mColorNews = info;
    ShowTextColors();
}

void CMyApplication::SaveServerFile(TFileSysRefObj* file, const uint8_t* address, const uint8_t* login,
                                    const uint8_t* password)
{
    UMyBookmarkFile::Save(file, address, login, password);
}

void CMyApplication::ReadServerFile(TFileSysRefObj* file, uint8_t* outAddress, uint8_t* outLogin,
                                    uint8_t* outPassword)
{
    SMyBookmark b;
    UMyBookmarkFile::Read(file, b);
    UPString::Copy(outAddress, sizeof(b.address), b.address);
    UPString::Copy(outLogin, sizeof(mUserLogin), b.login);
    UPString::Copy(outPassword, sizeof(mUserPassword), b.password);
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

void CMyApplication::DoSaveBookmark(const uint8_t* address, const uint8_t* login, const uint8_t* password)
{
    // The address names the file, as far as a file name can carry it.
    uint8_t suggested[256];
    const uint8_t* base = address && address[0] ? address : kUntitled;
    const uint32_t ext = UMyBookmarkFile::kExtension[0];
    UPString::Copy(suggested, 256 - ext, base);
    suggested[0] = uint8_t(UFileSys::ValidateFileName(suggested + 1, suggested[0]));
    std::memcpy(suggested + 1 + suggested[0], UMyBookmarkFile::kExtension + 1, ext);
    suggested[0] = uint8_t(suggested[0] + ext);

    // The dialog starts in the bookmark folder, made if need be, so that the menu lists what is saved.
    StFileSysRef folder(UMyBookmarkFile::NewFolderRef());
    bool isFolder = false;
    try
    {
        if (!UFileSys::Exists(folder.Get(), &isFolder))
        {
            UFileSys::CreateFolder(folder.Get());
            isFolder = true;
        }
    }
    catch (const SError&)
    {
        // The dialog then starts where it likes; the user can still save anywhere.
    }
    StFileSysRef file(UFileSys::UserSaveFile(suggested, kSavePrompt, isFolder ? folder.Get() : nullptr));
    if (!file.Get()) return;
    // A file's kind is its extension here, so a bookmark saved without one would not be a bookmark.
    uint8_t name[256];
    UFileSys::GetName(file.Get(), name);
    if (!HasExtension(name) && name[0] <= 255 - ext)
    {
        std::memcpy(name + 1 + name[0], UMyBookmarkFile::kExtension + 1, ext);
        name[0] = uint8_t(name[0] + ext);
        UFileSys::SetRefName(file.Get(), name);
    }
    SaveServerFile(file.Get(), address, login, password);
}

void CMyApplication::OpenBookmark(TFileSysRefObj* ref)
{
    uint8_t address[256], login[sizeof(mUserLogin)], password[sizeof(mUserPassword)], name[256];
    ReadServerFile(ref, address, login, password);
    UPString::Copy(mUserLogin, login);
    UPString::Copy(mUserPassword, password);
    UFileSys::GetName(ref, name);
    DoConnect(address, name);
}
