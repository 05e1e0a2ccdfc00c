// The one place where the client's Mac OS Roman byte text meets Qt's Unicode strings.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

QString ToQString(const void* text, uint32_t length);
// From a length-prefixed string.
QString PStringToQString(const uint8_t* pstring);
std::string FromQString(const QString& text);
// Into a length-prefixed string of at most maxLength characters; returns the length stored.
uint8_t QStringToPString(const QString& text, uint8_t* outPString, uint8_t maxLength = 255);
