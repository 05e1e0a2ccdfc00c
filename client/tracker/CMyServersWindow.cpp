#include "client/tracker/CMyServersWindow.h"

#include <QLabel>
#include <QLineEdit>

#include "client/tracker/CServersList.h"
#include "client/tracker/TrackerCommands.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UPopupMenu.h"

namespace
{
constexpr uint16_t kStyleResizable = kWindowCloseBox | kWindowResizable;
constexpr uint16_t kSmallText = 9;

CIconButtonView* MakeButton(CWindow* window, const SRect& bounds, int16_t icon, uint32_t command,
                            const char* tip)
{
    CIconButtonView* button = CIconButtonView::Make(window, bounds, icon, 0);
    button->SetCommand(command);
    button->SetToolTip(tip);
    return button;
}

void MakeSmall(CLabelView* label)
{
    QFont f = label->Label()->font();
    f.setPointSize(kSmallText);
    label->Label()->setFont(f);
    label->Label()->setWordWrap(false);
}
} // namespace

CMyServersWindow::CMyServersWindow()
    : CWindow(SRect{0, 0, kWidth, kHeight}, kWindowDocument2, kStyleResizable)
{
    SetTitle("Tracked Servers", 15);
    SetLimits(300, 150, 0x7FFF, 0x7FFF);
    constexpr int32_t R = kWidth;
    (new CBoxView(this, SRect{0, 0, R, 30}))->SetSizing(kSizeRight);
    MakeButton(this, {3, 3, 27, 27}, 411, kCmdTrackConnectWithDialog, "Connect...");
    mInfoBtn = MakeButton(this, {30, 3, 54, 27}, 215, kCmdTrackServerInfo, "Server Info");
    MakeButton(this, {57, 3, 81, 27}, 205, kCmdTrackRefresh, "Refresh");
    MakeButton(this, {84, 3, 108, 27}, 419, kCmdTrackShowList, "Trackers");
    // Wider than the original table: the system font needs the room for the whole word and its colon.
    auto* search = new CLabelView(this, SRect{111, 9, 161, 23}, "Search:");
    MakeSmall(search);

    CScrollerView* fieldFrame = nullptr;
    mFilterText = MakeTextBoxView(this, SRect{162, 5, 270, 27}, kScrollFrame, &fieldFrame, kTextSingleLine);
    fieldFrame->SetSizing(kSizeRight);
    mFilterText->SetTextSize(kSmallText);
    mFilterText->SetEnterKeyAction(true);
    mFilterText->SetChangeHits(true);
    mFilterText->SetCommand(kCmdTrackSearch);
    if (QLineEdit* line = mFilterText->LineEdit()) line->setFrame(false);

    mServerNumLabl = new CLabelView(this, SRect{274, 10, R, 21}, "0/0");
    mServerNumLabl->SetSizing(kSizeFollowRight);
    MakeSmall(mServerNumLabl);

    mScrChatz = new CScrollerView(this, SRect{-2, 30, R + 2, kHeight + 2},
                                  kScrollHorizontal | kScrollVertical | kScrollAsNeeded | kScrollFrame);
    mScrChatz->SetSizing(kSizeGrow);
    mTrackList = new CServersList(mScrChatz, SRect{0, 0, 325, 329});
    mTrackList->SetCommand(kCmdTrackConnect);
    mScrChatz->ContentAdded();
    mTrackList->SetContextMenuProc([this](const QPoint& at)
                                   { UPopupMenu::Run(mTrackList->Widget(), at, ContextMenuEntries()); });
}

CMyServersWindow::~CMyServersWindow()
{
    // The list's widget goes a moment after the window object: nothing may call back into it.
    mTrackList->SetContextMenuProc(nullptr);
}

std::vector<SMenuEntry> CMyServersWindow::ContextMenuEntries() const
{
    const bool any = mTrackList->GetSelectedCount() != 0;
    CServersList* list = mTrackList;
    CIconButtonView* info = mInfoBtn;
    std::vector<SMenuEntry> entries;
    entries.push_back({"Connect", "", any, [list] { list->Hit(kListPartOpen, kModDoubleClick); }});
    entries.push_back({"Get Info", "", any, [info] { info->Hit(0, 0); }});
    return entries;
}
