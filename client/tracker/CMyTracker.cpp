#include "client/tracker/CMyTracker.h"

#include <algorithm>
#include <cstring>

#include "client/app/CMyApplication.h"
#include "client/core/CMyKeptPasswords.h"
#include "client/core/UMyTrackerPrefs.h"
#include "client/core/UMyTrackerWire.h"
#include "client/tracker/CInfoWindow.h"
#include "client/tracker/CMyGetTrackServListTask.h"
#include "client/tracker/CMyServersWindow.h"
#include "client/tracker/CServersList.h"
#include "client/tracker/CTrackersList.h"
#include "client/tracker/CTrackersListWin.h"
#include "client/tracker/TrackerCommands.h"
#include "client/tracker/UMyTrackerSearch.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/MessageProc.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/URez.h"
#include "framework/runtime/UText.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/SHitMsgData.h"
#include "framework/ui/UWinFromRes.h"

namespace
{
constexpr uint32_t kTypeWindow = FourCC("WIND");
constexpr int16_t kIconAccountToggle = 2021;
constexpr int32_t kDialogShortHeight = 115;
constexpr int32_t kDialogTallHeight = 282;

// The account dialog's views, by id.
enum : uint32_t
{
    kViewName = 5,
    kViewAddress = 6,
    kViewSave = 9,
    kViewCancel = 11,
    kViewPasswordLabel = 12,
    kViewPassword = 13,
    kViewLoginLabel = 14,
    kViewLogin = 15,
    kViewGuest = 16,
    kViewAccount = 17,
    kViewToggle = 200,
};

const uint8_t* P(const char* text)
{
    return reinterpret_cast<const uint8_t*>(text);
}

void SetPString(uint8_t* dest, const char* text)
{
    dest[0] = uint8_t(std::strlen(text));
    std::memcpy(dest + 1, text, dest[0]);
}

uint64_t TrackedServerKey(const uint8_t* address, uint16_t port)
{
    uint32_t a;
    std::memcpy(&a, address, 4);
    return (uint64_t(a) << 16) | port;
}

// A text box answers to its scroller's id; the field is the view inside.
CTextView* Field(CWindow* dialog, uint32_t id)
{
    auto* scroller = dynamic_cast<CScrollerView*>(UWinFromRes::GetView(dialog, id));
    return scroller ? dynamic_cast<CTextView*>(scroller->GetContent()) : nullptr;
}

void SetCommand(CWindow* dialog, uint32_t id, uint32_t command)
{
    if (CView* v = UWinFromRes::GetView(dialog, id)) v->SetCommand(command);
}

void SetMark(CWindow* dialog, uint32_t id, bool mark)
{
    if (auto* box = dynamic_cast<CCheckBoxView*>(UWinFromRes::GetView(dialog, id))) box->SetMark(mark);
}

bool GetMark(CWindow* dialog, uint32_t id)
{
    auto* box = dynamic_cast<CCheckBoxView*>(UWinFromRes::GetView(dialog, id));
    return box && box->GetMark();
}

// Guest or account: the login and password take part only with an account.
void ChooseAccount(CWindow* dialog, bool hasAccount)
{
    SetMark(dialog, kViewGuest, !hasAccount);
    SetMark(dialog, kViewAccount, hasAccount);
    for (uint32_t id : {kViewLoginLabel, kViewLogin, kViewPasswordLabel, kViewPassword})
        if (CView* v = UWinFromRes::GetView(dialog, id)) v->SetEnable(hasAccount);
}

void SetDialogHeight(CWindow* dialog, int32_t height)
{
    SRect b;
    dialog->GetBounds(b);
    b.bottom = b.top + height;
    dialog->SetBounds(b);
}
} // namespace

