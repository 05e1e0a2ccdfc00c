#include "framework/ui/UWinFromRes.h"

#include <QLineEdit>

#include "framework/ui/CButtonPopupView.h"
#include "framework/ui/CButtonView.h"
#include "framework/ui/CCheckBoxView.h"
#include "framework/ui/CContainerView.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CIconView.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CProgressView.h"
#include "framework/ui/CScrollerView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UWinDescription.h"

namespace
{
void SetText(CLabelView* view, const std::string& text)
{
    view->SetText(text.data(), uint32_t(text.size()));
}
} // namespace

CView* UWinFromRes::Build(SViewParent parent, const SViewDesc& d)
{
    CView* view = nullptr;
    CView* commandView = nullptr;
    const auto size = [](const std::string& s) { return uint32_t(s.size()); };
    switch (d.kind)
    {
    case kViewKindButton:
    {
        auto* button = new CButtonView(parent, d.bounds);
        button->SetTitle(d.text.data(), size(d.text));
        // The default button answers Return with its id, so the id goes first.
        button->SetID(d.id);
        button->SetDefault((d.words[0] & 0xFFFF) != 0);
        view = button;
        break;
    }
    case kViewKindCheckBox:
    {
        auto* box = new CCheckBoxView(parent, d.bounds, nullptr, uint16_t(d.words[1]));
        box->SetTitle(d.text.data(), size(d.text));
        box->SetMark(d.words[2] != 0);
        view = box;
        break;
    }
    case kViewKindContainer:
    {
        auto* container = new CContainerView(parent, d.bounds);
        for (const SViewDesc& child : d.children)
            Build(container, child);
        view = container;
        break;
    }
    case kViewKindGroupBox:
    {
        auto* box = new CBoxView(parent, d.bounds, uint16_t(d.words[0]));
        box->SetTitle(d.text.data(), size(d.text));
        view = box;
        break;
    }
    case kViewKindIconButton:
        view = new CIconButtonView(parent, d.bounds, int16_t(d.words[0]));
        break;
    case kViewKindLabel:
    {
        auto* label = new CLabelView(parent, d.bounds);
        SetText(label, d.text);
        view = label;
        break;
    }
    case kViewKindPicture:
        view = new CPictureView(parent, d.bounds, int16_t(d.words[0]));
        break;
    case kViewKindPopup:
    {
        auto* popup = new CButtonPopupView(parent, d.bounds);
        uint32_t selected = 0;
        for (const auto& [text, isSelected] : d.items)
        {
            const uint32_t item = popup->AddItem(text.data(), size(text));
            if (isSelected) selected = item;
        }
        if (selected) popup->SetSelectedItem(selected);
        view = popup;
        break;
    }
    case kViewKindProgress:
    {
        auto* progress = new CProgressView(parent, d.bounds);
        progress->SetMaxValue(d.words[1]);
        progress->SetValue(d.words[0]);
        view = progress;
        break;
    }
    case kViewKindScroller:
    {
        auto* scroller = new CScrollerView(parent, d.bounds, d.scrollerOptions);
        for (const SViewDesc& content : d.children)
            Build(scroller, content);
        scroller->ContentAdded();
        view = scroller;
        break;
    }
    case kViewKindTextBox:
    {
        // A box without scroll bars holds one line; with them, as many as the text has.
        const bool oneLine = (d.scrollerOptions & (kScrollHorizontal | kScrollVertical)) == 0;
        CScrollerView* scroller = nullptr;
        CTextView* text = MakeTextBoxView(parent, d.bounds, d.scrollerOptions, &scroller,
                                          oneLine ? kTextSingleLine : kTextMultiLine);
        // The scroller draws the frame; the line's own would double it.
        if (QLineEdit* line = text->LineEdit(); line && (d.scrollerOptions & kScrollFrame))
            line->setFrame(false);
        text->SetEnterKeyAction(d.words[0] != 0);
        text->SetText(d.text.data(), size(d.text));
        view = scroller;
        commandView = text;
        break;
    }
    default:
        // The reader lets no other kind through.
        return nullptr;
    }
    view->SetID(d.id);
    (commandView ? commandView : view)->SetCommand(d.command);
    view->SetSizing(d.sizing);
    view->Show();
    return view;
}

CWindow* UWinFromRes::New(const void* data, uint32_t size)
{
    SWinDesc desc;
    if (!UWinDescription::Parse(data, size, desc)) return nullptr;
    auto* window = new CWindow(desc.bounds, uint16_t(desc.kind), uint16_t(desc.style));
    window->SetTitle(desc.title.data(), uint32_t(desc.title.size()));
    Build(window, desc.root);
    return window;
}

bool UWinFromRes::BuildView(SViewParent parent, const uint8_t*& cursor, uint32_t& remaining)
{
    const uint8_t* at = cursor;
    uint32_t left = remaining;
    SViewDesc desc;
    if (!UWinDescription::ParseView(at, left, desc)) return false;
    if (!Build(parent, desc)) return false;
    cursor = at;
    remaining = left;
    return true;
}

CView* UWinFromRes::GetView(CView* view, uint32_t id)
{
    return view ? view->FindView(id) : nullptr;
}

CView* UWinFromRes::GetView(CWindow* window, uint32_t id)
{
    return window ? window->FindView(id) : nullptr;
}
