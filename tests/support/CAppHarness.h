// The end-to-end fixture: the real application, started as the program starts it (StartUp, its
// long-lived windows offscreen), in a user folder of its own, against the loopback test server. A test
// drives it with commands, hits and keys as a user would, answers its boxes and modal windows, and then
// reads what the windows show and what the server received.
#pragma once

#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "client/app/CMyApplication.h"
#include "tests/support/RunLoopWait.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"
#include "tools/testserver/CTransferServer.h"

class CWindow;
struct SMsgBox;
struct TTimerObj;

class CAppHarness
{
public:
    // A box the application showed, as the user saw it.
    struct SBox
    {
        int16_t id; // 0 for boxes built in code (server messages)
        std::string title;
        std::string text;
    };

    // The application is the real one unless a test makes a subclass (made after the hooks are in).
    using AppMaker = std::function<std::unique_ptr<CMyApplication>()>;
    explicit CAppHarness(const AppMaker& makeApp = nullptr);
    ~CAppHarness();
    CAppHarness(const CAppHarness&) = delete;
    CAppHarness& operator=(const CAppHarness&) = delete;

    // Listens on a free loopback port and runs StartUp. Boxes shown by the start-up itself (no sound
    // on a machine without audio) are forgotten.
    void Start();
    // The layout the start uses, as the desktop settings file's "layout=" line; Start adds the line when
    // the file (written by the test, or not) has none. Tests written for the separate windows keep them;
    // "main" starts with the main window, as a new user's first start does.
    std::string layout = "separate";
    CMyApplication& App() const { return *mApp; }
    // The user folder the application uses (XDG_DATA_HOME/Quenvol), empty at the start.
    std::string UserFolder() const;
    // The test's home folder (HOME), and the folder downloads go to unless a test's options say otherwise:
    // the desktop's download folder in that home.
    std::string HomeFolder() const;
    std::string DownloadFolder() const;

    // The server. Configure `model` (accounts, news, users…) before logging in. It shares a temporary
    // folder of its own (files go there with WriteSharedFile), and transfers go to `transfers` on the
    // port after the server's.
    CServerModel model;
    CTestServer server;
    CTransferServer transfers;
    std::string Address() const; // "127.0.0.1:PORT"
    std::string SharedFolder() const;
    // A file below the shared folder ("Docs/a.txt"), with the folders above it; a path ending in "/"
    // makes a folder.
    void WriteSharedFile(const std::string& path, const std::string& bytes = std::string());
    bool SharedExists(const std::string& path) const;

    // Connects to the loopback server (guest when login is empty) as the connect dialog would and waits
    // until the login, online users and news requests are done. False (and a failed test) otherwise.
    bool Login(const std::string& login = "", const std::string& password = "", uint32_t watchdogMs = 5000);
    // Pumps the run loop until the condition holds; a watchdog fails the test with `what`.
    bool WaitUntil(const std::function<bool()>& condition, const char* what, uint32_t watchdogMs = 5000);
    // Delivers whatever is queued now, without waiting.
    void Pump();

    // What a user does: a hit of a view of a window (as clicking it would report), a key command by its
    // key (through the key table, as typing it would), a menu item.
    void Hit(CWindow* window, uint32_t id, uint16_t part = 0, uint16_t mods = 0);
    void Key(uint16_t keyCode, uint32_t keyChar, uint16_t mods);
    void MenuItem(int16_t item);

    // Message boxes are answered without being shown: each takes the next queued answer, else 1.
    std::vector<SBox> boxes;
    std::deque<uint16_t> boxAnswers;
    // From now on boxes open as the user sees them: their window (CMyMsgBoxWin) runs its own modal loop,
    // in which the connection keeps running, and the test answers it like any modal window (OnModal).
    // They are still recorded in `boxes` as their loop starts; `boxAnswers` no longer applies.
    void UseRealBoxes();
    bool HasBox(int16_t id, const std::string& textPart = "") const;
    bool HasBoxTitled(const std::string& title, const std::string& text) const;
    // The framework alert's last text (errors other than transport errors).
    std::string alert;

    // Modal windows: when one starts its loop, the first queued action for its class runs (and should
    // hit it, or the loop waits). A modal window with no action fails the test and gets its default hit.
    template <class TWin>
    void OnModal(std::function<void(TWin&)> act)
    {
        mModalActions.push_back(
            [act](CWindow* w)
            {
                auto* win = dynamic_cast<TWin*>(w);
                if (win) act(*win);
                return win != nullptr;
            });
    }
    uint32_t modalCount = 0;
    // Modal loops running now (nested inside each other), and the most there ever were at once.
    static uint32_t ModalDepth();
    uint32_t maxModalDepth = 0;

    // What a user does while the program runs, also inside modal loops: `act` runs once, as soon as
    // `condition` holds (looked at every few milliseconds from a timer), after the steps queued before it.
    void When(std::function<bool()> condition, std::function<void()> act);
    // `act` runs after the messages queued now have been delivered, wherever the run loop turns next.
    void Later(std::function<void()> act);
    bool StepsDone() const { return mSteps.empty(); }

    // What the windows show.
    std::vector<std::string> OnlineUserNames() const;
    std::string NewsText() const;
    std::string ChatText() const;
    std::vector<std::string> TaskRows() const;
    // View ids of the toolbar's buttons that are shown, top to bottom.
    std::vector<uint32_t> ToolbarButtons() const;
    uint16_t ToolbarLook() const;
    static std::string Title(const CWindow* window);
    // Every window of the given class that exists now.
    template <class TWin>
    std::vector<TWin*> Windows() const
    {
        std::vector<TWin*> found;
        for (CWindow* w : AllWindows())
            if (auto* win = dynamic_cast<TWin*>(w)) found.push_back(win);
        return found;
    }

    // What the server received: requests (not replies) of a type, in order.
    std::vector<STestTransaction> Requests(uint16_t type) const;
    // A field of a transaction body ("" when absent).
    static std::string Field(const STestTransaction& t, uint16_t id);

    // Length-prefixed strings for the application's operations.
    static std::vector<uint8_t> P(const std::string& text);
    static std::string Str(const uint8_t* pstring);

private:
    static uint16_t BoxHook(int16_t id, const SMsgBox& box);
    void ModalStarted(CWindow* window);
    static void StepTimer(void* context, void*, uint32_t, const void*, uint32_t);
    static void RunLater(void* context, void*, uint32_t, const void*, uint32_t);
    static std::vector<CWindow*> AllWindows();

    QTemporaryDir mHome;
    QTemporaryDir mShare;
    std::vector<std::pair<std::string, std::optional<std::string>>> mOldEnvironment;
    std::unique_ptr<CMyApplication> mApp;
    std::deque<std::function<bool(CWindow*)>> mModalActions;
    std::deque<std::pair<std::function<bool()>, std::function<void()>>> mSteps;
    TTimerObj* mStepTimer = nullptr;
    std::deque<std::function<void()>> mLater;
};
