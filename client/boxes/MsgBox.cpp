#include "client/boxes/MsgBox.h"

#include <QFontMetrics>
#include <QLabel>
#include <cstdarg>
#include <cstring>

#include "client/boxes/CMyMsgBoxWin.h"
#include "client/boxes/USound.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr int32_t kTextWidth = 275;
MsgBoxHook gHook = nullptr;

bool IsEmpty(const uint8_t* pstring)
{
    return !pstring || pstring[0] == 0;
}

QString MessageText(const SMsgBox& box)
{
    return IsEmpty(box.message) ? QString() : PStringToQString(box.message);
}

int32_t MeasureMessage(const QString& text, const QFont& font)
{
    if (text.isEmpty()) return 0;
    QFontMetrics metrics(font);
    return metrics.boundingRect(QRect(0, 0, kTextWidth, 100000), Qt::TextWordWrap, text).height();
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
    if (!IsEmpty(box.message))
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
    const QString message = MessageText(box);
    QFont font; // the dialog font is the system's
    const SMsgBoxLayout l = LayOutMsgBox(box, MeasureMessage(message, font));

    auto* win = new CMyMsgBoxWin(SRect{0, 0, l.content.right, l.content.bottom});
    if (!IsEmpty(box.message)) win->SetMessageText(box.message + 1, box.message[0]);
    if (!IsEmpty(box.title)) win->SetTitle(box.title);

    if (l.hasIcon) new CIconView(win, l.iconRect, box.icon);
    if (!message.isEmpty())
    {
        auto* text = new CLabelView(win, l.textRect);
        text->SetText(box.message);
        text->Label()->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
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
    for (;;)
    {
        uint32_t hit = window->ProcessModal();
        if (hit >= 1 && hit <= 3) return uint16_t(hit);
        if (hit == kHitCloseBox)
        {
            // The close box answers like the cancel button, or the first one when there is none.
            uint32_t cancel = window->GetCancelHit();
            return uint16_t(cancel ? cancel : 1);
        }
        if (hit == 0) return 1; // the program is quitting
    }
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

uint16_t MsgBox(int16_t boxID, ...)
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

    StHandleLocker lock(copy.Get());
    SMsgBox box;
    ParseMsgBoxResource(lock.Data(), UMemory::GetSize(copy.Get()), box);
    uint8_t message[256];
    if (!IsEmpty(box.message))
    {
        char format[256];
        std::memcpy(format, box.message + 1, box.message[0]);
        format[box.message[0]] = 0;
        va_list args;
        va_start(args, boxID);
        message[0] = uint8_t(UText::FormatArg(message + 1, 255, format, args));
        va_end(args);
        box.message = message;
    }
    return ShowBox(boxID, box);
}
