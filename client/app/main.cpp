// Program entry: the window system, networking check, the resource data file, then the application.
#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/URez.h"
#include "framework/ui/UFileDialogs.h"
#include "framework/ui/UWindowServices.h"
#include "platform/CommandLine.h"
#include "platform/EventLoop.h"
#include "platform/MessageBus.h"
#include "platform/Network.h"
#include "platform/QuitSignals.h"
#include "platform/SingleInstance.h"

namespace
{
// The desktop convention of every program; the rest of the command line is documents and addresses.
bool AnswersInfoOption(int argc, char** argv, int& outStatus)
{
    if (argc != 2) return false;
    const std::string arg = argv[1];
    if (arg == "--help" || arg == "-h")
    {
        std::printf("Usage: quenvol [BOOKMARK | quenvol://HOST[:PORT]]...\n"
                    "Connects to Quenvol servers: chat, private messages, news, files and folders.\n"
                    "Each argument is a bookmark file or a quenvol:// address to connect to.\n\n"
                    "  --help     show this text and exit\n"
                    "  --version  show the version and exit\n");
        outStatus = 0;
        return true;
    }
    if (arg == "--version")
    {
        std::printf("quenvol %s\n", QUENVOL_VERSION);
        outStatus = 0;
        return true;
    }
    return false;
}

// One client per user: a later start hands its documents to the running client and ends, so that two
// clients never write the same preferences file over each other. The running one has the claim.
class StInstance
{
public:
    ~StInstance() { Release(); }
    platform::InstanceObj* Get() const { return mInstance; }
    // A quitting client lets go at once: a start from now on becomes the client itself.
    void Release()
    {
        platform::ReleaseInstance(mInstance);
        mInstance = nullptr;
    }

    // True when a running client took this start's documents (outStatus is then the exit status);
    // false when this process is to be the client.
    bool HandOffToRunningClient(int& outStatus)
    {
        std::string folder;
        if (int err = platform::InstanceFolder(folder))
        {
            std::fprintf(stderr, "quenvol: no runtime folder for the running client's socket (%s)\n",
                         std::strerror(err));
            return false;
        }
        // A running client that goes away while it is being asked (it was quitting) leaves the claim free.
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            int err = 0;
            switch (platform::ClaimInstance(folder, mInstance, err))
            {
            case platform::EInstanceClaim::Claimed:
                return false;
            case platform::EInstanceClaim::Failed:
                std::fprintf(stderr, "quenvol: cannot listen for later starts in %s (%s)\n", folder.c_str(),
                             std::strerror(err));
                return false;
            case platform::EInstanceClaim::Running:
                break;
            }
            const int result = HandOff(folder);
            if (result == 0)
            {
                outStatus = 0;
                return true;
            }
            if (result == E2BIG)
            {
                std::fprintf(stderr, "quenvol: too many or too long documents for the running client\n");
                outStatus = 1;
                return true;
            }
            if (result != ECONNRESET)
            {
                // A client that holds the claim but does not answer is stuck; the user still gets one.
                std::fprintf(stderr, "quenvol: the running client does not answer (%s); starting another\n",
                             std::strerror(result));
                return false;
            }
        }
        return false;
    }

private:
    // Waits for the answer in the event loop, as everything in the program waits.
    static int HandOff(const std::string& folder)
    {
        struct SOutcome
        {
            bool done = false;
            int result = 0;
        } outcome;
        platform::HandOffObj* handOff = platform::StartHandOff(
            folder, platform::Arguments(), kHandOffTimeoutMs,
            [](void* context, int result)
            {
                auto* o = static_cast<SOutcome*>(context);
                o->done = true;
                o->result = result;
            },
            &outcome);
        while (!outcome.done)
            platform::WaitForOneEvent();
        platform::DisposeHandOff(handOff);
        return outcome.result;
    }

    // The running client answers from its run loop, which a slow start-up (or a loaded machine) delays.
    static constexpr uint32_t kHandOffTimeoutMs = 15000;
    platform::InstanceObj* mInstance = nullptr;
};

// The queue message that brings the client forward for a later start.
constexpr uint32_t kMsgLaterStart = 1201;

