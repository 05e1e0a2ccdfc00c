#include "client/boxes/USound.h"

#include <QApplication>
#include <cerrno>
#include <map>

#include "framework/runtime/FourCC.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"
#include "framework/runtime/URez.h"
#include "platform/AudioOutput.h"

namespace
{
constexpr uint32_t kTypeSound = FourCC("SOUN");
constexpr uint32_t kHeaderSize = 32;
bool gCanPlay = true;
bool gAvailable = true;
USound::EventHook gEventHook = nullptr;
// How many outputs play each sound resource now.
std::map<uint32_t, uint32_t> gPlayingByID;

// What a playing sound holds until its output reports the end.
struct SPlaying
{
    TRezObj* rez;
    THdlObj* handle;
    uint32_t id;
};

uint32_t ReadLong(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void SoundDone(void* ref)
{
    auto* playing = static_cast<SPlaying*>(ref);
    auto it = gPlayingByID.find(playing->id);
    if (it != gPlayingByID.end() && --it->second == 0) gPlayingByID.erase(it);
    UMemory::Unlock(playing->handle);
    URez::ReleaseItem(playing->rez, kTypeSound, playing->id);
    delete playing;
}
} // namespace

bool USound::Init()
{
    gAvailable = platform::HasAudioOutput();
    return gAvailable;
}

void USound::Beep()
{
    if (gEventHook) return gEventHook(kSoundBeep);
    QApplication::beep();
}

void USound::ReadHeader(const uint8_t* bytes, uint32_t size, SSoundHeader& outHeader)
{
    if (!bytes || size < kHeaderSize) Fail(kErrTypeGeneral, 9);
    if (ReadLong(bytes) != FourCC("NQSN")) Fail(kErrTypeGeneral, 8);
    if ((uint16_t(bytes[4]) << 8 | bytes[5]) != 1) Fail(kErrTypeGeneral, 7);
    if (ReadLong(bytes + 24) != 0) Fail(kErrTypeGeneral, 8);
    outHeader.channels = bytes[6];
    outHeader.bytesPerSample = bytes[7];
    outHeader.sampleRate = ReadLong(bytes + 8);
    outHeader.frames = ReadLong(bytes + 12);
    outHeader.dataSize = ReadLong(bytes + 28);
    if (outHeader.dataSize > size - kHeaderSize) Fail(kErrTypeGeneral, 9);
    const uint64_t needed = uint64_t(outHeader.frames) * outHeader.channels * outHeader.bytesPerSample;
    if (outHeader.dataSize < needed) Fail(kErrTypeGeneral, 9);
}

void USound::Play(TRezObj* rez, int16_t soundID, uint32_t)
{
    if (!gCanPlay || soundID == 0 || !gAvailable) return;
    const uint32_t id = uint32_t(uint16_t(soundID));
    if (!rez) rez = URez::SearchChain(kTypeSound, id);
    if (!rez || !URez::HasItem(rez, kTypeSound, id)) return;
    THdlObj* h = URez::LoadItem(rez, kTypeSound, id, true);
    if (!h) return;
    const uint32_t size = UMemory::GetSize(h);
    if (size < kHeaderSize)
    {
        DebugBreak("USound::Play - corrupt sound handle");
        URez::ReleaseItem(rez, kTypeSound, id);
        return;
    }
    // Locked for as long as it plays: the output reads the samples in place.
    const auto* bytes = static_cast<const uint8_t*>(UMemory::Lock(h));
    auto release = [&]
    {
        UMemory::Unlock(h);
        URez::ReleaseItem(rez, kTypeSound, id);
    };
    SSoundHeader header;
    try
    {
        ReadHeader(bytes, size, header);
        if (!header.channels || !header.sampleRate || !header.bytesPerSample) Fail(kErrTypeGeneral, 2);
    }
    catch (...)
    {
        release();
        throw;
    }
    if (!header.dataSize)
    {
        release(); // nothing to hear
        return;
    }
    auto* playing = new SPlaying{rez, h, id};
    const platform::SPcmFormat format{header.channels, header.sampleRate, header.bytesPerSample};
    // Counted before it starts, in case the output reports its end at once.
    ++gPlayingByID[id];
    if (!platform::PlayPcm(format, bytes + kHeaderSize, header.dataSize, SoundDone, playing))
    {
        auto it = gPlayingByID.find(id);
        if (--it->second == 0) gPlayingByID.erase(it);
        delete playing;
        release();
        FailOSError(ENODEV);
    }
}

void USound::PlayEvent(int16_t soundID, bool wanted)
{
    if (!wanted || !gCanPlay || soundID == 0) return;
    if (gEventHook) return gEventHook(soundID);
    if (!IsPlaying(soundID)) Play(nullptr, soundID, 0);
}

bool USound::IsPlaying(int16_t soundID)
{
    return gPlayingByID.count(uint32_t(uint16_t(soundID))) != 0;
}

void USound::SetEventHook(EventHook hook)
{
    gEventHook = hook;
}

void USound::SetCanPlay(bool canPlay)
{
    gCanPlay = canPlay;
}

bool USound::IsCanPlay()
{
    return gCanPlay;
}

bool USound::IsAvailable()
{
    return gAvailable;
}

uint32_t USound::GetPlayingCount()
{
    return platform::GetPlayingCount();
}

void USound::StopAll()
{
    platform::StopAllAudio();
}
