#include "client/users/CMyOpenUserWin.h"

#include <QLineEdit>

#include "client/widgets/MyDialogLabel.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UModalLoop.h"

CMyOpenUserWin::CMyOpenUserWin() : CMySessionWin(SRect{0, 0, 280, 146}, kWindowModal)
{
    SetTitle("Open User", 9);
    MakeDialogLabel(this, SRect{10, 10, 270, 42}, "Enter the login name of the user to open:");
    mLogin = new CTextView(this, SRect{10, 48, 270, 72});
    mLogin->SetID(kHitLoginEdited);
    mLogin->SetMaxLength(kMaxLogin);
    mLogin->SetChangeHits(true);
    mOpenBtn = new CButtonView(this, SRect{194, 110, 270, 136}, "Open");
    mOpenBtn->SetID(kHitOpen);
    mOpenBtn->SetDefault(true);
    mCancelBtn = new CButtonView(this, SRect{110, 113, 180, 133}, "Cancel");
    mCancelBtn->SetID(kHitCancel);
    mCancelBtn->SetCancel(true);
    // The button follows the field at once: a modal loop keeps only the last hit of a burst of events,
    // so the change hit alone could be overtaken by a button's.
    QObject::connect(mLogin->LineEdit(), &QLineEdit::textChanged, [this] { UpdateOpenButton(); });
    mLogin->SetFocus();
    UpdateOpenButton();
}

void CMyOpenUserWin::UpdateOpenButton()
{
    mOpenBtn->SetEnable(mLogin->GetTextSize() != 0);
}

void CMyOpenUserWin::GetLogin(uint8_t* outLogin) const
{
    mLogin->GetText(outLogin, kMaxLogin);
}

bool CMyOpenUserWin::Run(uint8_t* outLogin)
{
    outLogin[0] = 0;
    Place(kPlaceCenterScreen);
    Show();
    BringToFront();
    const SModalResult result = UModalLoop::RunWindow(*this,
                                                      [this](uint32_t hit)
                                                      {
                                                          switch (hit)
                                                          {
                                                          case kHitOpen:
                                                              // Return reaches the default button even
                                                              // while it is dimmed.
                                                              return mOpenBtn->IsEnabled();
                                                          case kHitLoginEdited:
                                                              UpdateOpenButton();
                                                              return false;
                                                          case kHitCancel:
                                                          case kHitCloseBox:
                                                              return true;
                                                          default:
                                                              return false;
                                                          }
                                                      });
    if (!result.Is(kHitOpen)) return false;
    GetLogin(outLogin);
    return true;
}
