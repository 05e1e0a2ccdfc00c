#include "client/prefs/CMyOptionsWin.h"

#include <QFont>
#include <QLineEdit>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <cstring>

#include "client/boxes/MsgBox.h"
#include "client/boxes/UnencodableBox.h"
#include "client/prefs/CMyColorSwatchView.h"
#include "client/prefs/CMyDownloadFolderView.h"
#include "client/prefs/CMyIconPickView.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CTabView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UColorDialog.h"
#include "framework/ui/UModalLoop.h"

const int16_t CMyOptionsWin::kIconIDs[kIconCount] = {
    -415, -2001, -2002, -2003, -2004, -2005, -2015, -2007, -2008, -2009, -2010, -2011, -2012, -2013,
    -145, -146,  -2016, -2017, -2018, -2019, -418,  -141,  -142,  -143,  -144,  -2014, -139,  -147,
};

namespace
{
constexpr int16_t kBoxBadName = 129;
constexpr char kFirewallNote[] =
    "If your network is behind a firewall, ask your network administrator for the "
    "firewall address.  If you're not sure, leave the box empty.";
constexpr char kSampleText[] = "The quick brown fox jumps over the lazy dog.";
constexpr uint8_t kMaxTextSizeDigits = 3;

constexpr const char* kOptionTitles[6] = {
    "Show Private Messages at Back", "Queue File Transfers",    "Refuse private messages",
    "Refuse private chat",           "Show Join/Leave in Chat", "Automatic response",
};
constexpr const char* kSoundTitles[10] = {
    "Play Sounds for:",
    "Chat",
    "News",
    "File transfer complete",
    "Private Message",
    "Join",
    "Leave",
    "Logged in",
    "Error",
    "Chat Invitation",
};

CLabelView* MakeLabel(SViewParent parent, const SRect& r, const char* text)
{
    auto* label = new CLabelView(parent, r, text);
    QFont f = label->Widget()->font();
    f.setPointSize(9);
    label->Widget()->setFont(f);
    return label;
}

// The sound switches in the order of the Sound tab.
uint32_t SoundBit(const SMySoundPrefs& s, uint32_t index)
{
    const uint32_t bits[10] = {s.playSounds, s.chat,  s.news,  s.fileTransfer, s.privMsg,
                               s.join,       s.leave, s.login, s.error,        s.chatInvite};
    return bits[index];
}

// The desktop settings' controls, one row each below the firewall's note. There is a control for each
// type a desktop setting may have, whether or not the list holds one of that type now.
constexpr int32_t kDesktopTop = 124;
// The notes below the desktop settings: the tray's line (when there is none) and the keyring's two lines.
constexpr int32_t kDesktopOffersHeight = 4 + 18 + 32;

void MakeDesktopControl(SViewParent tab, int32_t& top, const char* title, CCheckBoxView*& outBox)
{
    outBox = new CCheckBoxView(tab, SRect{10, top, 365, top + 20}, title);
    top += 20;
}

[[maybe_unused]] void MakeDesktopControl(SViewParent tab, int32_t& top, const char* title,
                                         CTextView*& outField)
{
    MakeLabel(tab, SRect{10, top + 4, 160, top + 20}, title);
    outField = new CTextView(tab, SRect{165, top, 360, top + 24});
    top += 28;
}

[[maybe_unused]] void MakeDesktopControl(SViewParent tab, int32_t& top, const char* title,
                                         CMyDownloadFolderView*& outView)
{
    // The places' names are long: the menu takes what the label does not need.
    MakeLabel(tab, SRect{10, top + 4, 95, top + 20}, title);
    outView = new CMyDownloadFolderView(tab, SRect{100, top, 400, top + 24});
    outView->SetID(CMyOptionsWin::kHitDownloadFolder);
    top += 28;
}

[[maybe_unused]] void ShowValue(CMyDownloadFolderView* view, const SMyDownloadFolder& folder)
{
    view->SetValue(folder);
}

[[maybe_unused]] void ReadValue(const CMyDownloadFolderView* view, SMyDownloadFolder& outFolder)
{
    outFolder = view->GetValue();
}

void ShowValue(CCheckBoxView* box, bool on)
{
    box->SetMark(on);
}

void ShowValue(CCheckBoxView* box, EMyLayout layout)
{
    box->SetMark(layout == EMyLayout::kSeparate);
}

[[maybe_unused]] void ShowValue(CTextView* field, uint32_t number)
{
    const std::string text = std::to_string(number);
    field->SetText(text.data(), uint32_t(text.size()));
}

[[maybe_unused]] void ShowValue(CTextView* field, const std::string& text)
{
    field->SetText(text.data(), uint32_t(text.size()));
}

void ReadValue(const CCheckBoxView* box, bool& outOn)
{
    outOn = box->GetMark();
}

void ReadValue(const CCheckBoxView* box, EMyLayout& outLayout)
{
    outLayout = box->GetMark() ? EMyLayout::kSeparate : EMyLayout::kMain;
}

// Digits that make no number leave the setting as it was.
[[maybe_unused]] void ReadValue(const CTextView* field, uint32_t& ioNumber)
{
    const std::string text = field->GetText();
    uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size()) ioNumber = number;
}