CMyTracker::CMyTracker()
{
    mTrackersWin = std::make_unique<CTrackersListWin>();
    mTrackerList = mTrackersWin->View();
    mServsWin = std::make_unique<CMyServersWindow>();
    mServsList = mServsWin->View();
    mTrackersWin->Place(kPlaceCenterScreen);
    mServsWin->Place(kPlaceCenterScreen);
    mTimer.Reset(UTimer::New(TimerProc, this));
    // A first start lists the tracker of this machine, where the demo server runs one; the preferences
    // replace the list once they hold one.
    AddTracker(P("\x0D"
                 "Local Tracker"),
               P(""),
               P("\x09"
                 "127.0.0.1"),
               P(""), P(""), 0, 1);
}

CMyTracker::~CMyTracker()
{
    // The shown list points into the server list, which goes before the window that shows it.
    mServsList->RemoveAll();
}

void CMyTracker::TimerProc(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    if (msg == kMsgTimer) static_cast<CMyTracker*>(context)->FilterServerList();
}

std::string CMyTracker::SearchText() const
{
    std::string text = mServsWin->SearchField()->GetText();
    if (text.size() > 255) text.resize(255);
    return text;
}

void CMyTracker::AddServer(const std::string& name, const std::string& desc, const uint8_t* address,
                           uint16_t port, uint16_t users, uint16_t flags)
{
    auto server = std::make_unique<STrackInfo>();
    std::memcpy(server->Address, address, 4);
    server->Port = port;
    server->uCount = users;
    server->Flags = flags;
    server->User[0] = uint8_t(UText::Format(server->User + 1, 49, "%hu", users));
    server->Name = name;
    server->Desc = desc;
    server->SearchName = UMyTrackerSearch::ToLower(name);
    server->SearchDesc = UMyTrackerSearch::ToLower(desc);
    STrackInfo* raw = server.get();
    mServerKeys.insert(TrackedServerKey(address, port));
    mServerList.push_back(std::move(server));
    // The same rule as a new search, so that the list shows the same whether a server came before or
    // after the text was typed.
    if (UMyTrackerSearch::ShowInList(SearchText(), *raw)) mServsList->AddTrackerFromPointer(raw);
}

bool CMyTracker::IsInList(const uint8_t* address, uint16_t port) const
{
    return mServerKeys.count(TrackedServerKey(address, port)) != 0;
}

void CMyTracker::SetTotalServerCount(int16_t trackID, uint32_t total)
{
    if (STrackServerInfo* entry = mTrackerList->GetServerInfoByID(trackID)) entry->TotalCount = total;
}

uint32_t CMyTracker::AddListFromData(int16_t trackID, const uint8_t* data, uint32_t size)
{
    STrackServerInfo* entry = mTrackerList->GetServerInfoByID(trackID);
    if (!entry) return 0;
    uint32_t count = 0;
    uint32_t offset = 0;
    SMyTrackedServer record;
    while (UMyTrackerWire::ReadServerRecord(data, size, offset, record))
    {
        if (!IsInList(record.address, record.port))
        {
            AddServer(record.name, record.desc, record.address, record.port, record.users, 0);
            ++entry->CurrentCount;
        }
        ++count;
    }
    entry->Status[0] = uint8_t(UText::Format(entry->Status + 1, 255, "%lu", entry->TotalCount));
    mTrackerList->UpdateItemByID(trackID);
    SetServerCountLabel();
    return count;
}

void CMyTracker::ConnectionRefused(int16_t trackID)
{
    STrackServerInfo* entry = mTrackerList->GetServerInfoByID(trackID);
    if (!entry) return;
    SetPString(entry->Status, "Refused");
    mTrackerList->UpdateItemByID(trackID);
}

void CMyTracker::SetServerCountLabel()
{
    uint8_t shown[16], total[16];
    shown[0] = uint8_t(UText::Format(shown + 1, 15, "%lu", mServsList->GetItemCount()));
    total[0] = uint8_t(UText::Format(total + 1, 15, "%lu", uint32_t(mServerList.size())));
    uint8_t text[40];
    text[0] = uint8_t(UText::Format(text + 1, 39, "%#s/%#s", shown, total));
    mServsWin->CountLabel()->SetText(text);
}

