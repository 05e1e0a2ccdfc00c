// A pop-up button with its menu list; items are numbered from 1.
#pragma once

#include "framework/ui/CView.h"

class QComboBox;

class CButtonPopupView : public CView
{
public:
    CButtonPopupView(SViewParent parent, const SRect& bounds);
    // Returns the new item's number.
    uint32_t AddItem(const uint8_t* pstring);
    uint32_t AddItem(const void* text, uint32_t length);
    void RemoveAll();
    uint32_t GetItemCount() const;
    void SetSelectedItem(uint32_t item);
    uint32_t GetSelectedItem() const; // 0 when none
    QComboBox* ComboBox() const;

private:
    bool mFilling = false;
};
