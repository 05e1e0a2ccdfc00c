#include "framework/ui/UColorDialog.h"

#include <QColorDialog>

#include "framework/ui/UModalLoop.h"

namespace
{
UColorDialog::Hook gHook = nullptr;
} // namespace

void UColorDialog::SetHook(Hook hook)
{
    gHook = hook;
}

bool UColorDialog::Choose(const char* title, uint16_t* ioRGB)
{
    if (gHook) return gHook(ioRGB);
    // Qt's own dialog rather than the platform's, waited for in the program's modal loop like every
    // other window that waits for the user.
    QColorDialog dialog(QColor::fromRgba64(ioRGB[0], ioRGB[1], ioRGB[2]));
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    if (title) dialog.setWindowTitle(QString::fromLatin1(title));
    if (!UModalLoop::RunDialog(dialog)) return false;
    const QRgba64 chosen = dialog.selectedColor().rgba64();
    ioRGB[0] = chosen.red();
    ioRGB[1] = chosen.green();
    ioRGB[2] = chosen.blue();
    return true;
}
