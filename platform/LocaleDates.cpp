#include "platform/LocaleDates.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace platform
{
namespace
{
// Removes every run of `letter` outside quoted literals from a Qt date-time format, together with the
// separator before it (or after it, when it leads), so "HH:mm:ss" without 's' is "HH:mm".
QString RemoveField(const QString& format, QChar letter, bool blanksOnly)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i)
    {
        QChar c = format[i];
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == letter)
        {
            while (i + 1 < format.size() && format[i + 1] == letter)
                ++i;
            auto isSeparator = [&](QChar s)
            { return blanksOnly ? s.isSpace() : !s.isLetterOrNumber() && s != QLatin1Char('\''); };
            qsizetype kept = out.size();
            while (kept > 0 && isSeparator(out[kept - 1]))
                --kept;
            if (kept == 0)
            {
                while (i + 1 < format.size() && isSeparator(format[i + 1]))
                    ++i;
            }
            out.truncate(kept);
            continue;
        }
        out += c;
    }
    return out;
}

bool HasField(const QString& format, QChar letter)
{
    bool quoted = false;
    for (QChar c : format)
    {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == letter)
            return true;
    }
    return false;
}

// The long time form is the one with seconds, but it also names the time zone, which means nothing for
// the zone-less stamps the client shows.
QString TimeFormat(const QLocale& locale, bool withSeconds)
{
    if (withSeconds)
    {
        QString format = RemoveField(locale.timeFormat(QLocale::LongFormat), QLatin1Char('t'), true);
        format.remove(QLatin1String("()"));
        return format.trimmed();
    }
    QString format = locale.timeFormat(QLocale::ShortFormat);
    return HasField(format, QLatin1Char('s')) ? RemoveField(format, QLatin1Char('s'), false) : format;
}

// The client's texts are 8-bit: invisible direction marks are dropped and the narrow spaces that newer
// locale data puts before AM/PM become blanks, instead of turning into replacement characters later.
std::string ToPlainUtf8(QString text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
    {
        if (c.category() == QChar::Other_Format) continue;
        out += c == QChar(0x202F) || c == QChar(0x2009) ? QLatin1Char(' ') : c;
    }
    return out.toStdString();
}
} // namespace

std::string LocaleDateText(int year, int month, int day, DateStyle style)
{
    QDate date(year, month, day);
    if (!date.isValid()) return {};
    QLocale locale = QLocale::system();
    QString text;
    switch (style)
    {
    case DateStyle::Short:
        text = locale.toString(date, QLocale::ShortFormat);
        break;
    case DateStyle::Long:
        text = locale.toString(date, QLocale::LongFormat);
        break;
    case DateStyle::WeekdayMonthDayYear:
        text = locale.toString(date, QStringLiteral("ddd',' MMM d',' yyyy"));
        break;
    }
    return ToPlainUtf8(text);
}

std::string LocaleTimeText(int hour, int minute, int second, bool withSeconds)
{
    QTime time(hour, minute, second);
    if (!time.isValid()) return {};
    // Every chat line asks for its time: the formats are worked out once, the system's locale being the
    // one the program started with.
    static const QLocale locale = QLocale::system();
    static const QString formats[2] = {TimeFormat(locale, false), TimeFormat(locale, true)};
    return ToPlainUtf8(locale.toString(time, formats[withSeconds ? 1 : 0]));
}

LocalDateTime CurrentLocalDateTime(int64_t laterByMs)
{
    QDateTime now;
    if (laterByMs == 0)
    {
        // The local time asks the system for the zone, and the C library reads the zone file again on
        // every such question: every chat line and log line did it. The offset from universal time is
        // asked for once a minute instead, so a change of summer time shows at most a minute late.
        static qint64 offsetAskedAtMs = 0;
        static int offsetSecs = 0;
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        const qint64 nowMs = utc.toMSecsSinceEpoch();
        if (offsetAskedAtMs == 0 || nowMs - offsetAskedAtMs >= 60000 || nowMs < offsetAskedAtMs)
        {
            offsetSecs = QDateTime::currentDateTime().offsetFromUtc();
            offsetAskedAtMs = nowMs;
        }
        now = utc.addSecs(offsetSecs);
    }
    else
        now = QDateTime::currentDateTime().addMSecs(laterByMs);
    QDate date = now.date();
    QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}
} // namespace platform
