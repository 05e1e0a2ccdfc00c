#include "client/connection/CMyLoginWin.h"

#include <QLineEdit>
#include <cstring>

#include "client/widgets/MyDialogLabel.h"
#include "framework/ui/CButtonPopupView.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UModalLoop.h"

namespace
{
constexpr char kHelpText[] =
    "Enter the server address, and if you have an account, your login and password.  "
    "If not, leave the login and password blank.";
constexpr char kLocalHost[] = "127.0.0.1";
} // namespace

CMyLoginWin::CMyLoginWin() : CWindow(SRect{0, 0, 340, 248}, kWindowModal)
{
    SetTitle("Connect", 7);
    new CIconView(this, SRect{10, 10, 42, 42}, 1001);
    MakeDialogLabel(this, SRect{50, 10, 335, 60}, kHelpText);
    new CBoxView(this, SRect{10, 70, 330, 202});
    MakeDialogLabel(this, SRect{20, 86, 81, 102}, "Server:");
    MakeDialogLabel(this, SRect{20, 116, 69, 132}, "Login:");
    MakeDialogLabel(this, SRect{20, 146, 95, 162}, "Password:");
    mServer = new CTextView(this, SRect{100, 80, 300, 106}, kTextSingleLine);
    mServer->SetID(kHitServerEdited);
    mServer->SetMaxLength(255);
    mServer->SetChangeHits(true);
    mLogin = new CTextView(this, SRect{100, 110, 300, 136}, kTextSingleLine);
    mLogin->SetMaxLength(31);
    mPassword = new CTextView(this, SRect{100, 140, 300, 166}, kTextPassword);
    mPassword->SetMaxLength(31);
    mKeepPassword = new CCheckBoxView(this, SRect{100, 172, 320, 192}, "Keep my password");
    mBookmarks = new CButtonPopupView(this, SRect{304, 83, 324, 103});
    mBookmarks->SetID(kHitBookmarkMenu);
    mConnectBtn = new CButtonView(this, SRect{254, 212, 330, 238}, "Connect");
    mConnectBtn->SetID(kHitConnect);
    mConnectBtn->SetDefault(true);
    mCancelBtn = new CButtonView(this, SRect{170, 215, 240, 235}, "Cancel");
    mCancelBtn->SetID(kHitCancel);
    mCancelBtn->SetCancel(true);
    mSaveBtn = new CButtonView(this, SRect{10, 215, 80, 235}, "Save...");
    mSaveBtn->SetID(kHitSave);
    // The buttons follow the address at once: a modal loop keeps only the last hit of a burst of events,
    // so the change hit alone could be overtaken by a button's.
    QObject::connect(mServer->LineEdit(), &QLineEdit::textChanged, [this] { UpdateButtons(); });
    QObject::connect(mServer->LineEdit(), &QLineEdit::textEdited, [this] { SetBookmarkName(nullptr); });
    mServer->SetFocus();
    UpdateButtons();
    MakeResizable();
}

void CMyLoginWin::SetInfo(const uint8_t* server, const uint8_t* login, const uint8_t* password)
{
    if (server) mServer->SetText(server);
    if (login) mLogin->SetText(login);
    if (password) mPassword->SetText(password);
    CTextView* focus = mServer;
    for (CTextView* field : {mServer, mLogin, mPassword})
        if (field->GetTextSize() == 0)
        {
            focus = field;
            break;
        }
    focus->SetFocus();
    UpdateButtons();
}

void CMyLoginWin::GetInfo(uint8_t* outServer, uint8_t* outLogin, uint8_t* outPassword) const
{
    if (outServer) mServer->GetText(outServer, 255);
    if (outLogin) mLogin->GetText(outLogin, 31);
    if (outPassword) mPassword->GetText(outPassword, 31);
}

void CMyLoginWin::SetKeepPassword(bool keep)
{
    mKeepPassword->SetMark(keep);
}

bool CMyLoginWin::KeepsPassword() const
{
    return mKeepPassword->GetMark();
}

void CMyLoginWin::UpdateButtons()
{
    const bool hasServer = mServer->GetTextSize() != 0;
    mConnectBtn->SetEnable(hasServer);
    mSaveBtn->SetEnable(hasServer);
}

void CMyLoginWin::AddBookmark(const uint8_t* title)
{
    mBookmarks->AddItem(title);
}

void CMyLoginWin::RefillBookmarks(const SHooks* hooks)
{
    mBookmarks->RemoveAll();
    SetBookmarkMenuEnabled(hooks && hooks->fillBookmarks && hooks->fillBookmarks(*this));
}

void CMyLoginWin::SetBookmarkMenuEnabled(bool enabled)
{
    mBookmarks->SetEnable(enabled);
}

uint32_t CMyLoginWin::GetChosenBookmark() const
{
    return mBookmarks->GetSelectedItem();
}

void CMyLoginWin::SetBookmarkName(const uint8_t* name)
{
    const uint8_t n = name ? name[0] : 0;
    mBookmarkName[0] = n;
    if (n) std::memcpy(mBookmarkName + 1, name + 1, n);
}

bool CMyLoginWin::HandleHit(uint32_t hit, const SHooks* hooks, bool& outConnect)
{
    outConnect = false;
    switch (hit)
    {
    case kHitConnect:
        // Return reaches the default button even while it is dimmed; without an address it means nothing.
        if (!mConnectBtn->IsEnabled()) return false;
        outConnect = true;
        return true;
    case kHitCancel:
    case kHitCloseBox:
        return true;
    case kHitSave:
        if (hooks && hooks->save && mSaveBtn->IsEnabled())
        {
            hooks->save(*this);
            RefillBookmarks(hooks);
        }
        return false;
    case kHitBookmarkMenu:
        if (hooks && hooks->bookmarkChosen) hooks->bookmarkChosen(*this, GetChosenBookmark());
        return false;
    case kHitServerEdited:
        SetBookmarkName(nullptr);
        UpdateButtons();
        return false;
    default:
        return false;
    }
}

bool CMyLoginWin::Run(const uint8_t* address, SMyConnectEntry& outEntry, const SHooks* hooks)
{
    SMyConnectEntry start{};
    if (address) std::memcpy(start.address, address, size_t(address[0]) + 1);
    return Run(start, outEntry, hooks);
}

bool CMyLoginWin::Run(const SMyConnectEntry& start, SMyConnectEntry& outEntry, const SHooks* hooks)
{
    std::memset(&outEntry, 0, sizeof(outEntry));
    CMyLoginWin win;
    win.RefillBookmarks(hooks);
    win.SetInfo(start.address, start.login, start.password);
    win.SetKeepPassword(start.keepPassword);
    // After the fields: their change hits clear the name.
    win.SetBookmarkName(start.bookmarkName);
    win.Place(kPlaceCenterScreen);
    win.Show();
    win.BringToFront();
    bool connect = false;
    const SModalResult result =
        UModalLoop::RunWindow(win, [&](uint32_t hit) { return win.HandleHit(hit, hooks, connect); });
    if (result.quitting || !connect) return false;
    win.GetInfo(outEntry.address, outEntry.login, outEntry.password);
    std::memcpy(outEntry.bookmarkName, win.GetBookmarkName(), size_t(win.GetBookmarkName()[0]) + 1);
    outEntry.keepPassword = win.KeepsPassword();
    if (outEntry.address[0] == 1 && outEntry.address[1] == '0')
    {
        outEntry.address[0] = uint8_t(std::strlen(kLocalHost));
        std::memcpy(outEntry.address + 1, kLocalHost, outEntry.address[0]);
    }
    return true;
}
