#include "framework/ui/UAlert.h"

#include <QMessageBox>

#include "framework/runtime/UApplication.h"
#include "framework/ui/UiText.h"

void UAlert::Show(const char* text, uint32_t size)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ERROR"), ToQString(text, size), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    bool done = false;
    QObject::connect(&box, &QMessageBox::finished, [&done] { done = true; });
    box.show();
    // Our own modal loop rather than exec(): network work and timers go on behind the alert.
    while (!done && !UApplication::IsQuitting())
    {
        UApplication::Process();
        if (done || UApplication::IsQuitting()) break;
        UApplication::ProcessAndSleep();
    }
}
