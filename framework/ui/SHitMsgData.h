// What a window reports when one of its views is used: a button pressed, a row double-clicked, a drop.
#pragma once

#include <cstdint>

class CView;

// The close box of a window reports this hit id.
constexpr uint32_t kHitCloseBox = 0x77696E64; // 'wind'

struct SHitMsgData
{
    CView* view;
    uint32_t id;  // the view id: what the application dispatches on
    uint32_t cmd; // the command code: what the tracker controller dispatches on
    uint16_t type;
    uint16_t part;
    uint16_t mods;
    uint32_t param;
    uint32_t dataSize;
    uint8_t data[256];
};
