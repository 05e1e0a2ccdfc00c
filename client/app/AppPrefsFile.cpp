// What the application keeps between runs: the preferences file (the window places, the settings it has
// room for, the totals and the tracker controller's block) and the desktop settings file.
#include <random>

#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/core/UMyDesktopSettings.h"
#include "client/core/UMyPrefsFile.h"
#include "client/tracker/CMyTracker.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/UPString.h"

namespace
{
constexpr char kUnnamed[] = "unnamed";

uint32_t Random32()
{
    static std::mt19937 generator{std::random_device{}()};
    return uint32_t(generator());
}
} // namespace

void CMyApplication::ReadPrefs(SMyPrefs* outPrefs)
{
    SMyPrefs p;
    p.settings = mSettings;
    p.totals = mStatistics;
    const bool usable = UMyPrefsFile::Read(kFSProgramFolder, p,
                                           [this](TFileSysRefObj* file, uint32_t offset)
                                           {
                                               if (mFeatures.Tracker())
                                                   mFeatures.Tracker()->ReadPrefs(file, offset);
                                           });
    if (!usable)
    {
        // A missing, short or outdated file: the settings of a first run, without a word.
        p.settings.iconID = SMySettings::kDefaultIcon;
        UPString::SetText(p.settings.userName, kUnnamed);
        p.totals = SMyStatistics{0, 0, 0, 0, mStatistics.isLeechMode};
        p.settings.colorChat = kDefaultColorInfo;
        p.settings.colorNews = kDefaultColorInfo;
    }
    UMyDesktopSettings::Read(p.settings);
    mSettings = p.settings;
    mStatistics = p.totals;
    // Sizes edited into the file by hand are held to what the windows can show.
    SetChatColor(mSettings.colorChat);
    SetNewsColor(mSettings.colorNews);
    if (USound::IsAvailable()) USound::SetCanPlay(mSettings.sound.playSounds);
    if (outPrefs)
    {
        *outPrefs = p;
        outPrefs->settings = mSettings;
    }
}

void CMyApplication::WritePrefs()
{
    // Without sound output the switch cannot be read from it; the user's choice is kept as it was.
    if (USound::IsAvailable()) mSettings.sound.playSounds = USound::IsCanPlay();
    SMyPrefs p;
    p.settings = mSettings;
    p.totals = mStatistics;
    p.iconRand1 = uint16_t(Random32());
    p.iconRand2 = Random32();
    mWindows.GetPlaces(p);
    UMyPrefsFile::Write(kFSProgramFolder, p,
                        [this](TFileSysRefObj* file, uint32_t offset)
                        {
                            if (mFeatures.Tracker()) mFeatures.Tracker()->WritePrefs(file, offset);
                        });
    mWindows.SaveArrangement();
}