void BringForwardMessage(void* context, void*, uint32_t, const void*, uint32_t)
{
    static_cast<CMyApplication*>(context)->Features().Windows().BringClientForward();
}

// The queue message that opens the connect dialog when the program started with nothing to open.
constexpr uint32_t kMsgFirstConnect = 1202;

void FirstConnectMessage(void* context, void*, uint32_t, const void*, uint32_t)
{
    static_cast<CMyApplication*>(context)->Features().Connection().FirstConnect();
}

// What a later start brought: the client comes forward, and its documents are opened as if they had been
// on this client's own command line. Both go through the queue, in that order, so that a window the
// documents open lands on top, and so that nothing the application does runs inside the socket's notice.
void TakeLaterStart(void* context, const std::vector<std::string>& items)
{
    UApplication::PostMessage(kMsgLaterStart, nullptr, 0, 0, BringForwardMessage, context, nullptr);
    UApplication::AddDocumentsToOpen(items);
}

// A quit signal (the desktop's session ends, Ctrl+C in the terminal) quits as the Quit command does:
// through the queue, so that it never runs inside another notice and a modal window ends first.
constexpr uint32_t kMsgQuitSignal = 1203;

void QuitMessage(void* context, void*, uint32_t, const void*, uint32_t)
{
    if (!UApplication::IsQuitting()) static_cast<CMyApplication*>(context)->UserQuit();
}

void TakeQuitSignal(void* context)
{
    UApplication::PostMessage(kMsgQuitSignal, nullptr, 0, 0, QuitMessage, context, nullptr);
}

// Before the application object exists errors can only be told on the terminal and in an alert.
int ReportStartFailure(const SError& error)
{
    char detail[128];
    uint32_t n = UError::GetDetailMessage(error, detail, sizeof(detail) - 1);
    detail[n] = 0;
    std::fprintf(stderr, "quenvol: cannot start (%s)\n", detail);
    UError::Alert(error);
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (int status; AnswersInfoOption(argc, argv, status)) return status;
    platform::NeverStartASessionBus();
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvol"));
    // Wayland matches windows to the launcher by this name; X11 by the window class, "quenvol".
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quenvol.Quenvol"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::SetArguments(argc, argv);
    platform::InitEventLoop();
    StInstance instance;
    if (int status; instance.HandOffToRunningClient(status)) return status;
    UApplication::SetDocumentRefProcs(UFileSys::NewFromNativePath, UFileSys::Dispose);
    UFileSys::SetDialogProcs(UFileDialogs::SelectFile, UFileDialogs::SaveFile);
    UWindowServices::Register();
    UWindowServices::Init();

    try
    {
        if (platform::CheckTcpIp() != 0) __Fail(kErrTypeTransport, 109, __FILE__, __LINE__, true, false);
        static const uint8_t kDataFile[] = {
            sizeof(kRezDataFileName) - 1, 'q', 'u', 'e', 'n', 'v', 'o', 'l', '.', 'd', 'a', 't'};
        URez::AddProgramFileToSearchChain(kDataFile);
    }
    catch (const SError& error)
    {
        return ReportStartFailure(error);
    }

    int status = 0;
    {
        CMyApplication app;
        platform::SetInstanceItemsProc(instance.Get(), TakeLaterStart, &app);
        int signalError = 0;
        // Without the watcher a quit signal still ends the program, only without saving: nothing to tell.
        platform::QuitSignalsObj* quitSignals = platform::WatchQuitSignals(TakeQuitSignal, &app, signalError);
        try
        {
            app.StartUp();
            // Through the queue, so that the main window is up (and painted) under the dialog.
            if (platform::Arguments().empty())
                UApplication::PostMessage(kMsgFirstConnect, nullptr, 0, 0, FirstConnectMessage, &app,
                                          nullptr);
        }
        catch (const SError& error)
        {
            app.Error(error);
        }
        app.Run();
        instance.Release();
        platform::StopWatchingQuitSignals(quitSignals);
        UApplication::FlushMessages(BringForwardMessage, &app, nullptr);
        UApplication::FlushMessages(QuitMessage, &app, nullptr);
        UApplication::FlushMessages(FirstConnectMessage, &app, nullptr);
    }
    return status;
}
