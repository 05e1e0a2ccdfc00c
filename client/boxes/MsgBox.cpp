#include "client/boxes/MsgBox.h"

#include <QPlainTextEdit>
#include <QTextLayout>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "client/boxes/CMyMsgBoxWin.h"
#include "client/boxes/USound.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/UPString.h"
#include "framework/runtime/URez.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UModalLoop.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr int32_t kTextWidth = 275;
MsgBoxHook gHook = nullptr;

// Longer messages are not measured: they scroll in any case, and measuring megabytes takes seconds.
constexpr int32_t kMeasuredMessageSize = 4096;

bool IsEmpty(const uint8_t* pstring)
{
    return !pstring || pstring[0] == 0;
}

// The message's bytes, whichever field holds them.
const uint8_t* MessageBytes(const SMsgBox& box, uint32_t& outSize)
{
    if (box.longMessage && box.longMessageSize)
    {
        outSize = box.longMessageSize;
        return box.longMessage;
    }
    outSize = IsEmpty(box.message) ? 0 : box.message[0];
    return outSize ? box.message + 1 : nullptr;
}

bool HasMessage(const SMsgBox& box)
{
    uint32_t size;
    return MessageBytes(box, size) != nullptr;
}

// A message wraps where a word ends, and also inside a run of characters too long for a line (an
// address, a row of dashes), which would otherwise run past the box's edge.
constexpr QTextOption::WrapMode kMessageWrap = QTextOption::WrapAtWordBoundaryOrAnywhere;

int32_t MeasureMessage(const QString& text, const QFont& font)
{
    if (text.isEmpty()) return 0;
    if (text.size() > kMeasuredMessageSize) return kMaxMsgBoxMessageHeight + 1;
    QTextOption option;
    option.setWrapMode(kMessageWrap);
    qreal height = 0;
    for (const QString& paragraph : text.split(QChar('\n')))
    {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        {
            line.setLineWidth(kTextWidth);
            line.setLeadingIncluded(true);
            height += line.height();
        }
        layout.endLayout();
    }
    return int32_t(std::ceil(height));
}

// The message as read-only text: selectable, wrapped as measured, without frame or background of its own
// unless it scrolls.
CTextView* MakeMessageView(CWindow* win, const SRect& bounds, const uint8_t* text, uint32_t size,
                           bool scrolls)
{
    CTextView* view =
        scrolls ? MakeTextBoxView(win, bounds, kScrollVertical | kScrollFrame, nullptr, kTextMultiLine)
                : new CTextView(win, bounds, kTextMultiLine);
    QPlainTextEdit* edit = view->TextEdit();
    edit->setWordWrapMode(kMessageWrap);
    if (!scrolls)
    {
        edit->setFrameShape(QFrame::NoFrame);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->document()->setDocumentMargin(0);
        edit->viewport()->setAutoFillBackground(false);
        edit->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    }
    // Return and Escape still reach the box's buttons.
    edit->setFocusPolicy(Qt::ClickFocus);
    view->SetText(text, size);
    view->SetReadOnly(true);
    return view;
}

void PlayBoxSound(int16_t sound)
{
    if (sound == 0) return;
    if (sound == 1)
        USound::Beep();
    else
        USound::Play(nullptr, sound, 0);
}
} // namespace

SMsgBoxLayout LayOutMsgBox(const SMsgBox& box, int32_t messageHeight)
{
    SMsgBoxLayout l{};
    l.hasIcon = box.icon != 0;
    if (l.hasIcon) l.iconRect = SRect{10, 10, 42, 42};
    const int32_t left = l.hasIcon ? 60 : 10;
    if (HasMessage(box))
        l.textRect = SRect{left, 10, left + kTextWidth, 10 + messageHeight + 6};
    else if (box.picture)
        l.textRect = SRect{left, 10, left + 100, 10 + 100};
    else
        Fail(kErrTypeGeneral, 2);

    const int32_t y = l.textRect.Height() > 49 ? l.textRect.bottom + 10 : 70;
    l.hasButton2 = !IsEmpty(box.button2);
    l.hasButton3 = l.hasButton2 && !IsEmpty(box.button3);
    l.button1 = SRect{l.textRect.right - 90, y - 3, l.textRect.right, y + 23};
    if (!l.hasIcon && !l.hasButton2)
    {
        const int32_t center = (l.textRect.left + l.textRect.right) / 2;
        l.button1.left = center - 45;
        l.button1.right = center + 45;
    }
    if (l.hasButton2) l.button2 = SRect{l.button1.left - 100, y, l.button1.left - 16, y + 20};
    if (l.hasButton3) l.button3 = SRect{l.button2.left - 100, y, l.button2.left - 16, y + 20};
    l.content = SRect{0, 0, l.textRect.right + 10, y + 20 + 10};
    l.cancelButton = l.hasButton3 ? 3 : (l.hasButton2 ? 2 : 0);
    return l;
}

