// The options dialog: values in and out, the icon ring, the name rule, the automatic response text and the
// colour tab with its chooser.
#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "client/boxes/MsgBox.h"
#include "client/prefs/CMyColorSwatchView.h"
#include "client/prefs/CMyIconPickView.h"
#include "client/prefs/CMyOptionsWin.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CTabView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UColorDialog.h"
#include "tests/client/prefs/PrefsTestSupport.h"
#include "tests/support/TestDataFile.h"

namespace
{
SMySettings SomeOptions()
{
    SMySettings o;
    o.sound = SMySoundPrefs{};
    o.queueTransfers = false;
    o.showJoinLeaveInChat = false;
    SetText(o.userName, "Zed");
    o.iconID = uint16_t(int16_t(-2016));
    SetText(o.firewall, "proxy:1080");
    o.sound.playSounds = 1;
    o.sound.news = 1;
    o.sound.chatInvite = 1;
    o.queueTransfers = true;
    o.refusePrivateChat = true;
    o.automaticResponse = true;
    SetText(o.automaticResponseText, "Away");
    o.colorChat = SMyColorInfo{{0xFFFF, 0, 0}, {0, 0, 0x8000}, 14};
    o.colorNews = SMyColorInfo{{0, 0x1234, 0}, {0xEEEE, 0xEEEE, 0xEEEE}, 9};
    return o;
}

int gBoxes = 0;
int16_t gLastBox = 0;
uint16_t gAnswer = 1;
uint16_t CountBox(int16_t id, const SMsgBox&)
{
    ++gBoxes;
    gLastBox = id;
    return gAnswer;
}

bool ChooseGreen(uint16_t* rgb)
{
    rgb[0] = 0;
    rgb[1] = 0xFFFF;
    rgb[2] = 0;
    return true;
}

bool Cancelled(uint16_t*)
{
    return false;
}

class OptionsWinTest : public testing::Test
{
protected:
    void SetUp() override
    {
        gBoxes = 0;
        gLastBox = 0;
        gAnswer = 1;
        UseBuiltDataFile();
        SetMsgBoxHook(CountBox);
    }
    void TearDown() override
    {
        SetMsgBoxHook(nullptr);
        UColorDialog::SetHook(nullptr);
    }
};

bool Same(const SMyColorInfo& a, const SMyColorInfo& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}
} // namespace

TEST_F(OptionsWinTest, SixTabsAndEveryValueComesBackAsItWent)
{
    CMyOptionsWin win;
    ASSERT_EQ(win.GetTabView()->GetTabCount(), 6u);
    SMySettings in = SomeOptions();
    in.desktopNotices = false;
    in.scrollback = 2500;
    win.SetInfo(in);
    EXPECT_FALSE(win.GetDesktopNoticesBox()->GetMark());
    SMySettings out;
    win.GetInfo(out);
    EXPECT_EQ(Text(out.userName), "Zed");
    EXPECT_EQ(out.iconID, in.iconID);
    EXPECT_EQ(Text(out.firewall), "proxy:1080");
    EXPECT_EQ(std::memcmp(&out.sound, &in.sound, sizeof(in.sound)), 0);
    EXPECT_FALSE(out.showPrivMsgAtBack);
    EXPECT_TRUE(out.queueTransfers);
    EXPECT_FALSE(out.refusePrivateMsg);
    EXPECT_TRUE(out.refusePrivateChat);
    EXPECT_FALSE(out.showJoinLeaveInChat);
    EXPECT_TRUE(out.automaticResponse);
    EXPECT_EQ(Text(out.automaticResponseText), "Away");
    EXPECT_TRUE(Same(out.colorChat, in.colorChat));
    EXPECT_TRUE(Same(out.colorNews, in.colorNews));
    EXPECT_FALSE(out.desktopNotices);
    EXPECT_EQ(out.scrollback, 2500u);
    EXPECT_TRUE(win.GetSoundBox(0)->IsEnabled());
}

TEST_F(OptionsWinTest, WithoutSoundOutputPlaySoundsIsOffAndStaysOff)
{
    CMyOptionsWin win;
    win.SetInfo(SomeOptions(), true);
    EXPECT_FALSE(win.GetSoundBox(0)->GetMark());
    EXPECT_FALSE(win.GetSoundBox(0)->IsEnabled());
    EXPECT_TRUE(win.GetSoundBox(2)->GetMark()); // the single switches are kept
}

TEST_F(OptionsWinTest, TheIconCellsFormOneRingAndTheIdsRoundTrip)
{
    CMyOptionsWin win;
    for (uint32_t i = 0; i < CMyOptionsWin::kIconCount; ++i)
    {
        const uint16_t id = uint16_t(CMyOptionsWin::kIconIDs[i]);
        win.SetIconID(id);
        EXPECT_EQ(win.GetIconID(), id) << "cell " << i;
    }
    EXPECT_EQ(CMyOptionsWin::kIconIDs[0], -415);
    EXPECT_EQ(CMyOptionsWin::kIconIDs[27], -147);

    win.SetIconID(uint16_t(int16_t(-2001)));
    win.Show();
    QTest::mouseClick(win.GetIconCell(20)->Widget(), Qt::LeftButton);
    EXPECT_FALSE(win.GetIconCell(1)->GetMark());
    EXPECT_EQ(win.GetIconID(), uint16_t(int16_t(-418)));

    // An icon that no cell shows (the default among them) leaves every cell unmarked.
    win.SetIconID(414);
    EXPECT_EQ(win.GetIconID(), 0);
}

