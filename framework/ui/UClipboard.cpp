#include "framework/ui/UClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "framework/ui/UiText.h"

void UClipboard::SetText(const void* text, uint32_t length)
{
    if (QClipboard* c = QGuiApplication::clipboard()) c->setText(ToQString(text, length));
}

std::string UClipboard::GetText()
{
    QClipboard* c = QGuiApplication::clipboard();
    return c ? FromQString(c->text()) : std::string();
}

bool UClipboard::HasText()
{
    QClipboard* c = QGuiApplication::clipboard();
    return c && !c->text().isEmpty();
}
