// What the sound module offers. Playing sound needs Qt Multimedia and, below it, a sound server's client
// libraries: about a dozen shared libraries that would otherwise be loaded (and relocated) at every start,
// though most sessions play no sound at all or only much later. They live in a module of their own that
// AudioOutput loads on first use.
#pragma once

#include <cstdint>

#include "platform/AudioOutput.h"

namespace platform
{
struct SAudioModule
{
    // Raised whenever the table changes shape: a module left over from another build is not used.
    static constexpr uint32_t kVersion = 1;
    uint32_t version;
    bool (*hasOutput)();
    bool (*play)(const SPcmFormat& format, const void* data, uint32_t size, AudioDoneProc done, void* ref);
    uint32_t (*playingCount)();
    void (*stopAll)();
};
} // namespace platform

// The module's one exported symbol.
extern "C" const platform::SAudioModule* QuenvolAudioModule();
inline constexpr const char* kQuenvolAudioModuleSymbol = "QuenvolAudioModule";
