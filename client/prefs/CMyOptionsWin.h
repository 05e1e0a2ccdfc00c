// The options dialog: five tabs (General, Icon, Color, Sound, Advanced) over the user's settings. Run()
// shows it modally, applies the dialog's own rules (the name, the colour tab) and hands back the values.
#pragma once

#include <cstdint>

#include "client/app/SMySoundPrefs.h"
#include "client/widgets/SMyColorInfo.h"
#include "framework/ui/CWindow.h"

class CTabView;
class CTextView;
class CCheckBoxView;
class CBoxView;
class CButtonView;
class CMyIconPickView;
class CMyColorSwatchView;

// The values the dialog edits. Texts are length-prefixed.
struct SMyOptions
{
    uint8_t userName[32];
    uint16_t iconID;
    uint8_t firewall[128];
    SMySoundPrefs sound;
    // Given in only: sound output cannot be had, so "Play Sounds for:" is off and cannot be turned on.
    bool soundDisabled;
    bool showPrivMsgAtBack;
    bool queueTransfers;
    bool refusePrivateMsg;
    bool refusePrivateChat;
    bool showJoinLeave;
    bool automaticResponse;
    uint8_t automaticResponseText[128];
    SMyColorInfo colorChat;
    SMyColorInfo colorNews;
    // Notices on the desktop while the client is in the background (kept in the desktop settings, not in
    // the preferences file).
    bool desktopNotices;
};

class CMyOptionsWin : public CWindow
{
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
    };
    enum : uint32_t
    {
        kTabGeneral = 1,
        kTabIcon,
        kTabColor,
        kTabSound,
        kTabAdvanced,
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

    // Moves every value into the dialog, and back. GetInfo gives the name as typed.
    void SetInfo(const SMyOptions& options);
    void GetInfo(SMyOptions& outOptions) const;

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
    // Runs the dialog; true (with ioOptions updated, the name already cleaned) when the user saved.
    static bool Run(SMyOptions& ioOptions);

    // The name rule: every non-printing byte becomes '*'; false when the name is empty or one blank.
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
    CCheckBoxView* GetDesktopNoticesBox() const { return mNotices; }
    CButtonView* GetSaveButton() const { return mSaveBtn; }
    CButtonView* GetCancelButton() const { return mCancelBtn; }

private:
    void MakeGeneralTab();
    void MakeIconTab();
    void MakeColorTab();
    void MakeSoundTab();
    void MakeAdvancedTab();
    void ShowColorSet();
    SMyColorInfo ControlsColor() const;
    void ChooseColor(bool text);

    CTabView* mTabs = nullptr;
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
    CCheckBoxView* mNotices = nullptr;
    CButtonView* mSaveBtn = nullptr;
    CButtonView* mCancelBtn = nullptr;

    // The two colour sets; the one being edited lives in the controls until the choice changes.
    SMyColorInfo mColors[2] = {kDefaultColorInfo, kDefaultColorInfo};
    uint32_t mColorSet = kColorSetChat;
};
