// Program entry: the window system, networking check, the resource data file, then the application.
#include <QApplication>
#include <cstdio>
#include <string>

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
#include "platform/Network.h"

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
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvol"));
    // Wayland matches windows to the launcher by this name; X11 by the window class, "quenvol".
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quenvol.Quenvol"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::SetArguments(argc, argv);
    platform::InitEventLoop();
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
        try
        {
            app.StartUp();
        }
        catch (const SError& error)
        {
            app.Error(error);
        }
        app.Run();
    }
    return status;
}
