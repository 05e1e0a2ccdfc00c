// The tracker controller: the user's trackers and their window, the merged list of servers the trackers
// reported and its window, the search over it, the account dialog and server information windows, and
// the tracker block of the preferences. One instance, owned by the application for the whole run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "client/core/TrackerRecords.h"
#include "framework/runtime/COwner.h"
#include "framework/runtime/UTimer.h"

class CWindow;
class CInfoWindow;
class CMyServersWindow;
class CServersList;
class CTrackersList;
class CTrackersListWin;
struct SHitMsgData;
struct TFileSysRefObj;
struct TTimerObj;

class CMyTracker
{
public:
    static constexpr uint32_t kSearchDelayMs = 1000;
    static constexpr uint32_t kAccountDialogID = 128;

    CMyTracker();
    ~CMyTracker();
    CMyTracker(const CMyTracker&) = delete;
    CMyTracker& operator=(const CMyTracker&) = delete;

    // Every window hit is offered here first; true when it was one of the tracker's.
    bool WindowHit(CWindow* window, const SHitMsgData& hit);
    // The close box of one of the tracker's windows; true when it took the window.
    bool CloseWindow(CWindow* window);
    // Shows the servers window (or brings it to the front) and queries the trackers anew.
    void ShowServersWindow();
    void ShowTrackersWindow();

    // The servers. Texts are as received; the address is four bytes in network order.
    void AddServer(const std::string& name, const std::string& desc, const uint8_t* address, uint16_t port,
                   uint16_t users, uint16_t flags);
    bool IsInList(const uint8_t* address, uint16_t port) const;
    // What a listing task reports for the tracker entry with that id; an id no entry has (one removed
    // while its query ran) changes nothing.
    void SetTotalServerCount(int16_t trackID, uint32_t total);
    // Parses server records; returns how many, those already listed included.
    uint32_t AddListFromData(int16_t trackID, const uint8_t* data, uint32_t size);
    void ConnectionRefused(int16_t trackID);
    void SetServerCountLabel();
    // Rebuilds the shown list from the search field's text, or from the given text.
    void FilterServerList();
    void FilterServerList(const std::string& text);
    static bool FilterServer(const std::string& text, const STrackInfo& server);
    // Empties the server list and marks the ticked trackers "Connecting...".
    void Reset();
    // A refresh: Reset, then one listing task per ticked tracker, from the last entry to the first.
    void Refresh();

    // The trackers. Strings are length-prefixed; the entry gets the next id.
    STrackServerInfo* AddTracker(const uint8_t* name, const uint8_t* comments, const uint8_t* address,
                                 const uint8_t* login, const uint8_t* password, int16_t hasAccount,
                                 int16_t use);

    // The tracker block of the preferences file, which follows the fixed block. WritePrefs gives the
    // block's bytes. ReadPrefs takes the bytes from the block's start to the end of the file, replaces the
    // trackers and places the two windows; it raises 1/1 (nothing changed) for a block of another version
    // and returns the block's size value.
    std::string WritePrefs() const;
    uint32_t ReadPrefs(const void* data, uint32_t size);
    // The same on the open preferences file, at `offset` (788, behind the fixed block): WritePrefs writes
    // the block there in one piece and returns its length; ReadPrefs reads from there to the end.
    uint32_t WritePrefs(TFileSysRefObj* file, uint32_t offset) const;
    uint32_t ReadPrefs(TFileSysRefObj* file, uint32_t offset);
    // More than any list of trackers needs: a file claiming more is not read into memory.
    static constexpr uint32_t kMaxPrefsBlock = 4 * 1024 * 1024;

    CTrackersListWin* GetTrackersWin() const { return mTrackersWin.get(); }
    CTrackersList* GetTrackerList() const { return mTrackerList; }
    CMyServersWindow* GetServersWin() const { return mServsWin.get(); }
    CServersList* GetServersList() const { return mServsList; }
    const std::vector<std::unique_ptr<STrackInfo>>& GetServers() const { return mServerList; }
    // The account dialogs and server information windows open now.
    std::vector<CWindow*> GetAccountDialogs() const;
    std::vector<CInfoWindow*> GetInfoWindows() const;

private:
    struct SAccountDialog
    {
        std::unique_ptr<CWindow> window;
        int16_t entryID; // the entry it edits; kNewEntry for a new one
    };
    static constexpr int16_t kNewEntry = -1;

    // An entry read with an empty password field gets the keyring's password when it comes.
    void LookUpPassword(const STrackServerInfo& entry);
    // An entry went or names another tracker or login now: the keyring forgets the password of what it
    // named, unless another entry still names the same.
    void ForgetPassword(const std::string& address, const std::string& login);

    std::string SearchText() const;
    void OpenAccountDialog(const STrackServerInfo* entry);
    void SaveAccountDialog(CWindow* dialog);
    void CloseAccountDialog(CWindow* dialog);
    SAccountDialog* FindAccountDialog(CWindow* window);
    void ShowServerInfo();
    static void TimerProc(void* context, void* object, uint32_t msg, const void* data, uint32_t size);

    // The members go in the reverse order: the two list windows last, after the servers their views
    // point to.
    std::unique_ptr<CTrackersListWin> mTrackersWin;
    CTrackersList* mTrackerList = nullptr;
    std::unique_ptr<CMyServersWindow> mServsWin;
    CServersList* mServsList = nullptr;
    std::vector<std::unique_ptr<STrackInfo>> mServerList;
    // Address and port of every server in mServerList: the duplicate test stays fast for long lists.
    std::unordered_set<uint64_t> mServerKeys;
    uint32_t mLastID = 0;
    COwner<TTimerObj, UTimer::Dispose> mTimer;
    std::vector<SAccountDialog> mAccountDialogs;
    std::vector<std::unique_ptr<CInfoWindow>> mInfoWindows;
};
