// The one place where the client's Mac OS Roman byte text meets Qt's Unicode strings.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

QString ToQString(const void* text, uint32_t length);
// The same, added to the end of `out` without a string in between (a chat appends every line it shows).
void AppendToQString(QString& out, const void* text, uint32_t length);
// From a length-prefixed string.
QString PStringToQString(const uint8_t* pstring);
// A character the client's character set lacks becomes '?'. Letters typed or pasted as a base letter and
// a combining accent are composed first, so that they go as the one accented letter they show.
std::string FromQString(const QString& text);
// Into a length-prefixed string of at most maxLength characters; returns the length stored.
uint8_t QStringToPString(const QString& text, uint8_t* outPString, uint8_t maxLength = 255);

// Where FromQString would put a '?': each range (start, length, in UTF-16 units) is one character with
// the accents that follow it, in text order.
struct SUnencodable
{
    qsizetype start;
    qsizetype length;
};
std::vector<SUnencodable> FindUnencodable(const QString& text);
