#include "framework/runtime/CApplication.h"

#include <cstring>

#include "framework/runtime/UApplication.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UMessageSys.h"
#include "framework/runtime/UTimer.h"
#include "platform/EventLoop.h"

CApplication* CApplication::gApplication = nullptr;

namespace
{
CApplication::ServicesInitProc gServicesInit = nullptr;
}

void CApplication::SetServicesInitProc(ServicesInitProc proc)
{
    gServicesInit = proc;
}

CApplication::CApplication()
{
    platform::InitEventLoop();
    UApplication::Init();
    UTimer::Init();
    if (gServicesInit) gServicesInit();
    gApplication = this;
    UApplication::SetMessageHandler(MessageHandler, this);
    // The modifier 0x0010 is never set by the keyboard, so this entry stays quiet; the application's
    // own table binds Ctrl+Q.
    static const SKeyCmd kQuitKey = {kCmdQuit, 'q', 0x0010};
    UKeyCommands::Install(&kQuitKey, 1, MessageHandler, this);
}

CApplication::~CApplication()
{
    UKeyCommands::RemoveAll(this);
    if (gApplication == this) gApplication = nullptr;
    if (TMessageSysObj* queue = UApplication::GetQueue())
    {
        TMessageProc proc;
        void* context;
        UMessageSys::GetDefaultProc(queue, proc, context);
        if (proc == MessageHandler && context == this) UApplication::SetMessageHandler(nullptr, nullptr);
    }
}

void CApplication::Run()
{
    UApplication::Run();
}

void CApplication::UserQuit()
{
    Quit();
}

void CApplication::Quit()
{
    UApplication::Quit();
}

void CApplication::KeyCommand(uint32_t command, const SKeyMsgData&)
{
    if (command == kCmdQuit) UserQuit();
}

void CApplication::Error(const SError& error)
{
    if (!error.silent) UError::Alert(error);
}

void CApplication::Timer(TTimerObj*) {}

void CApplication::OpenDocuments()
{
    while (TFileSysRefObj* ref = UApplication::GetDocumentToOpen())
    {
        try
        {
            OpenDocument(ref);
        }
        catch (...)
        {
            UApplication::DisposeDocumentRef(ref);
            throw;
        }
        UApplication::DisposeDocumentRef(ref);
    }
}

void CApplication::OpenDocument(TFileSysRefObj*) {}

void CApplication::WindowHit(CWindow*, const SHitMsgData&) {}

void CApplication::HandleMessage(void* object, uint32_t msg, const void* data, uint32_t dataSize)
{
    switch (msg)
    {
    case kMsgError:
        if (data && dataSize >= sizeof(SError))
        {
            SError error(0, 0);
            std::memcpy(static_cast<void*>(&error), data, sizeof(SError));
            Error(error);
        }
        break;
    case kMsgTimer:
        Timer(static_cast<TTimerObj*>(object));
        break;
    case kMsgQuitRequest:
        UserQuit();
        break;
    case kMsgKeyCommand:
        if (data && dataSize >= sizeof(SKeyCommandMsg))
        {
            SKeyCommandMsg cmd;
            std::memcpy(&cmd, data, sizeof(cmd));
            KeyCommand(cmd.command, cmd.key);
        }
        break;
    case kMsgOpenDocuments:
        OpenDocuments();
        break;
    default:
        break;
    }
}

void CApplication::MessageHandler(void* context, void* object, uint32_t msg, const void* data,
                                  uint32_t dataSize)
{
    if (context) static_cast<CApplication*>(context)->HandleMessage(object, msg, data, dataSize);
}

void CApplication::WindowHitHandler(void* context, void*, uint32_t, const void* data, uint32_t)
{
    if (gApplication && data)
        gApplication->WindowHit(static_cast<CWindow*>(context), *static_cast<const SHitMsgData*>(data));
}
