// The subject bar of a private chat window: "Subject:" and the subject, pressed like a button to change it.
#pragma once

#include <string>

#include "framework/ui/CView.h"

class CMySubjectView : public CView
{
public:
    CMySubjectView(SViewParent parent, const SRect& bounds);

    void SetText(const void* text, uint32_t length);
    const std::string& GetText() const { return mText; }
    bool IsHilited() const { return mIsHilited; }
    // A click reports a hit of type 1, or 2 with the Alt key held; only while hits are enabled.
    void SetHitsEnabled(bool on) { mHitsEnabled = on; }

protected:
    void Draw(QPainter& painter, const QRect& dirty) override;
    void MouseDown(const SPoint& where, uint16_t mods) override;
    void MouseUp(const SPoint& where, uint16_t mods) override;

private:
    std::string mText;
    bool mIsHilited = false;
    bool mHitsEnabled = true;
};
