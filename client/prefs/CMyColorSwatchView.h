// A framed patch of one colour in the options window; a click on it reports a hit, on which the window
// opens the colour chooser.
#pragma once

#include "client/core/SMyColorInfo.h"
#include "framework/ui/CView.h"

class CMyColorSwatchView : public CView
{
public:
    CMyColorSwatchView(SViewParent parent, const SRect& bounds);
    void SetColor(const SColor& color);
    const SColor& GetColor() const { return mColor; }

protected:
    void Draw(QPainter& painter, const QRect& dirty) override;
    bool KeyPressed(int qtKey, uint16_t mods) override;
    void MouseDown(const SPoint& where, uint16_t mods) override;

private:
    SColor mColor{0, 0, 0};
};