void CMyTracker::FilterServerList()
{
    FilterServerList(SearchText());
}

void CMyTracker::FilterServerList(const std::string& text)
{
    mServsList->RemoveAll();
    for (const auto& server : mServerList)
        if (UMyTrackerSearch::ShowInList(text, *server)) mServsList->AddTrackerFromPointer(server.get());
    SetServerCountLabel();
}

bool CMyTracker::FilterServer(const std::string& text, const STrackInfo& server)
{
    return UMyTrackerSearch::FilterServer(text, server);
}

void CMyTracker::Reset()
{
    mServsList->RemoveAll();
    mServerList.clear();
    mServerKeys.clear();
    SetServerCountLabel();
    for (uint32_t i = 0; STrackServerInfo* entry = mTrackerList->GetServerInfo(i); ++i)
    {
        entry->CurrentCount = entry->TotalCount = 0;
        // A tracker that is not ticked is not asked, so it is not "connecting" either.
        if (entry->useServer)
            SetPString(entry->Status, "Connecting...");
        else
            entry->Status[0] = 0;
    }
    mTrackerList->Refresh();
}

void CMyTracker::Refresh()
{
    Reset();
    for (uint32_t i = mTrackerList->GetServerTotal(); i > 0; --i)
    {
        const STrackServerInfo* entry = mTrackerList->GetServerInfo(i - 1);
        if (entry->useServer) new CMyGetTrackServListTask(*this, entry->Address, entry->Name, entry->ID);
    }
}

STrackServerInfo* CMyTracker::AddTracker(const uint8_t* name, const uint8_t* comments, const uint8_t* address,
                                         const uint8_t* login, const uint8_t* password, int16_t hasAccount,
                                         int16_t use)
{
    return mTrackerList->AddTracker(name, comments, address, login, password, hasAccount, use,
                                    int16_t(mLastID++));
}

void CMyTracker::ShowServersWindow()
{
    if (mServsWin->IsVisible())
        mServsWin->BringToFront();
    else
        mServsWin->Show();
    if (gApp) gApp->DoRefreshTracker();
}

void CMyTracker::ShowTrackersWindow()
{
    if (mTrackersWin->IsVisible())
        mTrackersWin->BringToFront();
    else
        mTrackersWin->Show();
}

void CMyTracker::LookUpPassword(const STrackServerInfo& entry)
{
    const int16_t id = entry.ID;
    const std::string address(reinterpret_cast<const char*>(entry.Address), entry.Address[0] + 1u);
    const std::string login(reinterpret_cast<const char*>(entry.Login), entry.Login[0] + 1u);
    gApp->Features().Passwords().LookUp(
        CMyKeptPasswords::EKind::kTracker, entry.Address, entry.Login,
        [id, address, login](const uint8_t* found)
        {
            // Only into the entry it belongs to, as long as it is unchanged.
            CMyTracker* tracker = gApp ? gApp->Features().Tracker() : nullptr;
            STrackServerInfo* entry = tracker ? tracker->mTrackerList->GetServerInfoByID(id) : nullptr;
            if (!entry || entry->Pass[0] ||
                !UPString::Equal(entry->Address, reinterpret_cast<const uint8_t*>(address.data())) ||
                !UPString::Equal(entry->Login, reinterpret_cast<const uint8_t*>(login.data())))
                return;
            UPString::Copy(entry->Pass, found);
        });
}

void CMyTracker::ForgetPassword(const std::string& address, const std::string& login)
{
    const auto* a = reinterpret_cast<const uint8_t*>(address.data());
    const auto* l = reinterpret_cast<const uint8_t*>(login.data());
    for (uint32_t i = 0; const STrackServerInfo* entry = mTrackerList->GetServerInfo(i); ++i)
        if (UPString::Equal(entry->Address, a) && UPString::Equal(entry->Login, l)) return;
    if (gApp) gApp->Features().Passwords().Forget(CMyKeptPasswords::EKind::kTracker, a, l);
}

