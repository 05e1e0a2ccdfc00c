#include "framework/ui/UiText.h"

#include "framework/runtime/MacRoman.h"
#include "framework/runtime/UPString.h"

namespace
{
char32_t CodePointAt(const QString& s, qsizetype i, qsizetype& outUnits)
{
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
    {
        outUnits = 2;
        return QChar::surrogateToUcs4(s[i], s[i + 1]);
    }
    outUnits = 1;
    return s[i].unicode();
}

// Whether a character and its accents go out as themselves, composed as FromQString composes them.
bool IsEncodable(const QString& s, qsizetype start, qsizetype length)
{
    if (length == 1 && UnicodeToMacRoman(s[start].unicode()) >= 0) return true;
    const QString composed = s.mid(start, length).normalized(QString::NormalizationForm_C);
    for (char32_t cp : composed.toUcs4())
        if (UnicodeToMacRoman(cp) < 0) return false;
    return true;
}
} // namespace

void AppendToQString(QString& out, const void* text, uint32_t length)
{
    if (!text || !length) return;
    // Every character of the set is one UTF-16 unit, so the text is built in place, byte by byte.
    // Protocol texts end lines with carriage returns; widgets expect line feeds.
    const auto* p = static_cast<const uint8_t*>(text);
    const qsizetype at = out.size();
    out.resize(at + qsizetype(length));
    QChar* to = out.data() + at;
    for (uint32_t i = 0; i < length; ++i)
        to[i] = p[i] == '\r' ? QChar('\n') : QChar(char16_t(MacRomanToUnicode(p[i])));
}

QString ToQString(const void* text, uint32_t length)
{
    QString s;
    AppendToQString(s, text, length);
    return s;
}

QString PStringToQString(const uint8_t* pstring)
{
    return pstring ? ToQString(pstring + 1, pstring[0]) : QString();
}

std::string FromQString(const QString& text)
{
    QString s = text.normalized(QString::NormalizationForm_C);
    s.replace(QChar('\n'), QChar('\r'));
    QByteArray utf8 = s.toUtf8();
    return Utf8ToMacRoman(utf8.constData(), size_t(utf8.size()));
}

uint8_t QStringToPString(const QString& text, uint8_t* outPString, uint8_t maxLength)
{
    const std::string bytes = FromQString(text);
    return UPString::SetBytes(outPString, uint32_t(maxLength) + 1, bytes.data(), uint32_t(bytes.size()));
}

std::vector<SUnencodable> FindUnencodable(const QString& text)
{
    std::vector<SUnencodable> found;
    for (qsizetype i = 0; i < text.size();)
    {
        // The fast way for what nearly every text is made of: ASCII not followed by an accent.
        if (text[i].unicode() < 0x80 && (i + 1 == text.size() || text[i + 1].unicode() < 0x80))
        {
            ++i;
            continue;
        }
        qsizetype units;
        CodePointAt(text, i, units);
        qsizetype end = i + units;
        while (end < text.size() && QChar::isMark(CodePointAt(text, end, units)))
            end += units;
        if (!IsEncodable(text, i, end - i)) found.push_back({i, end - i});
        i = end;
    }
    return found;
}
