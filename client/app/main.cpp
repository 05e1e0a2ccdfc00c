// Program entry: the window system, networking check, the resource data file, then the application.
#include <QApplication>
#include <cstdio>

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
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvol"));
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
