#include "framework/ui/UColors.h"

#include <algorithm>
#include <cmath>

namespace
{
double Linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c)
{
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

QColor Mix(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}
} // namespace

double UColors::Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor UColors::Readable(const QColor& text, const QColor& back)
{
    if (Contrast(text, back) >= kKeptContrast) return text;
    const QColor white(Qt::white), black(Qt::black);
    const QColor target = Contrast(white, back) >= Contrast(black, back) ? white : black;
    // The first step on the way to the target that reads is the least change this way gives.
    constexpr int kSteps = 20;
    for (int step = 1; step < kSteps; ++step)
    {
        const QColor mixed = Mix(text, target, double(step) / kSteps);
        if (Contrast(mixed, back) >= kMadeContrast) return mixed;
    }
    return target;
}
