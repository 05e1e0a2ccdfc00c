// One selectable icon cell of the options window. The cells of one group form a ring; choosing a cell
// unmarks the others of its ring.
#pragma once

#include "framework/ui/CView.h"

class CMyIconPickView : public CView
{
public:
    CMyIconPickView(SViewParent parent, const SRect& bounds, int16_t iconID = 0);
    ~CMyIconPickView() override;

    void SetIcon(int16_t iconID);
    int16_t GetIcon() const { return mIcon; }
    void SetMark(bool mark);
    bool GetMark() const { return mMark; }
    // Puts this cell into the ring that `other` belongs to.
    void JoinRing(CMyIconPickView* other);
    CMyIconPickView* GetNext() const { return mNext; }
    // What a mouse press on the cell does.
    void Choose();

protected:
    void Draw(QPainter& painter, const QRect& dirty) override;
    void MouseDown(const SPoint& where, uint16_t mods) override;
    bool KeyPressed(int qtKey, uint16_t mods) override;

private:
    int16_t mIcon = 0;
    bool mMark = false;
    CMyIconPickView* mNext = this;
};