std::string CMyTracker::WritePrefs() const
{
    SMyTrackerBlock block;
    mTrackersWin->GetBounds(block.trackersWinBounds);
    mServsWin->GetBounds(block.serversWinBounds);
    block.trackersWinVisible = mTrackersWin->IsVisible();
    block.serversWinVisible = mServsWin->IsVisible();
    for (uint32_t i = 0; const STrackServerInfo* entry = mTrackerList->GetServerInfo(i); ++i)
    {
        block.trackers.push_back(*entry);
        // A password the keyring holds leaves the file; one it is just given is written once more, and
        // the preferences are written again when the keyring has it.
        if (gApp)
            gApp->Features().Passwords().FieldForFile(CMyKeptPasswords::EKind::kTracker, entry->Address,
                                                      entry->Login, entry->Pass, block.trackers.back().Pass,
                                                      []
                                                      {
                                                          if (!gApp) return;
                                                          try
                                                          {
                                                              gApp->WritePrefs();
                                                          }
                                                          catch (const SError&)
                                                          {
                                                              // The file keeps the password, which still
                                                              // works.
                                                          }
                                                      });
    }
    return UMyTrackerPrefs::Write(block);
}

uint32_t CMyTracker::ReadPrefs(const void* data, uint32_t size)
{
    SMyTrackerBlock block;
    const uint32_t sizeValue = UMyTrackerPrefs::Read(data, size, block);
    mTrackersWin->SetBounds(block.trackersWinBounds);
    mServsWin->SetBounds(block.serversWinBounds);
    for (auto [window, visible] : {std::pair<CWindow*, bool>{mTrackersWin.get(), block.trackersWinVisible},
                                   std::pair<CWindow*, bool>{mServsWin.get(), block.serversWinVisible}})
        if (visible)
            window->Show();
        else
            window->Hide();
    mTrackerList->RemoveAll();
    for (const STrackServerInfo& t : block.trackers)
    {
        auto entry = std::make_unique<STrackServerInfo>(t);
        entry->ID = int16_t(mLastID++);
        entry->Status[0] = 0;
        if (gApp && !entry->Pass[0] && entry->Login[0]) LookUpPassword(*entry);
        mTrackerList->AddTrackerFromPointer(std::move(entry));
    }
    return sizeValue;
}

uint32_t CMyTracker::WritePrefs(TFileSysRefObj* file, uint32_t offset) const
{
    const std::string block = WritePrefs();
    UFileSys::Write(file, offset, block.data(), uint32_t(block.size()));
    return uint32_t(block.size());
}

uint32_t CMyTracker::ReadPrefs(TFileSysRefObj* file, uint32_t offset)
{
    const uint64_t fileSize = UFileSys::GetSize(file);
    const uint64_t size = fileSize > offset ? fileSize - offset : 0;
    if (size > kMaxPrefsBlock) Fail(kErrTypeGeneral, 1);
    std::string block(size_t(size), '\0');
    block.resize(UFileSys::Read(file, offset, block.data(), uint32_t(size)));
    return ReadPrefs(block.data(), uint32_t(block.size()));
}

std::vector<CWindow*> CMyTracker::GetAccountDialogs() const
{
    std::vector<CWindow*> out;
    for (const SAccountDialog& d : mAccountDialogs)
        out.push_back(d.window.get());
    return out;
}

std::vector<CInfoWindow*> CMyTracker::GetInfoWindows() const
{
    std::vector<CInfoWindow*> out;
    for (const auto& window : mInfoWindows)
        out.push_back(window.get());
    return out;
}

CMyTracker::SAccountDialog* CMyTracker::FindAccountDialog(CWindow* window)
{
    for (SAccountDialog& d : mAccountDialogs)
        if (d.window.get() == window) return &d;
    return nullptr;
}

