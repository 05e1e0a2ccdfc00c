// The client's desktop settings file: a small text file of its own in $XDG_CONFIG_HOME/Quenvol, one
// "key=value" line for each setting of MY_DESKTOP_SETTINGS (SMySettings.h), kept apart from the
// preferences file, whose fixed layout other programs may read.
#pragma once

#include <cstdint>
#include <string>

#include "client/core/SMySettings.h"

class UMyDesktopSettings
{
public:
    static const char kFileName[];
    // The file is read only up to this size; a larger one is somebody else's file.
    static constexpr uint32_t kMaxSize = 16 * 1024;

    // "key=value" lines; blank lines and lines starting with '#' are comments. The desktop settings
    // start at their defaults, and a value the reader does not understand leaves its setting there. The
    // other settings of the record are not touched.
    static void Parse(const void* bytes, uint32_t size, SMySettings& ioSettings);
    static std::string Format(const SMySettings& settings);

    // A setting's value as the file has it. A switch is one of the words a person would write (true,
    // on, yes, 1 and their opposites), a number its decimal digits, a text the rest of the line. False,
    // with the value untouched, when the text is none of these.
    static bool ParseValue(const std::string& text, bool& outOn);
    static bool ParseValue(const std::string& text, uint32_t& outNumber);
    static bool ParseValue(const std::string& text, std::string& outText);
    // "main" or "separate".
    static bool ParseValue(const std::string& text, EMyLayout& outLayout);
    static std::string FormatValue(EMyLayout layout);
    // "desktop", "program" or an absolute path.
    static bool ParseValue(const std::string& text, SMyDownloadFolder& outFolder);
    static std::string FormatValue(const SMyDownloadFolder& folder);
    static std::string FormatValue(bool on);
    static std::string FormatValue(uint32_t number);
    static std::string FormatValue(const std::string& text);

    // A file of the client's own folder in $XDG_CONFIG_HOME (the folder made when missing), read up to
    // `maxSize` bytes, or written beside the old one and then put in its place. Errors are passed on.
    static std::string ReadConfigFile(const uint8_t* name, uint32_t maxSize);
    static void WriteConfigFile(const uint8_t* name, const std::string& text);

    // The defaults when the file is missing or unreadable; no error reaches the caller.
    static void Read(SMySettings& ioSettings);
    // Writes beside the old file and then replaces it, so that a failure leaves the old settings. The
    // error is passed on.
    static void Write(const SMySettings& settings);
};
