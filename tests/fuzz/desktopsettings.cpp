// The desktop settings file as the disk holds it: read, written back and read again, it must give the
// same settings (the lines the reader keeps for a later version included, while the file stays within
// what is read of it).
#include <cstdint>
#include <cstdlib>

#include "client/core/UMyDesktopSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint32_t size32 = size > UINT32_MAX ? UINT32_MAX : uint32_t(size);
    SMySettings settings;
    UMyDesktopSettings::Parse(data, size32, settings);
    const std::string text = UMyDesktopSettings::Format(settings);
    SMySettings again;
    UMyDesktopSettings::Parse(text.data(), uint32_t(text.size()), again);
    if (again.desktopNotices != settings.desktopNotices) std::abort();
    if (text.size() <= UMyDesktopSettings::kMaxSize && again.desktopOtherLines != settings.desktopOtherLines)
        std::abort();
    return 0;
}
