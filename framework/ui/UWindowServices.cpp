#include "framework/ui/UWindowServices.h"

#include <QApplication>
#include <QWidget>

#include "framework/runtime/CApplication.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UError.h"
#include "framework/ui/UAlert.h"
#include "framework/ui/UKeyboard.h"

void UWindowServices::Register()
{
    CApplication::SetServicesInitProc(Init);
}

void UWindowServices::Init()
{
    UError::SetAlertProc(UAlert::Show);
    UKeyboard::Install();
    UApplication::SetAttentionProc(
        []
        {
            // The window manager marks the windows urgent until the user comes back to one of them; an
            // active program is left alone.
            if (QApplication::activeWindow()) return;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isWindow()) QApplication::alert(w, 0);
        });
}
