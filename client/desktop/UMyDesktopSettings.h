// The client's desktop settings: a small text file of its own in $XDG_CONFIG_HOME/Quenvol, kept apart
// from the preferences file, whose fixed layout other programs may read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SMyDesktopSettings
{
    // Notices on the desktop for messages, invitations, broadcasts and transfers.
    bool notifications = true;
    // Lines this version does not know (a later version's settings), written back as they were.
    std::vector<std::string> otherLines;
};

class UMyDesktopSettings
{
public:
    static const char kFileName[];
    // The file is read only up to this size; a larger one is somebody else's file.
    static constexpr uint32_t kMaxSize = 16 * 1024;

    // "key=value" lines; blank lines and lines starting with '#' are comments. A value the reader does
    // not understand leaves the setting at its default.
    static void Parse(const void* bytes, uint32_t size, SMyDesktopSettings& outSettings);
    static std::string Format(const SMyDesktopSettings& settings);

    // The defaults when the file is missing or unreadable; no error reaches the caller.
    static void Read(SMyDesktopSettings& outSettings);
    // Writes beside the old file and then replaces it, so that a failure leaves the old settings. The
    // error is passed on.
    static void Write(const SMyDesktopSettings& settings);
};
