// Which event sounds play; each sound also needs playSounds.
#pragma once

#include <cstdint>

struct SMySoundPrefs
{
    uint32_t playSounds : 1;
    uint32_t chat : 1;
    uint32_t news : 1;
    uint32_t fileTransfer : 1;
    uint32_t privMsg : 1;
    uint32_t join : 1;
    uint32_t leave : 1;
    uint32_t login : 1;
    uint32_t error : 1;
    uint32_t chatInvite : 1;
};

// Every sound on: what a first run plays.
constexpr SMySoundPrefs kAllSoundsOn = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// Sound resource numbers of the events.
enum : int16_t
{
    kSoundNews = 128,
    kSoundChat = 129,
    kSoundJoin = 130,
    kSoundLeave = 131,
    kSoundPrivMsg = 132,
    kSoundLogin = 133,
    kSoundError = 134,
    kSoundFileTransfer = 135,
    kSoundChatInvite = 136,
};
