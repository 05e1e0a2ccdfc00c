// Sound output: one buffer of PCM samples played on its own output, without waiting. Several may play
// at once. The end of each is reported on the main thread through the run loop's event delivery.
#pragma once

#include <cstdint>

namespace platform
{
struct SPcmFormat
{
    uint16_t channels;
    uint32_t sampleRate;
    uint16_t bytesPerSample; // 1: unsigned 8-bit, 2: signed 16-bit in the machine's byte order
};

// Called once when a buffer has played out, was stopped, or the device failed while it played.
using AudioDoneProc = void (*)(void* ref);

// Whether the machine has an audio output device now.
bool HasAudioOutput();
// Starts playing `size` bytes at `data`, which must stay valid until `done` is called. Returns false
// (and calls nothing) when no output could be opened for the format.
bool PlayPcm(const SPcmFormat& format, const void* data, uint32_t size, AudioDoneProc done, void* ref);
// How many buffers are playing.
uint32_t GetPlayingCount();
// Stops every output; each one's `done` is called before this returns.
void StopAllAudio();
} // namespace platform
