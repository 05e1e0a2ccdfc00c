// An icon or a picture from the data file, drawn centred in the view and scaled down to fit it.
#pragma once

#include "framework/ui/CView.h"

class CIconView : public CView
{
public:
    CIconView(SViewParent parent, const SRect& bounds, int16_t iconID);
    void SetIcon(int16_t iconID);
    int16_t GetIcon() const { return mID; }

protected:
    CIconView(SViewParent parent, const SRect& bounds, uint32_t type, int16_t id);
    void Load();

private:
    uint32_t mType;
    int16_t mID;
};

// A picture ('PIXM') of the data file.
class CPictureView : public CIconView
{
public:
    CPictureView(SViewParent parent, const SRect& bounds, int16_t pictureID);
};
