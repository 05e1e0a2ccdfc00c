// The main window's arrangement between runs: its place on the screen and where its panes and toolbar
// sit, as two opaque blocks that the window toolkit makes and reads. They live in a file of their own in
// $XDG_CONFIG_HOME/Quenvol, beside the desktop settings, so that a damaged or foreign file costs only
// the arrangement.
#pragma once

#include <cstdint>
#include <string>

struct SMyWindowLayout
{
    std::string geometry;
    std::string state;
};

class UMyLayoutFile
{
public:
    static const char kFileName[];
    // Each block is at most this long; a longer one is not ours.
    static constexpr uint32_t kMaxBlock = 64 * 1024;

    // "QVLY", a 16-bit version, then each block as a 32-bit big-endian length and its bytes.
    static std::string Format(const SMyWindowLayout& layout);
    // False, with `outLayout` emptied, for anything but a whole file of this version.
    static bool Parse(const void* bytes, uint32_t size, SMyWindowLayout& outLayout);

    // False when there is no usable file; no error reaches the caller.
    static bool Read(SMyWindowLayout& outLayout);
    // Writes beside the old file and then replaces it. The error is passed on.
    static void Write(const SMyWindowLayout& layout);
};