void CMyTracker::OpenAccountDialog(const STrackServerInfo* entry)
{
    TRezObj* rez = URez::SearchChain(kTypeWindow, kAccountDialogID);
    if (!rez) return;
    CWindow* dialog = nullptr;
    {
        StRezLoader item(rez, kTypeWindow, kAccountDialogID, true);
        if (!item.Handle()) return;
        StHandleLocker lock(item.Handle());
        dialog = UWinFromRes::New(lock.Data(), UMemory::GetSize(item.Handle()));
    }
    if (!dialog) return;
    mAccountDialogs.push_back({std::unique_ptr<CWindow>(dialog), entry ? entry->ID : kNewEntry});
    SetCommand(dialog, kViewSave, kCmdTrackSave);
    SetCommand(dialog, kViewCancel, kCmdTrackCancel);
    SetCommand(dialog, kViewGuest, kCmdTrackGuest);
    SetCommand(dialog, kViewAccount, kCmdTrackAccount);
    SetCommand(dialog, kViewToggle, kCmdTrackToggleSize);
    if (auto* toggle = dynamic_cast<CIconButtonView*>(UWinFromRes::GetView(dialog, kViewToggle)))
        toggle->SetIcon(kIconAccountToggle);
    if (CTextView* password = Field(dialog, kViewPassword)) password->SetPasswordLook(true);
    SetDialogHeight(dialog, kDialogShortHeight);
    dialog->SetTitle("Account", 7);
    const uint8_t empty[1] = {0};
    const std::pair<uint32_t, const uint8_t*> fields[] = {
        {kViewName, entry ? entry->Name : empty},
        {kViewAddress, entry ? entry->Address : empty},
        {kViewLogin, entry ? entry->Login : empty},
        {kViewPassword, entry ? entry->Pass : empty},
    };
    for (const auto& [id, text] : fields)
        if (CTextView* field = Field(dialog, id)) field->SetText(text);
    ChooseAccount(dialog, entry && entry->hasAccount);
    dialog->Show();
    if (CTextView* name = Field(dialog, kViewName))
    {
        name->SetFocus();
        name->SelectAll();
    }
}

void CMyTracker::SaveAccountDialog(CWindow* dialog)
{
    SAccountDialog* d = FindAccountDialog(dialog);
    if (!d) return;
    uint8_t name[256] = {}, address[256] = {}, login[256] = {}, password[256] = {};
    const std::pair<uint32_t, uint8_t*> fields[] = {
        {kViewName, name}, {kViewAddress, address}, {kViewLogin, login}, {kViewPassword, password}};
    for (const auto& [id, text] : fields)
        if (CTextView* field = Field(dialog, id)) field->GetText(text, 255);
    const int16_t hasAccount = GetMark(dialog, kViewAccount) ? 1 : 0;
    const uint8_t noComments[1] = {0};
    std::string oldAddress, oldLogin;
    if (const STrackServerInfo* old = mTrackerList->GetServerInfoByID(d->entryID))
    {
        oldAddress.assign(reinterpret_cast<const char*>(old->Address), old->Address[0] + 1u);
        oldLogin.assign(reinterpret_cast<const char*>(old->Login), old->Login[0] + 1u);
    }
    // The entry the dialog was opened for, whatever is selected now; one removed meanwhile comes back as
    // a new entry rather than losing what the user typed.
    if (d->entryID == kNewEntry ||
        !mTrackerList->UpdateTrackerByID(d->entryID, name, noComments, address, login, password, hasAccount))
        AddTracker(name, noComments, address, login, password, hasAccount, 1);
    if (!oldAddress.empty()) ForgetPassword(oldAddress, oldLogin);
    CloseAccountDialog(dialog);
}

void CMyTracker::CloseAccountDialog(CWindow* dialog)
{
    auto it = std::find_if(mAccountDialogs.begin(), mAccountDialogs.end(),
                           [dialog](const SAccountDialog& d) { return d.window.get() == dialog; });
    if (it == mAccountDialogs.end()) return;
    // Out of the list before it goes.
    std::unique_ptr<CWindow> closing = std::move(it->window);
    mAccountDialogs.erase(it);
}

