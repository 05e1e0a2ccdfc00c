// The preferences file "Quenvol Prefs": the fixed block of 788 little-endian bytes, then the tracker
// block, which its own code reads and writes through the procedures given here.
#pragma once

#include <cstdint>
#include <functional>

#include "client/core/SMyPrefs.h"

struct TFileSysRefObj;

class UMyPrefsFile
{
public:
    static constexpr uint32_t kFixedSize = 788;
    static constexpr uint16_t kVersion = 7;
    // The firewall text is kept to this many characters (its field less the length byte).
    static constexpr uint8_t kMaxFirewall = sizeof(SMySettings::firewall) - 1;
    // Length-prefixed.
    static const uint8_t kFileName[];

    // The window places a missing or unreadable file leaves: the toolbar, tasks, news, chat and online
    // users windows visible and no saved rectangles. The settings and totals are not touched.
    static void SetDefaults(SMyPrefs& prefs);
    // outBytes holds kFixedSize bytes. The reserved fields and the unused option bits are written as 0;
    // the icon is sealed with the record's two random numbers.
    static void Encode(const SMyPrefs& prefs, uint8_t* outBytes);
    // False, with the record untouched, when there are fewer than kFixedSize bytes or the version is not
    // 7. Texts whose length byte runs past their field are cut to the field; an icon whose seal does not
    // match is the default icon. The settings the block does not hold keep their values.
    static bool Decode(const void* bytes, uint32_t size, SMyPrefs& ioPrefs);

    static uint32_t SoundToBits(const SMySoundPrefs& sound);
    static SMySoundPrefs SoundFromBits(uint32_t bits);

    // The tracker block at `offset` of the open file; the reader may meet anything there.
    using TrackerProc = std::function<void(TFileSysRefObj* file, uint32_t offset)>;

    // Reads the file in `folder` (a folder reference or special folder). False, with the default window
    // places, when the file is missing or its fixed block unusable; no error reaches the caller. The
    // tracker block is read whenever the fixed block could be, and a failure in it loses only the
    // trackers.
    static bool Read(TFileSysRefObj* folder, SMyPrefs& ioPrefs, const TrackerProc& readTracker);
    // Writes the whole file under a temporary name beside it and only then puts it in place of the old
    // one, so that a failure part way (a full disk, a failing tracker block) leaves the old settings as
    // they were. The error is passed on.
    static void Write(TFileSysRefObj* folder, const SMyPrefs& prefs, const TrackerProc& writeTracker);
};
