// The application-wide queue and the run loop that alternates OS events and queued messages.
#pragma once

#include <string>
#include <vector>

#include "framework/runtime/MessageProc.h"

struct TMessageSysObj;
struct TFileSysRefObj;

class UApplication
{
public:
    // Creates the queue once; posts message 33 when the program was started with documents to open.
    static void Init();
    static TMessageSysObj* GetQueue();
    static void SetMessageHandler(TMessageProc proc, void* context);

    static void PostMessage(uint32_t msg, const void* data = nullptr, uint32_t dataSize = 0,
                            int16_t priority = 0, TMessageProc proc = nullptr, void* context = nullptr,
                            void* object = nullptr);
    static void ReplaceMessage(uint32_t msg, const void* data, uint32_t dataSize, int16_t priority,
                               TMessageProc proc, void* context, void* object);
    static void FlushMessages(TMessageProc proc, void* context, void* object);
    // Calls at once, without queuing or copying; an SError raised by the procedure comes back as message 1.
    static void SendMessage(uint32_t msg, const void* data, uint32_t dataSize, int16_t priority,
                            TMessageProc proc, void* context, void* object);

    static void Process();
    static void ProcessAndSleep();
    static void ProcessOnly(const uint32_t* msgList);
    static void Run();
    static void Quit();
    static bool IsQuitting();
    // Takes a quit back; for tests that quit an application and go on running others.
    static void _CancelQuit();

    // Documents and addresses named on the command line. Addresses are posted as message 998; files come
    // back one reference at a time.
    static TFileSysRefObj* GetDocumentToOpen();
    // The command line as one text, split as a shell-less command line is: one item when it holds at
    // most one colon, else items separated by blanks.
    static void SetCommandLine(const char* text, uint32_t size);
    // Arguments that the shell has already split: each is one item as it stands.
    static void SetCommandLineItems(const std::vector<std::string>& items);
    // Documents and addresses that arrive while the program runs (from a later start of it): they join
    // whatever is still waiting to be opened and are opened through the same message 33, as if they had
    // been on the command line.
    static void AddDocumentsToOpen(const std::vector<std::string>& items);

    // The file layer turns native paths into references; installed by the program's entry.
    using DocumentRefProc = TFileSysRefObj* (*)(const char* path, uint32_t size);
    using DocumentDisposeProc = void (*)(TFileSysRefObj* ref);
    static void SetDocumentRefProcs(DocumentRefProc make, DocumentDisposeProc dispose);
    static void DisposeDocumentRef(TFileSysRefObj* ref);

    static void SetCanOpenDocuments(bool) {}
    // Asks the desktop to draw the user's eye to the program (an urgency hint on its windows) while it
    // is in the background; the window layer installs how.
    static void ShowWantsAttention();
    using AttentionProc = void (*)();
    static void SetAttentionProc(AttentionProc proc);
};

enum : uint32_t
{
    kMsgGoURL = 998,
};
