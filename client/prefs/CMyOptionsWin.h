// The options dialog: five tabs (General, Icon, Color, Sound, Advanced) over the user's settings record.
// Run() shows it modally, applies the dialog's own rules (the name, the colour tab) and hands back the
// record. Each desktop setting (MY_DESKTOP_SETTINGS) gets its control on the Advanced tab by itself: a
// check box for a switch, a labelled field for a number or a text.
#pragma once

#include <cstdint>
#include <type_traits>

#include "client/core/SMySettings.h"
#include "framework/ui/CWindow.h"

class CLabelView;
class CTabView;
class CTextView;
class CCheckBoxView;
class CBoxView;
class CButtonView;
class CMyIconPickView;
class CMyColorSwatchView;
class CMyDownloadFolderView;

class CMyOptionsWin : public CWindow
{
    // A switch (the layout is one) is a check box, the download folder a menu of places, a number or a
    // text a field.
    template <class T>
    using ControlFor = std::conditional_t<
        std::is_same_v<T, bool> || std::is_same_v<T, EMyLayout>, CCheckBoxView,
        std::conditional_t<std::is_same_v<T, SMyDownloadFolder>, CMyDownloadFolderView, CTextView>>;

public:
    enum : uint32_t
    {
        kHitSave = 1,
        kHitCancel = 2,
        kHitAutomaticResponse = 3,
        kHitTextColor = 4,
        kHitBackColor = 5,
        kHitColorChat = 6,
        kHitColorNews = 7,
        kHitDownloadFolder = 8,
    };
    enum : uint32_t
    {
        kTabGeneral = 1,
        kTabIcon,
        kTabColor,
        kTabSound,
        kTabAdvanced,
        kTabTransfers,
    };
    // Which colour set the colour tab edits.
    enum : uint32_t
    {
        kColorSetChat = 0,
        kColorSetNews = 1,
    };
    static constexpr uint32_t kIconCount = 28;
    // The icon of each cell, as the icon numbers are stored: a user who picks a cell is known to the
    // server by the 16-bit pattern of this number, and a negative number shows the art of its positive.
    static const int16_t kIconIDs[kIconCount];

    CMyOptionsWin();

    // Moves every value into the dialog, and back. Without sound output (`soundDisabled`) "Play Sounds
    // for:" is off and cannot be turned on. GetInfo gives the name as typed and leaves the record's
    // other members as they were.
    void SetInfo(const SMySettings& settings, bool soundDisabled = false);
    void GetInfo(SMySettings& ioSettings) const;

    // Marks every cell showing that icon and unmarks the others.
    void SetIconID(uint16_t iconID);
    // The icon of the first marked cell, or 0 when none is.
    uint16_t GetIconID() const;

    // The response text is there only while "Automatic response" is checked.
    void ShowHideAutomaticResponseText();

    // The colour tab: the controls edit one of the two sets at a time.
    void ProcessColorTab(uint32_t hit);
    void SetColorTab(uint32_t set);
    void GetColorTab();
    void SetColor(uint32_t set, const SMyColorInfo& info);
    // The set as the controls show it now, when it is the one being edited.
    SMyColorInfo GetColor(uint32_t set) const;

    // Applies one hit; true when the dialog is over (`outSave`: the user saved and the name passed).
    bool HandleHit(uint32_t hit, bool& outSave);
    // What the desktop offers, for the notes under the desktop settings.
    struct SDesktopOffers
    {
        // A keyring answered: passwords go there instead of the files.
        bool keyring = false;
        // A tray to keep the client in.
        bool tray = false;
    };
    // Runs the dialog; true (with ioSettings updated, the name already cleaned) when the user saved.
    static bool Run(SMySettings& ioSettings, bool soundDisabled, const SDesktopOffers& offers);
    // Says where passwords are kept, and switches the tray setting off with its reason where there is
    // no tray.
    void ShowDesktopOffers(const SDesktopOffers& offers);
    CLabelView* GetKeyringNote() const { return mKeyringNote; }