CMyMsgBoxWin* MakeMsgBoxWin(const SMsgBox& box)
{
    uint32_t messageSize;
    const uint8_t* messageBytes = MessageBytes(box, messageSize);
    const QString message = messageBytes ? ToQString(messageBytes, messageSize) : QString();
    QFont font; // the dialog font is the system's
    const int32_t height = MeasureMessage(message, font);
    const bool scrolls = height > kMaxMsgBoxMessageHeight;
    const SMsgBoxLayout l = LayOutMsgBox(box, scrolls ? kMaxMsgBoxMessageHeight : height);

    auto* win = new CMyMsgBoxWin(SRect{0, 0, l.content.right, l.content.bottom});
    win->SetMessageText(messageBytes, messageSize);
    if (!IsEmpty(box.title)) win->SetTitle(box.title);

    if (l.hasIcon) new CIconView(win, l.iconRect, box.icon);
    if (messageBytes)
        MakeMessageView(win, l.textRect, messageBytes, messageSize, scrolls);
    else
        new CPictureView(win, l.textRect, box.picture);

    auto addButton = [&](const SRect& r, const uint8_t* title, uint32_t hitID)
    {
        auto* b = new CButtonView(win, r);
        b->SetID(hitID);
        b->SetCommand(hitID);
        if (!IsEmpty(title))
            b->SetTitle(title);
        else
            b->SetTitle("OK", 2);
        return b;
    };
    CButtonView* first = addButton(l.button1, box.button1, 1);
    first->SetDefault(true);
    first->SetFocus();
    if (l.hasButton2) addButton(l.button2, box.button2, 2);
    if (l.hasButton3) addButton(l.button3, box.button3, 3);
    win->SetCancelHit(l.cancelButton);
    win->SetAutoBounds(kPlaceCenterScreen, kPlaceMainScreen);
    return win;
}

uint16_t TrackMsgBoxWin(CWindow* window)
{
    RequireObject(window);
    window->Show();
    window->BringToFront();
    const SModalResult result = UModalLoop::RunWindow(
        *window, [](uint32_t hit) { return (hit >= 1 && hit <= 3) || hit == kHitCloseBox; });
    // A quitting program takes the first button, as the user most often would.
    if (result.quitting) return 1;
    if (result.hit != kHitCloseBox) return uint16_t(result.hit);
    // The close box answers like the cancel button, or the first one when there is none.
    const uint32_t cancel = window->GetCancelHit();
    return uint16_t(cancel ? cancel : 1);
}

void SetMsgBoxHook(MsgBoxHook hook)
{
    gHook = hook;
}

namespace
{
uint16_t ShowBox(int16_t boxID, const SMsgBox& box)
{
    if (gHook) return gHook(boxID, box);
    PlayBoxSound(box.sound);
    CMyMsgBoxWin* win = MakeMsgBoxWin(box);
    win->SetBoxID(boxID);
    uint16_t button = TrackMsgBoxWin(win);
    delete win;
    return button;
}
} // namespace

uint16_t MsgBox(const SMsgBox& box)
{
    return ShowBox(0, box);
}

namespace
{
THdlObj* CopyMsgBoxResource(int16_t boxID)
{
    constexpr uint32_t kTypeMsgBox = FourCC("MSGB");
    TRezObj* rez = URez::SearchChain(kTypeMsgBox, uint32_t(uint16_t(boxID)));
    if (!rez) Fail(kErrTypeRez, 101);
    THdlObj* h = URez::LoadItem(rez, kTypeMsgBox, uint32_t(uint16_t(boxID)));
    // The resource is released before the window shows: keep copies of what the box needs.
    StHandle copy(UMemory::NewHandle(0));
    {
        StHandleLocker lock(h);
        UMemory::Set(copy.Get(), lock.Data(), UMemory::GetSize(h));
    }
    URez::ReleaseItem(rez, kTypeMsgBox, uint32_t(uint16_t(boxID)));
    return copy.Release();
}

// A numbered box's resource, copied and parsed; the box's strings stay valid while this lives.
class StMsgBoxResource
{
public:
    explicit StMsgBoxResource(int16_t boxID) : mCopy(CopyMsgBoxResource(boxID)), mLock(mCopy.Get())
    {
        ParseMsgBoxResource(mLock.Data(), UMemory::GetSize(mCopy.Get()), box);
    }
    SMsgBox box;

private:
    StHandle mCopy;
    StHandleLocker mLock;
};

void FormatMessage(const SMsgBox& box, uint8_t* outPString, va_list args)
{
    outPString[0] = 0;
    if (IsEmpty(box.message)) return;
    char format[256];
    std::memcpy(format, box.message + 1, box.message[0]);
    format[box.message[0]] = 0;
    outPString[0] = uint8_t(UText::FormatArg(outPString + 1, 255, format, args));
}
} // namespace

uint16_t MsgBox(int16_t boxID, ...)
{
    StMsgBoxResource rez(boxID);
    SMsgBox box = rez.box;
    uint8_t message[256];
    if (!IsEmpty(box.message))
    {
        va_list args;
        va_start(args, boxID);
        FormatMessage(box, message, args);
        va_end(args);
        box.message = message;
    }
    return ShowBox(boxID, box);
}

void FormatMsgBoxMessage(uint8_t* outPString, int16_t boxID, ...)
{
    StMsgBoxResource rez(boxID);
    va_list args;
    va_start(args, boxID);
    FormatMessage(rez.box, outPString, args);
    va_end(args);
}

namespace
{
// A text that fits a length-prefixed string travels as the box's ordinary message, so that whoever reads
// boxes (a hook) sees them as always; only longer ones need the long field.
uint16_t ShowWithText(int16_t boxID, SMsgBox box, const void* text, uint32_t size)
{
    uint8_t message[256];
    if (!text) size = 0;
    if (size <= 255)
    {
        UPString::SetBytes(message, text, size);
        box.message = message;
        box.longMessage = nullptr;
        box.longMessageSize = 0;
    }
    else
    {
        box.longMessage = static_cast<const uint8_t*>(text);
        box.longMessageSize = size;
    }
    return ShowBox(boxID, box);
}
} // namespace

uint16_t MsgBoxWithText(const SMsgBox& box, const void* text, uint32_t size)
{
    return ShowWithText(0, box, text, size);
}

uint16_t MsgBoxWithText(int16_t boxID, const void* text, uint32_t size)
{
    StMsgBoxResource rez(boxID);
    return ShowWithText(boxID, rez.box, text, size);
}