[[maybe_unused]] void ReadValue(const CTextView* field, std::string& outText)
{
    outText = field->GetText();
}

SMySoundPrefs SoundFromMarks(const bool (&m)[10])
{
    SMySoundPrefs s{};
    s.playSounds = m[0];
    s.chat = m[1];
    s.news = m[2];
    s.fileTransfer = m[3];
    s.privMsg = m[4];
    s.join = m[5];
    s.leave = m[6];
    s.login = m[7];
    s.error = m[8];
    s.chatInvite = m[9];
    return s;
}
} // namespace

CMyOptionsWin::CMyOptionsWin() : CWindow(SRect{0, 0, 440, 326}, kWindowModal)
{
    SetTitle("Options", 7);
    // Wide enough for the six tabs' titles side by side.
    mTabs = new CTabView(this, SRect{10, 10, 430, 280});
    MakeGeneralTab();
    MakeIconTab();
    MakeColorTab();
    MakeSoundTab();
    const int32_t advancedHeight = MakeAdvancedTab();
    mSaveBtn = new CButtonView(this, SRect{350, 290, 430, 316}, "Save");
    mSaveBtn->SetID(kHitSave);
    mSaveBtn->SetDefault(true);
    mCancelBtn = new CButtonView(this, SRect{250, 292, 330, 314}, "Cancel");
    mCancelBtn->SetID(kHitCancel);
    mCancelBtn->SetCancel(true);
    // Longer texts and larger fonts get room: the tabs grow with the window, the buttons keep to its
    // corner.
    mTabs->SetSizing(kSizeGrow);
    mSaveBtn->SetSizing(kSizeStickBottomRight);
    mCancelBtn->SetSizing(kSizeStickBottomRight);
    // The Advanced tab gains a row with every desktop setting: the window is made as tall as its rows
    // need, below the tab bar and the page's frame.
    QTabWidget* tabs = mTabs->TabWidget();
    const int32_t page = 270 - tabs->tabBar()->sizeHint().height() -
                         2 * tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    if (const int32_t grow = advancedHeight - page; grow > 0)
    {
        // Not shown yet, the views do not follow the window by themselves: they are moved, and the new
        // size is the one they fit.
        auto move = [grow](CView* view, bool top)
        {
            SRect r;
            view->GetBounds(r);
            if (top) r.top += grow;
            r.bottom += grow;
            view->SetBounds(r);
        };
        move(mTabs, false);
        move(mSaveBtn, true);
        move(mCancelBtn, true);
        SRect bounds;
        GetBounds(bounds);
        bounds.bottom += grow;
        SetBounds(bounds);
        NoteLaidOutSize(ContentWidget());
    }
    MakeResizable();
    mTabs->SetCurrentTab(kTabGeneral);
    mName->SetFocus();
}

void CMyOptionsWin::MakeGeneralTab()
{
    CContainerView* tab = mTabs->AddTab("General");
    MakeLabel(tab, SRect{10, 14, 105, 30}, "Your Name:");
    mName = new CTextView(tab, SRect{110, 10, 350, 34});
    mName->SetMaxLength(31);
    // The longest switch has a row of its own, the others two columns; "Automatic response" sits right
    // above the text it switches.
    const SRect places[6] = {{10, 44, 365, 64},   {10, 66, 185, 86},  {190, 66, 365, 86},
                             {190, 88, 365, 108}, {10, 88, 185, 108}, {10, 110, 185, 130}};
    for (uint32_t i = 0; i < 6; ++i)
        mOption[i] = new CCheckBoxView(tab, places[i], kOptionTitles[i]);
    mOption[5]->SetID(kHitAutomaticResponse);
    mResponseBox = new CBoxView(tab, SRect{10, 134, 360, 236});
    mResponseText = new CTextView(mResponseBox, SRect{8, 8, 342, 94}, kTextMultiLine);
}

