#include "client/core/UMyDesktopSettings.h"

#include <charconv>
#include <cstring>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UText.h"
#include "platform/Folders.h"

const char UMyDesktopSettings::kFileName[] = "desktop.conf";

namespace
{
const uint8_t kFileNameP[] = "\x0c"
                             "desktop.conf";

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

TFileSysRefObj* ConfigFolder()
{
    std::string path;
    if (int err = platform::UserConfigFolder(path)) FailOSError(err);
    return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
}
} // namespace

bool UMyDesktopSettings::ParseValue(const std::string& value, bool& outOn)
{
    for (const char* on : {"true", "on", "yes", "1"})
        if (value == on) return outOn = true;
    for (const char* off : {"false", "off", "no", "0"})
        if (value == off)
        {
            outOn = false;
            return true;
        }
    return false;
}

bool UMyDesktopSettings::ParseValue(const std::string& value, uint32_t& outNumber)
{
    uint32_t number = 0;
    const char* end = value.data() + value.size();
    const auto [at, error] = std::from_chars(value.data(), end, number);
    if (error != std::errc() || at != end) return false;
    outNumber = number;
    return true;
}

bool UMyDesktopSettings::ParseValue(const std::string& value, std::string& outText)
{
    outText = value;
    return true;
}

bool UMyDesktopSettings::ParseValue(const std::string& value, EMyLayout& outLayout)
{
    if (value == "main")
        outLayout = EMyLayout::kMain;
    else if (value == "separate")
        outLayout = EMyLayout::kSeparate;
    else
        return false;
    return true;
}

std::string UMyDesktopSettings::FormatValue(EMyLayout layout)
{
    return layout == EMyLayout::kSeparate ? "separate" : "main";
}

bool UMyDesktopSettings::ParseValue(const std::string& value, SMyDownloadFolder& outFolder)
{
    if (value == "desktop")
        outFolder = SMyDownloadFolder{};
    else if (value == "program")
        outFolder = SMyDownloadFolder{SMyDownloadFolder::kProgram, std::string()};
    else if (!value.empty() && value[0] == '/' && value.find('\0') == std::string::npos)
        outFolder = SMyDownloadFolder{SMyDownloadFolder::kChosen, value};
    else
        return false;
    return true;
}

std::string UMyDesktopSettings::FormatValue(const SMyDownloadFolder& folder)
{
    switch (folder.place)
    {
    case SMyDownloadFolder::kProgram:
        return "program";
    case SMyDownloadFolder::kChosen:
        // A path that would not read back as the same one line is not written.
        if (!folder.path.empty() && folder.path[0] == '/' &&
            folder.path.find_first_of(std::string("\r\n\0", 3)) == std::string::npos &&
            Trimmed(folder.path) == folder.path)
            return folder.path;
        break;
    case SMyDownloadFolder::kDesktop:
        break;
    }
    return "desktop";
}

std::string UMyDesktopSettings::FormatValue(bool on)
{
    return on ? "true" : "false";
}

std::string UMyDesktopSettings::FormatValue(uint32_t number)
{
    return std::to_string(number);
}

std::string UMyDesktopSettings::FormatValue(const std::string& text)
{
    return text;
}

void UMyDesktopSettings::Parse(const void* bytes, uint32_t size, SMySettings& ioSettings)
{
    const SMySettings defaults;
#define MY_RESET_SETTING(type, member, key, value, title, page) ioSettings.member = defaults.member;
    MY_DESKTOP_SETTINGS(MY_RESET_SETTING)
#undef MY_RESET_SETTING
    ioSettings.desktopOtherLines.clear();
    const std::string text(static_cast<const char*>(bytes), size < kMaxSize ? size : kMaxSize);
    for (const std::string& line : UText::SplitLines(text))
    {
        const std::string trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const size_t equals = trimmed.find('=');
        const std::string key = equals == std::string::npos ? trimmed : Trimmed(trimmed.substr(0, equals));
        const std::string value =
            equals == std::string::npos ? std::string() : Trimmed(trimmed.substr(equals + 1));
        // A known key without a value, or with one that cannot be read, keeps its setting as it is.
#define MY_PARSE_SETTING(type, member, name, initial, title, page)                                           \
    if (key == name)                                                                                         \
    {                                                                                                        \
        if (equals != std::string::npos) ParseValue(value, ioSettings.member);                               \
        continue;                                                                                            \
    }
        MY_DESKTOP_SETTINGS(MY_PARSE_SETTING)
#undef MY_PARSE_SETTING
        // A NUL could not be written back as a line; such a line is nobody's setting.
        if (line.find('\0') == std::string::npos) ioSettings.desktopOtherLines.push_back(line);
    }
    ioSettings.scrollback = SMySettings::BoundScrollback(ioSettings.scrollback);
}

std::string UMyDesktopSettings::Format(const SMySettings& settings)
{
    std::string text = "# Quenvol desktop settings\n";
#define MY_FORMAT_SETTING(type, member, key, value, title, page)                                             \
    text += std::string(key) + "=" + FormatValue(settings.member) + "\n";
    MY_DESKTOP_SETTINGS(MY_FORMAT_SETTING)
#undef MY_FORMAT_SETTING
    for (const std::string& line : settings.desktopOtherLines)
        text += line + "\n";
    return text;
}

std::string UMyDesktopSettings::ReadConfigFile(const uint8_t* name, uint32_t maxSize)
{
    StFileSysRef folder(ConfigFolder());
    StFileSysRef file(UFileSys::New(folder.Get(), nullptr, name));
    StFileOpener open(file.Get(), kFSPermRead);
    std::string bytes(maxSize, '\0');
    bytes.resize(UFileSys::Read(file.Get(), 0, bytes.data(), maxSize));
    return bytes;
}

void UMyDesktopSettings::WriteConfigFile(const uint8_t* name, const std::string& text)
{
    StFileSysRef folder(ConfigFolder());
    UFileSys::SaveSafely(folder.Get(), name, FourCC("TEXT"), FourCC("QVLC"),
                         [&](TFileSysRefObj* file)
                         { UFileSys::Write(file, 0, text.data(), uint32_t(text.size())); });
}

void UMyDesktopSettings::Read(SMySettings& ioSettings)
{
    try
    {
        const std::string bytes = ReadConfigFile(kFileNameP, kMaxSize);
        Parse(bytes.data(), uint32_t(bytes.size()), ioSettings);
    }
    catch (const SError&)
    {
        Parse("", 0, ioSettings);
    }
}

void UMyDesktopSettings::Write(const SMySettings& settings)
{
    WriteConfigFile(kFileNameP, Format(settings));
}
