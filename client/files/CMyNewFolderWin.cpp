#include "client/files/CMyNewFolderWin.h"

#include <QLineEdit>

#include "client/widgets/MyDialogLabel.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UModalLoop.h"

CMyNewFolderWin::CMyNewFolderWin(const uint8_t* renaming) : CMySessionWin(SRect{0, 0, 300, 146}, kWindowModal)
{
    if (renaming)
    {
        SetTitle("Rename", 6);
        MakeDialogLabel(this, SRect{20, 20, 280, 40}, "Enter a new name:");
    }
    else
    {
        SetTitle("Create Folder", 13);
        MakeDialogLabel(this, SRect{20, 20, 280, 40}, "Enter a name for the new folder:");
    }
    mName = new CTextView(this, SRect{20, 48, 280, 74}, kTextSingleLine);
    mName->SetID(kHitNameChanged);
    mName->SetMaxLength(255);
    mName->SetChangeHits(true);
    mCreateBtn = new CButtonView(this, SRect{204, 106, 280, 132}, renaming ? "Rename" : "Create");
    mCreateBtn->SetID(kHitCreate);
    mCreateBtn->SetDefault(true);
    auto* cancel = new CButtonView(this, SRect{120, 109, 190, 129}, "Cancel");
    cancel->SetID(kHitCancel);
    cancel->SetCancel(true);
    SetCancelHit(kHitCancel);
    // The button follows the field at once: a modal loop keeps only the last hit of a burst, so the
    // change hit alone could be overtaken by the button's.
    QObject::connect(mName->LineEdit(), &QLineEdit::textChanged, [this] { UpdateCreateButton(); });
    if (renaming)
    {
        mName->SetText(renaming);
        mName->SelectAll();
    }
    mName->SetFocus();
    UpdateCreateButton();
}

void CMyNewFolderWin::UpdateCreateButton()
{
    mCreateBtn->SetEnable(mName->GetTextSize() != 0);
}

void CMyNewFolderWin::GetName(uint8_t* outName) const
{
    mName->GetText(outName, 255);
}

bool CMyNewFolderWin::Run(uint8_t* outName)
{
    CMyNewFolderWin win;
    return RunLoop(win, outName);
}

bool CMyNewFolderWin::RunRename(const uint8_t* oldName, uint8_t* outName)
{
    CMyNewFolderWin win(oldName);
    // An unchanged name would ask the server for nothing.
    return RunLoop(win, outName) && !UPString::Equal(outName, oldName);
}

bool CMyNewFolderWin::RunLoop(CMyNewFolderWin& win, uint8_t* outName)
{
    outName[0] = 0;
    win.Place(kPlaceCenterScreen);
    win.Show();
    win.BringToFront();
    const SModalResult result = UModalLoop::RunWindow(win,
                                                      [&win](uint32_t hit)
                                                      {
                                                          if (hit == kHitNameChanged)
                                                              win.UpdateCreateButton();
                                                          // Return reaches the default button even while
                                                          // it is dimmed; without a name it means nothing.
                                                          if (hit == kHitCreate)
                                                              return win.GetCreateButton()->IsEnabled();
                                                          return hit == kHitCancel || hit == kHitCloseBox;
                                                      });
    if (!result.Is(kHitCreate) || !win.IsSessionCurrent()) return false;
    win.GetName(outName);
    return outName[0] != 0;
}