void CMyOptionsWin::MakeIconTab()
{
    CContainerView* tab = mTabs->AddTab("Icon");
    MakeLabel(tab, SRect{10, 14, 370, 46}, "Choose an icon to appear next to your name in user lists:");
    constexpr int32_t kRowTops[4] = {60, 95, 130, 165};
    constexpr int32_t kSide = 32, kStep = 46, kLeft = (376 - 6 * kStep - kSide) / 2;
    for (uint32_t i = 0; i < kIconCount; ++i)
    {
        const int32_t left = kLeft + int32_t(i % 7) * kStep, top = kRowTops[i / 7];
        mIcons[i] = new CMyIconPickView(tab, SRect{left, top, left + kSide, top + kSide}, kIconIDs[i]);
        if (i) mIcons[i]->JoinRing(mIcons[0]);
    }
}

void CMyOptionsWin::MakeColorTab()
{
    CContainerView* tab = mTabs->AddTab("Color");
    mChatChoice = new CCheckBoxView(tab, SRect{25, 20, 100, 40}, "Chat", kRadioStyle);
    mChatChoice->SetID(kHitColorChat);
    mNewsChoice = new CCheckBoxView(tab, SRect{25, 48, 100, 68}, "News", kRadioStyle);
    mNewsChoice->SetID(kHitColorNews);
    auto* box = new CBoxView(tab, SRect{190, 15, 360, 125});
    MakeLabel(box, SRect{10, 14, 85, 30}, "Text size:");
    mTextSize = new CTextView(box, SRect{90, 10, 140, 34});
    mTextSize->SetMaxLength(kMaxTextSizeDigits);
    MakeLabel(box, SRect{10, 46, 85, 62}, "Text color:");
    mTextSwatch = new CMyColorSwatchView(box, SRect{90, 42, 140, 66});
    mTextSwatch->SetID(kHitTextColor);
    MakeLabel(box, SRect{10, 78, 85, 94}, "Back color:");
    mBackSwatch = new CMyColorSwatchView(box, SRect{90, 74, 140, 98});
    mBackSwatch->SetID(kHitBackColor);
    mSample = new CTextView(tab, SRect{25, 140, 360, 230}, kTextMultiLine);
    mSample->SetReadOnly(true);
    mSample->SetText(kSampleText, sizeof(kSampleText) - 1);
    // The sample follows the size as it is typed.
    QObject::connect(mTextSize->LineEdit(), &QLineEdit::textChanged, [this] { GetColorTab(); });
    ShowColorSet();
}

void CMyOptionsWin::MakeSoundTab()
{
    CContainerView* tab = mTabs->AddTab("Sound");
    // Wide enough for "File transfer complete" in the desktop's default font.
    mSound[0] = new CCheckBoxView(tab, SRect{20, 15, 240, 33}, kSoundTitles[0]);
    for (uint32_t i = 1; i < 10; ++i)
    {
        const int32_t top = 20 + int32_t(i) * 20;
        mSound[i] = new CCheckBoxView(tab, SRect{50, top, 270, top + 18}, kSoundTitles[i]);
    }
}

int32_t CMyOptionsWin::MakeAdvancedTab()
{
    CContainerView* tab = mTabs->AddTab("Advanced");
    MakeLabel(tab, SRect{10, 14, 110, 30}, "SOCKS firewall:");
    mFirewall = new CTextView(tab, SRect{115, 10, 360, 34});
    mFirewall->SetMaxLength(127);
    MakeLabel(tab, SRect{10, 50, 360, 110}, kFirewallNote);
    CContainerView* transfers = mTabs->AddTab("Transfers");
    int32_t top = kDesktopTop, transfersTop = 14;
#define MY_MAKE_CONTROL(type, member, key, value, title, page)                                               \
    if (page == kMyPageTransfers)                                                                            \
        MakeDesktopControl(transfers, transfersTop, title, mDesktop.member);                                 \
    else if (page == kMyPageAdvanced)                                                                        \
        MakeDesktopControl(tab, top, title, mDesktop.member);
    MY_DESKTOP_SETTINGS(MY_MAKE_CONTROL)
#undef MY_MAKE_CONTROL
    MakeLabel(transfers, SRect{10, transfersTop + 6, 360, transfersTop + 66},
              "0 is no limit.  The speed limits are shared by all transfers and hold at once, also for "
              "those that run; transfers past the number at once wait in the queue.");
    mDesktopBottom = top;
    // Room for the notes of what the desktop offers (the tray's and the keyring's), written once the
    // desktop has been asked.
    return top + kDesktopOffersHeight + 8;
}

