// The text boxes that the public and private chat windows share: the read-only conversation and the box
// the user types into, and how the user's colours apply to them.
#pragma once

#include <initializer_list>
#include <vector>

#include "client/core/SMyColorInfo.h"
#include "framework/runtime/Geometry.h"

class CWindow;
class CTextView;
class CScrollerView;

// Read-only, 9 points, grows with the window.
CTextView* MakeChatTextBox(CWindow* window, const SRect& bounds, CScrollerView** outScroller);
// 9 points, moves down and widens with the window; Enter reports a hit of `viewID`.
CTextView* MakeChatSendBox(CWindow* window, const SRect& bounds, uint32_t viewID,
                           CScrollerView** outScroller);
// The rule for every line put into a conversation: a line starting with a carriage return loses it
// when the view is empty (so the text does not open with a blank line), and the view then shows the
// end unless the user has put the keyboard focus in it to read back.
// Runs (STextRun) count from the start of `text`.
void AppendChatLine(CTextView* view, const void* text, uint32_t length,
                    const std::vector<struct STextRun>& runs = {});
// A line of the client's own, greyed, on a line of its own.
void AppendChatNote(CTextView* view, const void* text, uint32_t length);
void ApplyChatColors(const SMyColorInfo& colors, std::initializer_list<CTextView*> texts,
                     std::initializer_list<CScrollerView*> scrollers);