    // The name rule: every control byte becomes '*' (accented letters stay); false when the name is
    // empty or one blank.
    static bool CleanName(uint8_t* name);

    CTabView* GetTabView() const { return mTabs; }
    CTextView* GetNameField() const { return mName; }
    CTextView* GetFirewallField() const { return mFirewall; }
    CTextView* GetResponseField() const { return mResponseText; }
    CBoxView* GetResponseBox() const { return mResponseBox; }
    CTextView* GetTextSizeField() const { return mTextSize; }
    CMyColorSwatchView* GetTextSwatch() const { return mTextSwatch; }
    CMyColorSwatchView* GetBackSwatch() const { return mBackSwatch; }
    CCheckBoxView* GetColorChoice(uint32_t set) const
    {
        return set == kColorSetChat ? mChatChoice : mNewsChoice;
    }
    // 0 is "Play Sounds for:", 1-9 the single sounds in SMySoundPrefs order.
    CCheckBoxView* GetSoundBox(uint32_t index) const { return index < 10 ? mSound[index] : nullptr; }
    // 0-5: at back, queue, refuse messages, refuse chat, join/leave, automatic response.
    CCheckBoxView* GetOptionBox(uint32_t index) const { return index < 6 ? mOption[index] : nullptr; }
    CMyIconPickView* GetIconCell(uint32_t index) const
    {
        return index < kIconCount ? mIcons[index] : nullptr;
    }
    CCheckBoxView* GetDesktopNoticesBox() const { return mDesktop.desktopNotices; }
    CCheckBoxView* GetKeepInTrayBox() const { return mDesktop.keepInTray; }
    CMyDownloadFolderView* GetDownloadFolderView() const { return mDesktop.downloadFolder; }
    CTextView* GetDownloadLimitField() const { return mDesktop.downloadLimit; }
    CTextView* GetUploadLimitField() const { return mDesktop.uploadLimit; }
    CTextView* GetTransfersAtOnceField() const { return mDesktop.transfersAtOnce; }
    CButtonView* GetSaveButton() const { return mSaveBtn; }
    CButtonView* GetCancelButton() const { return mCancelBtn; }

private:
    void MakeGeneralTab();
    void MakeIconTab();
    void MakeColorTab();
    void MakeSoundTab();
    // The height its rows take.
    int32_t MakeAdvancedTab();
    void ShowColorSet();
    SMyColorInfo ControlsColor() const;
    void ChooseColor(bool text);

    CTabView* mTabs = nullptr;
    // Below the desktop settings of the Advanced tab.
    int32_t mDesktopBottom = 0;
    CLabelView* mKeyringNote = nullptr;
    CTextView* mName = nullptr;
    CCheckBoxView* mOption[6] = {};
    CBoxView* mResponseBox = nullptr;
    CTextView* mResponseText = nullptr;
    CMyIconPickView* mIcons[kIconCount] = {};
    CCheckBoxView* mChatChoice = nullptr;
    CCheckBoxView* mNewsChoice = nullptr;
    CTextView* mTextSize = nullptr;
    CMyColorSwatchView* mTextSwatch = nullptr;
    CMyColorSwatchView* mBackSwatch = nullptr;
    CTextView* mSample = nullptr;
    CCheckBoxView* mSound[10] = {};
    CTextView* mFirewall = nullptr;
    // The control of each desktop setting, under the setting's name.
    struct SDesktopControls
    {
#define MY_DESKTOP_CONTROL(type, member, key, value, title, page) ControlFor<type>* member = nullptr;
        MY_DESKTOP_SETTINGS(MY_DESKTOP_CONTROL)
#undef MY_DESKTOP_CONTROL
    } mDesktop;
    CButtonView* mSaveBtn = nullptr;
    CButtonView* mCancelBtn = nullptr;

    // The two colour sets; the one being edited lives in the controls until the choice changes.
    SMyColorInfo mColors[2] = {kDefaultColorInfo, kDefaultColorInfo};
    uint32_t mColorSet = kColorSetChat;
};
