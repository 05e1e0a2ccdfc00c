#include "framework/ui/UAlert.h"

#include <QMessageBox>

#include "framework/ui/UModalLoop.h"
#include "framework/ui/UiText.h"

void UAlert::Show(const char* text, uint32_t size)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ERROR"), ToQString(text, size), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    bool done = false;
    QObject::connect(&box, &QMessageBox::finished, [&done] { done = true; });
    box.show();
    UModalLoop::Run([&done] { return done; });
}
