// Window descriptions: the compact big-endian form from which UWinFromRes builds a window with its views.
// Reading is kept apart from building, and apart from Qt, so that the bytes meet only this bounds-checked
// reader (which the fuzz target drives on its own) and the builder only ever sees a checked tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/Geometry.h"

// View kinds.
enum : uint32_t
{
    kViewKindButton = FourCC("butn"),
    kViewKindCheckBox = FourCC("chek"),
    kViewKindContainer = FourCC("ctrv"),
    kViewKindGroupBox = FourCC("gbox"),
    kViewKindIconButton = FourCC("ibtn"),
    kViewKindLabel = FourCC("labl"),
    kViewKindPicture = FourCC("pict"),
    kViewKindPopup = FourCC("popb"),
    kViewKindProgress = FourCC("prog"),
    kViewKindScroller = FourCC("scrl"),
    kViewKindTextBox = FourCC("text"),
};

struct SViewDesc
{
    uint32_t kind = 0;
    SRect bounds{};
    uint32_t id = 0;
    uint32_t command = 0;
    uint8_t sizing = 0;
    // The title, label text or initial text, in the client's character set.
    std::string text;
    // The kind's own 32-bit words in the order they stand (butn: default flag; chek: -, style, mark;
    // gbox: style; ibtn, pict: the id; prog: value, maximum; scrl, text: the eight option words).
    std::vector<uint32_t> words;
    // scrl and text: the scroller options computed from the words.
    uint16_t scrollerOptions = 0;
    // popb: each item's text and whether it is the selected one.
    std::vector<std::pair<std::string, bool>> items;
    // ctrv: its views; scrl: its one content view, when it has one.
    std::vector<SViewDesc> children;
};

struct SWinDesc
{
    uint32_t kind = 0;
    uint32_t style = 0;
    SRect bounds{};
    std::string title;
    SViewDesc root;
};

class UWinDescription
{
public:
    static constexpr uint32_t kVersion = 10;
    static constexpr uint32_t kHeaderSize = 40;
    static constexpr uint32_t kMinViewSize = 14;
    // Containers inside containers: real windows nest two or three deep. A cap keeps hostile data from
    // exhausting the stack.
    static constexpr uint32_t kMaxDepth = 32;

    // The whole description: header, title and root view. False when it is not acceptable (short, another
    // version, a title or fixed field past the end, an unknown kind, nesting too deep).
    static bool Parse(const void* data, uint32_t size, SWinDesc& out);
    // One view description at `cursor`, with its children; moves the cursor past it and its trailing
    // bytes. On failure the cursor is left where it was.
    static bool ParseView(const uint8_t*& cursor, uint32_t& remaining, SViewDesc& out, uint32_t depth = 0);
    // The scroller options of the eight words of a scrl or text view.
    static uint16_t ScrollerOptions(const std::vector<uint32_t>& words);
};
