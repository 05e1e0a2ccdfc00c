#include "client/USound.h"

#include <QApplication>

namespace
{
bool gCanPlay = true;
}

// Audio output arrives with the sounds themselves; until then every sound is silent and nothing fails.
bool USound::Init()
{
    return true;
}

void USound::Beep()
{
    QApplication::beep();
}

void USound::Play(TRezObj*, int16_t soundID, uint32_t)
{
    if (!gCanPlay || soundID == 0) return;
}

void USound::SetCanPlay(bool canPlay)
{
    gCanPlay = canPlay;
}

bool USound::IsCanPlay()
{
    return gCanPlay;
}
