// The application base: owns the queue's default handler and turns framework messages into calls.
#pragma once

#include <cstdint>

#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/SError.h"

class CWindow;
struct SHitMsgData;
struct TTimerObj;
struct TFileSysRefObj;

enum : uint32_t
{
    kCmdQuit = 10000,
};

class CApplication
{
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    virtual void Run();
    virtual void UserQuit();
    virtual void Quit();
    virtual void KeyCommand(uint32_t command, const SKeyMsgData& key);
    virtual void Error(const SError& error);
    virtual void Timer(TTimerObj* timer);
    virtual void OpenDocuments();
    virtual void OpenDocument(TFileSysRefObj* ref);
    virtual void WindowHit(CWindow* window, const SHitMsgData& hit);
    virtual void HandleMessage(void* object, uint32_t msg, const void* data, uint32_t dataSize);

    static void MessageHandler(void* context, void* object, uint32_t msg, const void* data,
                               uint32_t dataSize);
    static void WindowHitHandler(void* context, void* object, uint32_t msg, const void* data,
                                 uint32_t dataSize);

    static CApplication* Get() { return gApplication; }

    // The window toolkit's start-up, run by every application object after the queue exists.
    using ServicesInitProc = void (*)();
    static void SetServicesInitProc(ServicesInitProc proc);

private:
    static CApplication* gApplication;
};
