#include "framework/ui/CProgressView.h"

#include <QProgressBar>

namespace
{
// Qt's bar counts in int; the view keeps the real values and shows them in ten-thousandths.
constexpr int kSteps = 10000;
} // namespace

CProgressView::CProgressView(SViewParent parent, const SRect& bounds)
    : CView(parent, bounds, new QProgressBar)
{
    auto* bar = static_cast<QProgressBar*>(Widget());
    bar->setTextVisible(false);
    bar->setRange(0, kSteps);
    Update();
}

void CProgressView::SetValue(uint32_t value)
{
    mValue = value;
    Update();
}

void CProgressView::SetMaxValue(uint32_t maxValue)
{
    mMax = maxValue;
    Update();
}

void CProgressView::Update()
{
    const uint32_t v = mValue > mMax ? mMax : mValue;
    const int steps = mMax ? int(uint64_t(v) * kSteps / mMax) : 0;
    auto* bar = static_cast<QProgressBar*>(Widget());
    if (bar->value() != steps) bar->setValue(steps);
}
