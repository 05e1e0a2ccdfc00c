#include "platform/AudioOutput.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/AudioModule.h"
#include "platform/FileSystem.h"
#include "platform/Folders.h"

namespace platform
{
namespace
{
const SAudioModule* Load()
{
    // Beside the program in a build folder; in the library folder of an installed one.
    const std::string folder = ProgramFolder();
    for (const std::string& path :
         {folder + "/quenvol-audio.so", folder + "/" QUENVOL_AUDIO_MODULE_FOLDER "/quenvol-audio.so"})
    {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) continue;
        // Never closed: outputs it made may still report their end through the run loop.
        auto entry = reinterpret_cast<const SAudioModule* (*)()>(dlsym(handle, kQuenvolAudioModuleSymbol));
        const SAudioModule* module = entry ? entry() : nullptr;
        if (module && module->version == SAudioModule::kVersion) return module;
    }
    return nullptr;
}

const SAudioModule* gModule = nullptr;
bool gTriedLoad = false;

const SAudioModule* Module()
{
    if (!gTriedLoad)
    {
        gTriedLoad = true;
        gModule = Load();
    }
    return gModule;
}

// Whether a sound server is there to play through, without loading the sound module: the server's
// socket in the session's runtime folder or the system's, or an address the user gave it.
bool SoundServerReachable()
{
    const char* server = std::getenv("PULSE_SERVER");
    if (server && *server) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime && *runtime ? runtime : "/run/user/" + std::to_string(getuid());
    return IsSocket(folder + "/pulse/native") || IsSocket("/run/pulse/native") ||
           IsSocket("/var/run/pulse/native");
}
} // namespace

bool HasAudioOutput()
{
    // Once the module is there it knows the device; before, the server's presence answers, and the module
    // waits for the first sound (a server without any output then fails that sound, quietly).
    if (gModule) return gModule->hasOutput();
    return SoundServerReachable();
}

bool PlayPcm(const SPcmFormat& format, const void* data, uint32_t size, AudioDoneProc done, void* ref)
{
    const SAudioModule* module = Module();
    return module && module->play(format, data, size, done, ref);
}

uint32_t GetPlayingCount()
{
    return gModule ? gModule->playingCount() : 0;
}

void StopAllAudio()
{
    if (gModule) gModule->stopAll();
}
} // namespace platform
