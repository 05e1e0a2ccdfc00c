// What the file, user and task lists share in drawing their rows: the selection mark, the frame between
// rows, the row icon, the text colour and the lists' font. Every colour comes from the list's palette,
// so that the rows follow a dark theme as well as a light one.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

class QPainter;
class QPalette;
class QRect;
class QString;

// Colours given as 16-bit components.
inline QColor MyColor16(uint16_t red, uint16_t green, uint16_t blue)
{
    return QColor::fromRgb(red >> 8, green >> 8, blue >> 8);
}

class UMyRowDrawing
{
public:
    // The lists draw with the default font at 9 points.
    static QFont ListFont(const QFont& base, bool bold);
    // Filled with the highlight when the list is active, else outlined in it.
    static void DrawSelection(QPainter& painter, const QRect& mark, bool active, const QPalette& palette);
    // A one-pixel frame in the light 3D colour; a drag image goes without it.
    static void DrawFrame(QPainter& painter, const QRect& frame, const QPalette& palette);
    static void DrawIcon(QPainter& painter, int16_t iconID, int x, int y, bool selectedLook);
    // The text colour of a row: `wanted` (a role of the palette, or a colour that marks a kind of item)
    // made readable on what the row shows behind it, the list's base or the selection's highlight.
    static QColor TextColor(const QColor& wanted, bool selectedLook, const QPalette& palette);
    // On one line (control characters show as blanks), cut with an ellipsis to fit the width.
    static void DrawText(QPainter& painter, const QRect& box, const QString& text, int alignment);
    // What every icon row of the file and user lists starts with: the selection mark, the frame shared
    // with the neighbouring rows, and the icon. Returns whether the row shows the selected look.
    static bool DrawIconRow(QPainter& painter, const QRect& row, int16_t iconID, bool selected, bool active,
                            const QPalette& palette);
};
