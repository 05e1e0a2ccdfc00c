#include "client/desktop/UMyDesktopSettings.h"

#include <cstring>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "platform/Folders.h"

const char UMyDesktopSettings::kFileName[] = "desktop.conf";

namespace
{
const uint8_t kFileNameP[] = "\x0c"
                             "desktop.conf";
const char kNotifications[] = "notifications";

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// True with the value for the words a person would write in the file; false when it is none of them.
bool ParseSwitch(const std::string& value, bool& outOn)
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

TFileSysRefObj* ConfigFolder()
{
    std::string path;
    if (int err = platform::UserConfigFolder(path)) FailOSError(err);
    return UFileSys::NewFromNativePath(path.data(), uint32_t(path.size()));
}
} // namespace

void UMyDesktopSettings::Parse(const void* bytes, uint32_t size, SMyDesktopSettings& out)
{
    out = SMyDesktopSettings();
    const std::string text(static_cast<const char*>(bytes), size < kMaxSize ? size : kMaxSize);
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::string trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const size_t equals = trimmed.find('=');
        const std::string key = equals == std::string::npos ? trimmed : Trimmed(trimmed.substr(0, equals));
        if (key == kNotifications)
        {
            bool on;
            if (equals != std::string::npos && ParseSwitch(Trimmed(trimmed.substr(equals + 1)), on))
                out.notifications = on;
            continue;
        }
        // A NUL could not be written back as a line; such a line is nobody's setting.
        if (line.find('\0') == std::string::npos) out.otherLines.push_back(line);
    }
}

std::string UMyDesktopSettings::Format(const SMyDesktopSettings& settings)
{
    std::string text = "# Quenvol desktop settings\n";
    text += std::string(kNotifications) + "=" + (settings.notifications ? "true" : "false") + "\n";
    for (const std::string& line : settings.otherLines)
        text += line + "\n";
    return text;
}

void UMyDesktopSettings::Read(SMyDesktopSettings& out)
{
    out = SMyDesktopSettings();
    try
    {
        StFileSysRef folder(ConfigFolder());
        StFileSysRef file(UFileSys::New(folder.Get(), nullptr, kFileNameP));
        StFileOpener open(file.Get(), kFSPermRead);
        std::string bytes(kMaxSize, '\0');
        const uint32_t got = UFileSys::Read(file.Get(), 0, bytes.data(), kMaxSize);
        Parse(bytes.data(), got, out);
    }
    catch (const SError&)
    {
        out = SMyDesktopSettings();
    }
}

void UMyDesktopSettings::Write(const SMyDesktopSettings& settings)
{
    const std::string text = Format(settings);
    StFileSysRef folder(ConfigFolder());
    UFileSys::SaveSafely(folder.Get(), kFileNameP, FourCC("TEXT"), FourCC("QVLC"),
                         [&](TFileSysRefObj* file)
                         { UFileSys::Write(file, 0, text.data(), uint32_t(text.size())); });
}