void CMyOptionsWin::ShowDesktopOffers(const SDesktopOffers& offers)
{
    CContainerView* tab = mTabs->GetTab(kTabAdvanced);
    int32_t top = mDesktopBottom + 4;
    if (!offers.tray)
    {
        mDesktop.keepInTray->SetMark(false);
        mDesktop.keepInTray->SetEnable(false);
        MakeLabel(tab, SRect{30, top, 365, top + 16}, "This desktop has no tray to keep the client in.");
        top += 18;
    }
    mKeyringNote =
        MakeLabel(tab, SRect{10, top, 365, top + 32},
                  offers.keyring ? "Passwords of bookmarks and trackers are kept in the desktop's keyring."
                                 : "No keyring on this desktop: passwords of bookmarks and trackers are "
                                   "kept in their files.");
}

void CMyOptionsWin::SetInfo(const SMySettings& o, bool soundDisabled)
{
    mName->SetText(o.userName);
    SetIconID(o.iconID);
    mFirewall->SetText(o.firewall);
    for (uint32_t i = 0; i < 10; ++i)
        mSound[i]->SetMark(SoundBit(o.sound, i) != 0);
    if (soundDisabled)
    {
        mSound[0]->SetMark(false);
        mSound[0]->SetEnable(false);
    }
    const bool flags[6] = {o.showPrivMsgAtBack, o.queueTransfers,      o.refusePrivateMsg,
                           o.refusePrivateChat, o.showJoinLeaveInChat, o.automaticResponse};
    for (uint32_t i = 0; i < 6; ++i)
        mOption[i]->SetMark(flags[i]);
    mResponseText->SetText(o.automaticResponseText);
    ShowHideAutomaticResponseText();
#define MY_SHOW_SETTING(type, member, key, value, title, page)                                               \
    if (mDesktop.member) ShowValue(mDesktop.member, o.member);
    MY_DESKTOP_SETTINGS(MY_SHOW_SETTING)
#undef MY_SHOW_SETTING
    mColors[kColorSetChat] = o.colorChat;
    mColors[kColorSetNews] = o.colorNews;
    mColorSet = kColorSetChat;
    ShowColorSet();
}

void CMyOptionsWin::GetInfo(SMySettings& o) const
{
    mName->GetText(o.userName, sizeof(o.userName) - 1);
    o.iconID = GetIconID();
    mFirewall->GetText(o.firewall, sizeof(o.firewall) - 1);
    bool marks[10];
    for (uint32_t i = 0; i < 10; ++i)
        marks[i] = mSound[i]->GetMark();
    o.sound = SoundFromMarks(marks);
    o.showPrivMsgAtBack = mOption[0]->GetMark();
    o.queueTransfers = mOption[1]->GetMark();
    o.refusePrivateMsg = mOption[2]->GetMark();
    o.refusePrivateChat = mOption[3]->GetMark();
    o.showJoinLeaveInChat = mOption[4]->GetMark();
    o.automaticResponse = mOption[5]->GetMark();
    mResponseText->GetText(o.automaticResponseText, sizeof(o.automaticResponseText) - 1);
    o.colorChat = GetColor(kColorSetChat);
    o.colorNews = GetColor(kColorSetNews);
#define MY_READ_SETTING(type, member, key, value, title, page)                                               \
    if (mDesktop.member) ReadValue(mDesktop.member, o.member);
    MY_DESKTOP_SETTINGS(MY_READ_SETTING)
#undef MY_READ_SETTING
}

void CMyOptionsWin::SetIconID(uint16_t iconID)
{
    for (CMyIconPickView* cell : mIcons)
        cell->SetMark(cell->GetIcon() == int16_t(iconID));
}

uint16_t CMyOptionsWin::GetIconID() const
{
    for (CMyIconPickView* cell : mIcons)
        if (cell->GetMark()) return uint16_t(cell->GetIcon());
    return 0;
}

void CMyOptionsWin::ShowHideAutomaticResponseText()
{
    mResponseBox->SetVisible(mOption[5]->GetMark());
}

void CMyOptionsWin::ProcessColorTab(uint32_t hit)
{
    switch (hit)
    {
    case kHitColorChat:
        SetColorTab(kColorSetChat);
        break;
    case kHitColorNews:
        SetColorTab(kColorSetNews);
        break;
    case kHitTextColor:
        ChooseColor(true);
        break;
    case kHitBackColor:
        ChooseColor(false);
        break;
    default:
        break;
    }
}

void CMyOptionsWin::SetColorTab(uint32_t set)
{
    GetColorTab();
    mColorSet = set == kColorSetNews ? kColorSetNews : kColorSetChat;
    ShowColorSet();
}

