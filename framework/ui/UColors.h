// Text colours that stay readable on whatever lies behind them: a dark theme's list, or the background
// the user chose for the chat.
#pragma once

#include <QColor>

class UColors
{
public:
    // How far apart two colours are in brightness as the eye sees it, from 1 (the same) to 21 (black
    // and white): the ratio of their relative luminances, each plus 0.05.
    static double Contrast(const QColor& a, const QColor& b);
    // Text at least this far from its background is left as it is: every colour the program itself
    // gives a row (the grey of an idle user, the red and pink of administrators) meets it on the white
    // list it was chosen for, and so do the user's chat and news colours unless they plainly clash.
    static constexpr double kKeptContrast = 2.5;
    // What a colour that fell short is moved to: the usual threshold for body text, so that a colour
    // the program had to change is plainly readable and not just barely.
    static constexpr double kMadeContrast = 4.5;
    // `text` when it reads on `back`; else `text` mixed towards white or black, whichever reads better
    // on `back`, only as far as it needs, so that it keeps what it can of its hue.
    static QColor Readable(const QColor& text, const QColor& back);
};
