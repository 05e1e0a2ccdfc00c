#include "framework/ui/UiText.h"

#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UPString.h"

QString ToQString(const void* text, uint32_t length)
{
    if (!text || !length) return QString();
    // Protocol texts end lines with carriage returns; widgets expect line feeds.
    std::string utf8 = MacRomanToUtf8(text, length);
    QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

QString PStringToQString(const uint8_t* pstring)
{
    return pstring ? ToQString(pstring + 1, pstring[0]) : QString();
}

std::string FromQString(const QString& text)
{
    QString s = text;
    s.replace(QChar('\n'), QChar('\r'));
    QByteArray utf8 = s.toUtf8();
    return Utf8ToMacRoman(utf8.constData(), size_t(utf8.size()));
}

uint8_t QStringToPString(const QString& text, uint8_t* outPString, uint8_t maxLength)
{
    const std::string bytes = FromQString(text);
    return UPString::SetBytes(outPString, uint32_t(maxLength) + 1, bytes.data(), uint32_t(bytes.size()));
}
