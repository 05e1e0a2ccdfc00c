#include "client/files/CMyFileInfoWin.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstring>

#include "client/app/AppNumbers.h"
#include "client/widgets/MyDialogLabel.h"
#include "client/widgets/UMyServerNames.h"
#include "framework/runtime/UPString.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr uint16_t kStyleInfoWin = kWindowCloseBox;
constexpr int32_t kRowTop = 40;
constexpr int32_t kInfoRowHeight = 16;
constexpr const char* kLabels[] = {"Type:", "Creator:", "Size:", "Created:", "Modified:"};

CLabelView* MakeInfoLabel(CWindow* win, const SRect& r, const char* text)
{
    CLabelView* label = MakeDialogLabel(win, r, text);
    // One line per value: a long date is cut rather than pushed onto the next row's line.
    static_cast<QLabel*>(label->Widget())->setWordWrap(false);
    return label;
}
} // namespace

CMyFileInfoWin::CMyFileInfoWin() : CMySessionWin(SRect{0, 0, 250, 240}, kWindowDocument2, kStyleInfoWin)
{
    SetTitle("Info", 4);
    mIcon = new CIconView(this, SRect{10, 9, 26, 25}, 400);
    mName = new CTextView(this, SRect{34, 5, 240, 29}, kTextSingleLine);
    mName->SetID(kHitFileInfoEdited);
    mName->SetMaxLength(255);
    mName->SetChangeHits(true);
    for (uint32_t i = 0; i < kValueCount; ++i)
    {
        const int32_t top = kRowTop + int32_t(i) * kInfoRowHeight;
        MakeInfoLabel(this, SRect{10, top, 70, top + kInfoRowHeight}, kLabels[i]);
        mValues[i] = MakeInfoLabel(this, SRect{72, top, 248, top + kInfoRowHeight}, nullptr);
    }
    const int32_t commentTop = kRowTop + int32_t(kValueCount + 1) * kInfoRowHeight;
    MakeInfoLabel(this, SRect{10, commentTop, 120, commentTop + kInfoRowHeight}, "Comments:");
    CScrollerView* commentBox = nullptr;
    mComment = MakeTextBoxView(this, SRect{10, commentTop + kInfoRowHeight + 2, 240, 202},
                               kScrollVertical | kScrollAsNeeded | kScrollFrame, &commentBox, kTextMultiLine);
    if (commentBox) commentBox->SetSizing(kSizeGrow);
    mComment->SetID(kHitFileInfoEdited);
    mComment->SetMaxLength(255);
    mComment->SetChangeHits(true);
    mSaveBtn = new CButtonView(this, SRect{170, 208, 240, 232}, "Save");
    mSaveBtn->SetID(kHitFileSaveInfo);
    mSaveBtn->SetEnable(false);
    // A long comment or name gets room: they grow with the window, Save keeps to its corner.
    mName->SetSizing(kSizeRight);
    mSaveBtn->SetSizing(kSizeStickBottomRight);
    for (CLabelView* value : mValues)
        value->SetSizing(kSizeRight);
    MakeResizable();
    // Return in the name (Ctrl+Return in the comment) saves; Escape closes as the close box does.
    mSaveBtn->SetDefault(true);
    SetCancelHit(kHitCloseBox);
    // The window tells an edit by the user from its own filling; the application only hears that
    // something changed.
    QObject::connect(mName->LineEdit(), &QLineEdit::textChanged, [this] { Edited(true); });
    QObject::connect(mComment->TextEdit(), &QPlainTextEdit::textChanged, [this] { Edited(false); });
}

void CMyFileInfoWin::Edited(bool name)
{
    if (mFilling) return;
    (name ? mNameEdited : mCommentEdited) = true;
    SetSaveEnabled(true);
}

void CMyFileInfoWin::SetInfo(const uint8_t* name, const uint8_t* comment, const uint8_t* info, int16_t icon)
{
    mFilling = true;
    uint8_t shown[256];
    UMyServerNames::MakeShowable(name, shown, sizeof(shown));
    mName->SetText(shown);
    mComment->SetText(comment);
    const uint8_t* text = info ? info + 1 : nullptr;
    uint32_t left = info ? info[0] : 0;
    for (CLabelView* value : mValues)
    {
        const auto* end = text ? static_cast<const uint8_t*>(std::memchr(text, '\r', left)) : nullptr;
        const uint32_t n = end ? uint32_t(end - text) : left;
        value->SetText(text, n);
        if (text) text += n + (end ? 1 : 0);
        left -= n + (end ? 1 : 0);
    }
    mIconID = icon;
    mIcon->SetIcon(icon);
    mFilling = false;
    mNameEdited = mCommentEdited = false;
    SetSaveEnabled(false);
}

void CMyFileInfoWin::GetInfo(uint8_t* outName, uint8_t* outComment) const
{
    if (outName) mName->GetText(outName, 255);
    if (outComment) mComment->GetText(outComment, 255);
}

void CMyFileInfoWin::SetSaveEnabled(bool enabled)
{
    mSaveBtn->SetEnable(enabled);
}

bool CMyFileInfoWin::IsSaveEnabled() const
{
    return mSaveBtn->IsEnabled();
}

void CMyFileInfoWin::SetPath(const void* path, uint32_t size)
{
    const auto* p = static_cast<const uint8_t*>(path);
    if (p && size)
        mPath.assign(p, p + size);
    else
        mPath.clear();
}

void CMyFileInfoWin::SetOrigName(const uint8_t* name)
{
    UPString::Copy(mOrigName, name);
}

std::string CMyFileInfoWin::GetValueText(uint32_t index) const
{
    if (index >= kValueCount) return {};
    return FromQString(static_cast<QLabel*>(mValues[index]->Widget())->text());
}