TEST_F(OptionsWinTest, TheNameRule)
{
    uint8_t name[32];
    SetText(name, " ");
    EXPECT_FALSE(CMyOptionsWin::CleanName(name));
    SetText(name, "");
    EXPECT_FALSE(CMyOptionsWin::CleanName(name));
    SetText(name, "  ");
    EXPECT_TRUE(CMyOptionsWin::CleanName(name));
    SetText(name, "a\tb\rc\x7F\xE9");
    EXPECT_TRUE(CMyOptionsWin::CleanName(name));
    EXPECT_EQ(Text(name), "a*b*c*\xE9"); // an accented letter is part of the name
    // A no-break space alone is as blank as the blank.
    SetText(name, "\xCA");
    EXPECT_FALSE(CMyOptionsWin::CleanName(name));

    CMyOptionsWin win;
    win.SetInfo(SomeOptions());
    win.GetNameField()->SetText(reinterpret_cast<const uint8_t*>("\x01 "));
    bool save = true;
    EXPECT_FALSE(win.HandleHit(CMyOptionsWin::kHitSave, save)); // the dialog stays
    EXPECT_FALSE(save);
    EXPECT_EQ(gBoxes, 1);
    EXPECT_EQ(gLastBox, 129);
}

TEST_F(OptionsWinTest, ANameWithACharacterTheSetLacksIsSavedWithAQuestionMarkOnlyWhenAgreed)
{
    CMyOptionsWin win;
    win.SetInfo(SomeOptions());
    win.GetNameField()->LineEdit()->setText(QString::fromUtf8("Zo\u00EB \u263A"));
    bool save = true;
    gAnswer = 2;
    EXPECT_FALSE(win.HandleHit(CMyOptionsWin::kHitSave, save)); // the dialog stays for mending
    EXPECT_FALSE(save);
    EXPECT_EQ(gBoxes, 1);
    EXPECT_EQ(gLastBox, 0);

    gAnswer = 1;
    EXPECT_TRUE(win.HandleHit(CMyOptionsWin::kHitSave, save));
    EXPECT_TRUE(save);
    EXPECT_EQ(gBoxes, 2);
    SMySettings saved = SomeOptions();
    win.GetInfo(saved);
    EXPECT_EQ(Text(saved.userName), "Zo\x91 ?");
}

TEST_F(OptionsWinTest, AutomaticResponseShowsItsTextOnlyWhileChecked)
{
    CMyOptionsWin win;
    win.SetInfo(SomeOptions());
    win.Show();
    EXPECT_TRUE(win.GetResponseBox()->IsVisible());
    bool save;
    win.GetOptionBox(5)->Button()->click();
    win.HandleHit(CMyOptionsWin::kHitAutomaticResponse, save);
    EXPECT_FALSE(win.GetResponseBox()->IsVisible());
    win.GetOptionBox(5)->Button()->click();
    win.HandleHit(CMyOptionsWin::kHitAutomaticResponse, save);
    EXPECT_TRUE(win.GetResponseBox()->IsVisible());
    EXPECT_EQ(win.GetResponseField()->GetText(), "Away");
}

TEST_F(OptionsWinTest, TheColourTabEditsOneSetAtATime)
{
    UColorDialog::SetHook(ChooseGreen);
    CMyOptionsWin win;
    const SMySettings in = SomeOptions();
    win.SetInfo(in);
    EXPECT_TRUE(win.GetColorChoice(CMyOptionsWin::kColorSetChat)->GetMark());
    EXPECT_EQ(win.GetTextSizeField()->GetText(), "14");

    // Edit the chat set, switch to news: the chat edits are kept and the news set is shown.
    win.GetTextSizeField()->SetText("80", 2);
    bool save;
    win.HandleHit(CMyOptionsWin::kHitTextColor, save);
    EXPECT_EQ(win.GetTextSwatch()->GetColor().green, 0xFFFF);
    win.HandleHit(CMyOptionsWin::kHitColorNews, save);
    EXPECT_TRUE(win.GetColorChoice(CMyOptionsWin::kColorSetNews)->GetMark());
    EXPECT_FALSE(win.GetColorChoice(CMyOptionsWin::kColorSetChat)->GetMark());
    EXPECT_EQ(win.GetTextSizeField()->GetText(), "9");
    EXPECT_EQ(win.GetBackSwatch()->GetColor().red, 0xEEEE);

    UColorDialog::SetHook(Cancelled); // a cancelled chooser changes nothing
    win.HandleHit(CMyOptionsWin::kHitBackColor, save);
    EXPECT_EQ(win.GetBackSwatch()->GetColor().red, 0xEEEE);

    SMySettings out;
    win.GetInfo(out);
    EXPECT_EQ(out.colorChat.textSize, 80); // the windows clamp it when they take it
    EXPECT_EQ(out.colorChat.textColor.green, 0xFFFF);
    EXPECT_EQ(out.colorChat.textColor.red, 0);
    EXPECT_TRUE(Same(out.colorNews, in.colorNews));

    win.GetTextSizeField()->SetText("x", 1);
    win.GetInfo(out);
    EXPECT_EQ(out.colorNews.textSize, 0);
}
