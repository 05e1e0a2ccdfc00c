// Event sounds from the resource data file, played without waiting (several at once); the system beep.
#pragma once

#include <cstdint>

struct TRezObj;

// The 32-byte header of a 'SOUN' resource ("NQSN", version 1, uncompressed PCM).
struct SSoundHeader
{
    uint16_t channels;
    uint16_t bytesPerSample;
    uint32_t sampleRate;
    uint32_t frames;
    uint32_t dataSize; // the sample bytes that follow the header
};

class USound
{
public:
    // False when the machine has no audio output; the program goes on without sound and every Play
    // is then silent.
    static bool Init();
    static void Beep();
    // Starts playing sound resource `soundID` (from `rez`, or the search chain when null) and returns at
    // once. Does nothing when sounds are switched off, the number is 0 or there is no such sound. A
    // damaged sound or a device that cannot be opened raises.
    static void Play(TRezObj* rez, int16_t soundID, uint32_t options);
    // An event sound (news, chat, join…) that the user can switch off one by one: plays only when
    // `wanted` (the event's own switch) is set; the master switch is SetCanPlay. An event sound that is
    // still playing is not started again, so that a burst of events (thousands of users joining at
    // once) is heard once instead of opening an output for each.
    static void PlayEvent(int16_t soundID, bool wanted);
    // Whether that sound resource is playing now.
    static bool IsPlaying(int16_t soundID);
    // Tests hear event sounds through a hook instead of the speakers: it gets every event sound that
    // PlayEvent would start, and the beep as kSoundBeep, on any machine. Null plays them again.
    static constexpr int16_t kSoundBeep = 1;
    using EventHook = void (*)(int16_t soundID);
    static void SetEventHook(EventHook hook);
    static void SetCanPlay(bool canPlay);
    static bool IsCanPlay();
    // Whether Init found an audio output.
    static bool IsAvailable();
    // Sounds still playing, and stopping them all (the resources are released).
    static uint32_t GetPlayingCount();
    static void StopAll();

    // Checks a resource body of `size` bytes; raises 1/8 (signature or compression), 1/7 (version),
    // 1/9 (too short for its samples). Bodies under 32 bytes are the caller's to reject first.
    static void ReadHeader(const uint8_t* bytes, uint32_t size, SSoundHeader& outHeader);
};
