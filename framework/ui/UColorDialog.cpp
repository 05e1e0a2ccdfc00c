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
    dialog.setWindowModality(Qt::ApplicationModal);
    if (title) dialog.setWindowTitle(QString::fromLatin1(title));
    bool finished = false;
    QObject::connect(&dialog, &QDialog::finished, [&finished] { finished = true; });
    dialog.show();
    if (!UModalLoop::Run([&finished] { return finished; }))
    {
        dialog.reject();
        return false;
    }
    if (dialog.result() != QDialog::Accepted) return false;
    const QRgba64 chosen = dialog.selectedColor().rgba64();
    ioRGB[0] = chosen.red();
    ioRGB[1] = chosen.green();
    ioRGB[2] = chosen.blue();
    return true;
}
