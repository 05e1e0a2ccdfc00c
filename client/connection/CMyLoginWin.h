// The connect dialog: server address, login and password, a menu of bookmarks and a button that saves
// the entries as a bookmark. Run() shows it modally and hands back what the user entered.
#pragma once

#include <cstdint>
#include <functional>

#include "framework/ui/CWindow.h"

class CTextView;
class CButtonView;
class CButtonPopupView;
class CCheckBoxView;

// What the user connects to. Texts are length-prefixed.
struct SMyConnectEntry
{
    uint8_t address[256];
    uint8_t login[32];
    uint8_t password[32];
    // The bookmark the entries came from ("name.qbm"), empty when typed in.
    uint8_t bookmarkName[256];
    // "Keep my password": the servers used lately keep the password of this one. Off unless ticked.
    bool keepPassword;
};

class CMyLoginWin : public CWindow
{
public:
    // Hits of the dialog's views.
    enum : uint32_t
    {
        kHitConnect = 1,
        kHitCancel = 2,
        kHitSave = 3,
        kHitBookmarkMenu = 8,
        kHitServerEdited = 10,
    };

    // The application's part of the dialog: the bookmarks. Each may be empty.
    struct SHooks
    {
        // Fills the bookmark menu (AddBookmark); false when there is no bookmark folder, which switches
        // the menu off.
        std::function<bool(CMyLoginWin& win)> fillBookmarks;
        // Save...: the dialog stays open.
        std::function<void(CMyLoginWin& win)> save;
        // A bookmark chosen in the menu (items from 1): put its entries in with SetInfo and name it.
        std::function<void(CMyLoginWin& win, uint32_t item)> bookmarkChosen;
    };

    CMyLoginWin();

    // Fills the fields given (null leaves one as it is), then puts the keyboard focus on the first empty
    // one of server, login and password (the server field if none is empty).
    void SetInfo(const uint8_t* server, const uint8_t* login, const uint8_t* password);
    // outServer holds 256 bytes, outLogin and outPassword 32 each.
    void GetInfo(uint8_t* outServer, uint8_t* outLogin, uint8_t* outPassword) const;
    // Connect and Save... are usable exactly when there is a server address.
    void UpdateButtons();

    void AddBookmark(const uint8_t* title);
    // Empties the bookmark menu and fills it again, so that a bookmark saved from the dialog shows at once.
    void RefillBookmarks(const SHooks* hooks);
    void SetBookmarkMenuEnabled(bool enabled);
    uint32_t GetChosenBookmark() const;
    void SetBookmarkName(const uint8_t* name);
    const uint8_t* GetBookmarkName() const { return mBookmarkName; }

    CTextView* GetServerField() const { return mServer; }
    CTextView* GetLoginField() const { return mLogin; }
    CTextView* GetPasswordField() const { return mPassword; }
    CCheckBoxView* GetKeepPasswordBox() const { return mKeepPassword; }
    void SetKeepPassword(bool keep);
    bool KeepsPassword() const;
    CButtonView* GetConnectButton() const { return mConnectBtn; }
    CButtonView* GetSaveButton() const { return mSaveBtn; }
    CButtonView* GetCancelButton() const { return mCancelBtn; }

    // Runs the dialog until Connect or Cancel. `address` (may be null) pre-fills the server field. True
    // when the user chose Connect; an address of just "0" comes back as 127.0.0.1.
    static bool Run(const uint8_t* address, SMyConnectEntry& outEntry, const SHooks* hooks = nullptr);
    // The same, opening on every entry of `start` (the bookmark name included).
    static bool Run(const SMyConnectEntry& start, SMyConnectEntry& outEntry, const SHooks* hooks = nullptr);
    // Handles one hit of a running dialog; true when the dialog is over (`outConnect`: to connect).
    bool HandleHit(uint32_t hit, const SHooks* hooks, bool& outConnect);

private:
    CTextView* mServer = nullptr;
    CTextView* mLogin = nullptr;
    CTextView* mPassword = nullptr;
    CCheckBoxView* mKeepPassword = nullptr;
    CButtonPopupView* mBookmarks = nullptr;
    CButtonView* mConnectBtn = nullptr;
    CButtonView* mCancelBtn = nullptr;
    CButtonView* mSaveBtn = nullptr;
    uint8_t mBookmarkName[256] = {};
};
