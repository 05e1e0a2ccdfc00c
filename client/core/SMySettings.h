// The user's settings: every option of the client, declared once. The preferences file keeps the first
// group in its fixed block (whose layout other programs read, so it never changes); the options dialog
// edits the whole record; everyone else reads it.
//
// Settings that the preferences file has no room for live in the desktop settings file, one
// "key=value" line each. Such a setting is one line of MY_DESKTOP_SETTINGS:
//     X(type, member, "key in the file", default, "title in the options dialog", page of the dialog)
// with a type of bool, uint32_t or std::string; the record's member, the file's reading and writing and
// the dialog's control and the page it is on all follow from that line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/core/SMyColorInfo.h"
#include "client/core/SMySoundPrefs.h"

// How the windows are laid out: one main window holding the panes and tabs, or each window on its own. The
// file says "main" or "separate"; the options dialog shows it as a switch.
enum class EMyLayout : uint8_t
{
    kMain,
    kSeparate,
};

// Where finished downloads go. The file says "desktop" for the desktop's download folder (the user's
// folder settings, usually ~/Downloads), "program" for the program's own folder ("Leeched Goods" there
// when the user made one, else "Downloads"), or the path of a folder the user chose.
struct SMyDownloadFolder
{
    enum EPlace : uint8_t
    {
        kDesktop,
        kProgram,
        kChosen,
    };
    EPlace place = kDesktop;
    std::string path; // kChosen only: absolute
    bool operator==(const SMyDownloadFolder&) const = default;
};

// The page of the options dialog that shows a desktop setting; kMyPageNone for what the program
// remembers for itself in the file and the user never sets.
enum EMyOptionsPage : uint8_t
{
    kMyPageAdvanced,
    kMyPageTransfers,
    kMyPageNone,
};

#define MY_DESKTOP_SETTINGS(X)                                                                               \
    X(bool, desktopNotices, "notifications", true, "Desktop notifications in the background",                \
      kMyPageAdvanced)                                                                                       \
    X(bool, reconnect, "reconnect", true, "Reconnect when the connection is lost", kMyPageAdvanced)          \
    X(uint32_t, scrollback, "scrollback", 10000, "Chat and news lines:", kMyPageAdvanced)                    \
    X(bool, chatTimeStamps, "chat-time-stamps", false, "Time stamps in chat", kMyPageAdvanced)               \
    X(bool, chatMentions, "chat-mentions", true, "Highlight chat lines that name me", kMyPageAdvanced)       \
    X(std::string, chatMentionWords, "chat-mention-words", "", "Also highlight:", kMyPageAdvanced)           \
    X(bool, chatLogs, "chat-logs", true, "Keep chat logs", kMyPageAdvanced)                                  \
    X(bool, chatReplay, "chat-replay", false, "Show the last logged lines when the chat opens",              \
      kMyPageAdvanced)                                                                                       \
    X(EMyLayout, layout, "layout", EMyLayout::kMain, "Separate windows", kMyPageAdvanced)                    \
    X(bool, keepInTray, "keep-in-tray", false, "Keep running in the tray when the main window closes",       \
      kMyPageAdvanced)                                                                                       \
    X(std::string, uploadFolder, "upload-folder", "", "Upload dialogs open in:", kMyPageTransfers)           \
    X(SMyDownloadFolder, downloadFolder, "download-folder", SMyDownloadFolder{},                             \
      "Download to:", kMyPageTransfers)                                                                      \
    X(uint32_t, downloadLimit, "download-limit", 0, "Download limit, KB/s:", kMyPageTransfers)               \
    X(uint32_t, uploadLimit, "upload-limit", 0, "Upload limit, KB/s:", kMyPageTransfers)                     \
    X(uint32_t, transfersAtOnce, "transfers-at-once", 0, "Transfers at once:", kMyPageTransfers)             \
    X(bool, soundMissingTold, "sound-missing-told", false, "", kMyPageNone)

struct SMySettings
{
    static constexpr uint16_t kDefaultIcon = 414;
    // The lines a chat or news view keeps. Fewer than a window shows would make a conversation
    // unreadable; past the ceiling a client left running in a busy chat would hold hundreds of megabytes
    // of text. A figure outside the range, typed or found in the file, is taken as the nearest end.
    static constexpr uint32_t kMinScrollback = 100;
    static constexpr uint32_t kMaxScrollback = 1000000;
    static uint32_t BoundScrollback(uint32_t lines)
    {
        return lines < kMinScrollback ? kMinScrollback : lines > kMaxScrollback ? kMaxScrollback : lines;
    }

    // Length-prefixed texts.
    uint8_t userName[32] = {};
    uint16_t iconID = kDefaultIcon;
    // The SOCKS firewall as typed ("host" or "host:port"); empty for none.
    uint8_t firewall[128] = {};
    SMySoundPrefs sound = kAllSoundsOn;
    bool showPrivMsgAtBack = false;
    bool queueTransfers = true;
    bool showJoinLeaveInChat = true;
    bool refusePrivateMsg = false;
    bool refusePrivateChat = false;
    bool automaticResponse = false;
    uint8_t automaticResponseText[128] = {};
    SMyColorInfo colorChat = kDefaultColorInfo;
    SMyColorInfo colorNews = kDefaultColorInfo;

#define MY_DECLARE_SETTING(type, member, key, value, title, page) type member = value;
    MY_DESKTOP_SETTINGS(MY_DECLARE_SETTING)
#undef MY_DECLARE_SETTING
    // Lines of the desktop settings file that this version does not know (a later version's settings),
    // written back as they were.
    std::vector<std::string> desktopOtherLines;
};
