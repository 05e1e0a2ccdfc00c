// Event sounds from the resource data file, played without waiting; the system beep.
#pragma once

#include <cstdint>

struct TRezObj;

class USound
{
public:
    // False when the machine has no way to play sound; the program goes on without it.
    static bool Init();
    static void Beep();
    static void Play(TRezObj* rez, int16_t soundID, uint32_t options);
    static void SetCanPlay(bool canPlay);
    static bool IsCanPlay();
};
