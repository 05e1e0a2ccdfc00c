// A window of read-only text filling it: the news, and other texts the server sends.
#pragma once

#include "client/core/SMyColorInfo.h"
#include "framework/ui/CWindow.h"

struct THdlObj;
class CTextView;
class CScrollerView;

class CMyTextWin : public CWindow
{
public:
    CMyTextWin();

    CTextView* GetTextView() const { return mTextView; }
    // Copies the block's bytes (the caller keeps the block); null empties the window.
    void SetTextHandle(THdlObj* text);
    void SetText(const void* text, uint32_t length);
    void AppendText(const void* text, uint32_t length);
    void InsertTextAtStart(const void* text, uint32_t length);
    uint32_t GetTextSize() const;
    // The background goes to the scroller; text colour and size to the text.
    void SetTextColor(const SMyColorInfo& colors);

protected:
    CTextView* mTextView = nullptr;
    CScrollerView* mScrollView = nullptr;
};
