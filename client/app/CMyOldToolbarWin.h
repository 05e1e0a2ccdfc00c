// The toolbar window: the program's main window, carrying the menu bar and a column of labelled icon
// buttons for the main commands (those of the command table that have a button); the buttons that the
// user's access does not allow are left out.
//
// Closing it folds the buttons away and leaves the window as its menu bar: the menu bar lives only here,
// and a closed toolbar must never leave the user without it. "Show Toolbar" (Ctrl+B) unfolds it.
#pragma once

#include <cstdint>
#include <vector>

#include "client/core/SMyUserAccess.h"
#include "framework/ui/CFrameWindow.h"

class CIconButtonView;

// The toolbar's looks while not connected, connecting and connected.
enum : uint16_t
{
    kToolbarNotConnected = 0,
    kToolbarConnecting = 1,
    kToolbarConnected = 2,
};

class CMyOldToolbarWin : public CFrameWindow
{
public:
    CMyOldToolbarWin();

    // Lays the buttons out again for the access bytes (without repainting meanwhile) and fits the window
    // to them. The parameterless form reads the application's access.
    void SetAccess(const SMyUserAccess& access);
    void SetAccess();
    // The connect row shows "Connect..." while not connected and "Disconnect" otherwise.
    void SetLook(uint16_t look);
    // Folded, the window shows only its menu bar.
    void SetFolded(bool folded);
    bool IsFolded() const { return mFolded; }
    uint16_t GetLook() const { return mLook; }
    // Files dropped on the toolbar open as documents, as files named on the command line do: a bookmark
    // connects. False when the drop holds no local file.
    bool DropDocuments(const class QMimeData& mime);

    uint8_t mButtonHeight = 24;
    uint8_t mButtonWidth = 110;
    uint8_t mButtonSpace = 3;

    struct SViews
    {
        CIconButtonView* optionsBtn;
        CIconButtonView* connectBtn;
        CIconButtonView* trackerBtn;
        CIconButtonView* broadcastBtn;
        CIconButtonView* newsBtn;
        CIconButtonView* postBtn;
        CIconButtonView* chatBtn;
        CIconButtonView* filesBtn;
        CIconButtonView* usersBtn;
        CIconButtonView* tasksBtn;
        CIconButtonView* newUserBtn;
        CIconButtonView* openUserBtn;
        CIconButtonView* quitBtn;
        CIconButtonView* aboutBtn;
        CIconButtonView* disconnectBtn;
    } mViews{};

protected:
    // One layout step: a shown button goes to row `row` (which then advances) and is made visible;
    // otherwise it is hidden and takes no row.
    void SetIconButton(CIconButtonView* button, uint32_t& row, bool show);
    void LayOut(const SMyUserAccess& access);

private:
    struct SButton
    {
        CIconButtonView* view;
        uint64_t access;
    };
    CIconButtonView* Button(uint32_t hit) const;

    std::vector<SButton> mButtons;
    SMyUserAccess mAccess{};
    uint16_t mLook = kToolbarNotConnected;
    bool mFolded = false;
    int32_t mBottom = 0;
};