SMyColorInfo CMyOptionsWin::ControlsColor() const
{
    SMyColorInfo c;
    c.textColor = mTextSwatch->GetColor();
    c.backColor = mBackSwatch->GetColor();
    const std::string digits = mTextSize->GetText();
    const int32_t size = UText::TextToInteger(digits.data(), uint32_t(digits.size()));
    c.textSize = uint16_t(std::clamp<int32_t>(size, 0, 0xFFFF));
    return c;
}

void CMyOptionsWin::GetColorTab()
{
    const SMyColorInfo c = ControlsColor();
    mColors[mColorSet] = c;
    mSample->SetTextColor(c.textColor.red, c.textColor.green, c.textColor.blue);
    mSample->SetBackColor(c.backColor.red, c.backColor.green, c.backColor.blue);
    // The sample shows the size the windows will use.
    mSample->SetTextSize(uint16_t(std::clamp<int32_t>(c.textSize, 4, 50)));
}

void CMyOptionsWin::SetColor(uint32_t set, const SMyColorInfo& info)
{
    mColors[set == kColorSetNews ? kColorSetNews : kColorSetChat] = info;
    if (set == mColorSet) ShowColorSet();
}

SMyColorInfo CMyOptionsWin::GetColor(uint32_t set) const
{
    if (set == mColorSet) return ControlsColor();
    return mColors[set == kColorSetNews ? kColorSetNews : kColorSetChat];
}

void CMyOptionsWin::ShowColorSet()
{
    const SMyColorInfo c = mColors[mColorSet];
    mChatChoice->SetMark(mColorSet == kColorSetChat);
    mNewsChoice->SetMark(mColorSet == kColorSetNews);
    mTextSwatch->SetColor(c.textColor);
    mBackSwatch->SetColor(c.backColor);
    uint8_t digits[8];
    digits[0] = uint8_t(UText::IntegerToText(digits + 1, sizeof(digits) - 1, c.textSize));
    mTextSize->SetText(digits);
    GetColorTab();
}

void CMyOptionsWin::ChooseColor(bool text)
{
    CMyColorSwatchView* swatch = text ? mTextSwatch : mBackSwatch;
    SColor c = swatch->GetColor();
    uint16_t rgb[3] = {c.red, c.green, c.blue};
    if (!UColorDialog::Choose(text ? "Text color" : "Back color", rgb)) return;
    swatch->SetColor(SColor{rgb[0], rgb[1], rgb[2]});
    GetColorTab();
}

bool CMyOptionsWin::CleanName(uint8_t* name)
{
    // An accented letter is part of a name, not a byte to hide behind '*'.
    UText::ReplaceNonPrinting(name + 1, name[0], 0, '*',
                              UText::kReplaceWhiteControls | UText::kKeepMacRomanLetters);
    return !(name[0] == 0 || (name[0] == 1 && name[1] == ' '));
}

bool CMyOptionsWin::HandleHit(uint32_t hit, bool& outSave)
{
    outSave = false;
    switch (hit)
    {
    case kHitSave:
    {
        // The name and the automatic response both go to servers.
        if (!AskToUseQuestionMarks("Save", mName, mResponseText)) return false;
        uint8_t name[32];
        mName->GetText(name, sizeof(name) - 1);
        if (!CleanName(name))
        {
            MsgBox(kBoxBadName);
            mTabs->SetCurrentTab(kTabGeneral);
            mName->SetFocus();
            return false;
        }
        outSave = true;
        return true;
    }
    case kHitCancel:
    case kHitCloseBox:
        return true;
    case kHitAutomaticResponse:
        ShowHideAutomaticResponseText();
        return false;
    case kHitTextColor:
    case kHitBackColor:
    case kHitColorChat:
    case kHitColorNews:
        ProcessColorTab(hit);
        return false;
    case kHitDownloadFolder:
        mDesktop.downloadFolder->Chosen();
        return false;
    default:
        return false;
    }
}

bool CMyOptionsWin::Run(SMySettings& ioSettings, bool soundDisabled, const SDesktopOffers& offers)
{
    CMyOptionsWin win;
    win.SetInfo(ioSettings, soundDisabled);
    win.ShowDesktopOffers(offers);
    win.Place(kPlaceCenterScreen);
    win.Show();
    win.BringToFront();
    bool save = false;
    const SModalResult result =
        UModalLoop::RunWindow(win, [&](uint32_t hit) { return win.HandleHit(hit, save); });
    if (result.quitting || !save) return false;
    win.GetInfo(ioSettings);
    CleanName(ioSettings.userName);
    return true;
}