void CMyTracker::ShowServerInfo()
{
    const STrackInfo* server = mServsList->GetSelectInfo();
    if (!server) return;
    auto* window = mInfoWindows.emplace_back(std::make_unique<CInfoWindow>()).get();
    window->ShowServer(*server);
    // Several may be open: each steps away from the last so that none hides another.
    window->SetAutoBounds(kPlaceCenterScreen, kPlaceMainScreen);
    window->Show();
}

bool CMyTracker::CloseWindow(CWindow* window)
{
    if (!window) return false;
    if (window == mTrackersWin.get() || window == mServsWin.get())
    {
        window->Hide();
        return true;
    }
    if (auto it = std::find_if(mInfoWindows.begin(), mInfoWindows.end(),
                               [window](const auto& info) { return info.get() == window; });
        it != mInfoWindows.end())
    {
        std::unique_ptr<CInfoWindow> closing = std::move(*it);
        mInfoWindows.erase(it);
        return true;
    }
    // Closing the account dialog is its Cancel.
    if (FindAccountDialog(window))
    {
        CloseAccountDialog(window);
        return true;
    }
    return false;
}

bool CMyTracker::WindowHit(CWindow* window, const SHitMsgData& hit)
{
    if (hit.id == kHitCloseBox) return CloseWindow(window);
    const bool fromLists = window && (window == mTrackersWin.get() || window == mServsWin.get());
    const bool fromDialog = window && FindAccountDialog(window);
    if (!fromLists && !fromDialog) return false;
    switch (hit.cmd)
    {
    case kCmdTrackEdit:
        if (const STrackServerInfo* entry = mTrackerList->GetSelectInfo()) OpenAccountDialog(entry);
        return true;
    case kCmdTrackRemove:
        if (const STrackServerInfo* entry = mTrackerList->GetSelectInfo())
        {
            const std::string address(reinterpret_cast<const char*>(entry->Address), entry->Address[0] + 1u);
            const std::string login(reinterpret_cast<const char*>(entry->Login), entry->Login[0] + 1u);
            mTrackerList->RemoveSelected();
            ForgetPassword(address, login);
        }
        return true;
    case kCmdTrackNew:
        mTrackerList->DeselectAll();
        OpenAccountDialog(nullptr);
        return true;
    case kCmdTrackSearch:
        UTimer::Stop(mTimer);
        if (hit.part == kTextPartEnter || hit.part == kTextPartEnterMod)
            FilterServerList();
        else if (hit.part == kTextPartChanged)
            UTimer::Start(mTimer, kSearchDelayMs, false);
        return true;
    case kCmdTrackConnectWithDialog:
        if (gApp) gApp->DoConnectToTracked(true);
        return true;
    case kCmdTrackServerInfo:
        ShowServerInfo();
        return true;
    case kCmdTrackRefresh:
        if (gApp) gApp->DoRefreshTracker();
        return true;
    case kCmdTrackShowList:
        ShowTrackersWindow();
        return true;
    case kCmdTrackConnect:
        // A double click connects at once; with Alt it shows the connect dialog first.
        if (gApp) gApp->DoConnectToTracked((hit.mods & kModAlt) != 0);
        return true;
    case kCmdTrackGuest:
    case kCmdTrackAccount:
        if (fromDialog) ChooseAccount(window, hit.cmd == kCmdTrackAccount);
        return fromDialog;
    case kCmdTrackSave:
        if (fromDialog) SaveAccountDialog(window);
        return fromDialog;
    case kCmdTrackToggleSize:
        if (fromDialog)
        {
            SRect b;
            window->GetBounds(b);
            SetDialogHeight(window,
                            b.Height() < kDialogShortHeight + 1 ? kDialogTallHeight : kDialogShortHeight);
        }
        return fromDialog;
    case kCmdTrackCancel:
        if (fromDialog) CloseAccountDialog(window);
        return fromDialog;
    default:
        return false;
    }
}
