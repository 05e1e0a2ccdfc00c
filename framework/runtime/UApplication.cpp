#include "framework/runtime/UApplication.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/runtime/SError.h"
#include "framework/runtime/UMessageSys.h"
#include "platform/CommandLine.h"
#include "platform/EventLoop.h"

namespace
{
TMessageSysObj* gQueue = nullptr;
bool gQuit = false;

// What is left of the command line, as texts still to be split and items already split.
struct SCommandLine
{
    std::string text;
    size_t position = 0;
    bool hasText = false;
    std::vector<std::string> items;
    size_t nextItem = 0;
};
SCommandLine gCommandLine;
UApplication::DocumentRefProc gMakeRef = nullptr;
UApplication::DocumentDisposeProc gDisposeRef = nullptr;

// Turns of the run loop on the stack: a modal loop runs inside a turn, and so does anything Qt runs.
uint32_t gTurnDepth = 0;

class StTurn
{
public:
    StTurn()
    {
        // At the outermost turn nothing else runs (no event handler, no nested loop): the widgets of
        // closed windows, whose deletion Qt puts off, can go now. Without this they would stay for the
        // life of the program.
        if (gTurnDepth++ == 0) platform::DeleteDeferredObjects();
    }
    ~StTurn() { --gTurnDepth; }
    StTurn(const StTurn&) = delete;
    StTurn& operator=(const StTurn&) = delete;
};

void DrainQueue()
{
    if (gQueue)
        while (UMessageSys::Execute(gQueue, nullptr))
        {
        }
}

// Qt runs loops of its own that the modal loop cannot replace (drags, pop-up menus); the queue must not
// stall behind them.
void BeforeBlock()
{
    DrainQueue();
}

bool LooksLikeAddress(const std::string& item)
{
    size_t colon = item.find(':');
    return colon != std::string::npos && item.size() - colon - 1 >= 2;
}

// Takes the next item out of the text form of the command line; false when it is used up.
bool NextTextItem(std::string& outItem)
{
    SCommandLine& cl = gCommandLine;
    if (!cl.hasText) return false;
    if (cl.position == 0)
    {
        size_t first = cl.text.find(':'), last = cl.text.rfind(':');
        if (first == last)
        {
            std::string item = cl.text;
            if (!item.empty() && item.front() == '"') item.erase(0, 1);
            if (!item.empty() && item.back() == '"') item.pop_back();
            cl.text.clear();
            cl.hasText = false;
            outItem = item;
            return true;
        }
    }
    if (cl.position >= cl.text.size())
    {
        cl.text.clear();
        cl.hasText = false;
        return false;
    }
    size_t blank = cl.text.find(' ', cl.position);
    size_t end = blank == std::string::npos ? cl.text.size() : blank;
    outItem = cl.text.substr(cl.position, end - cl.position);
    cl.position = blank == std::string::npos ? cl.text.size() : blank + 1;
    if (cl.position >= cl.text.size())
    {
        cl.text.clear();
        cl.hasText = false;
        cl.position = 0;
    }
    return true;
}

bool NextItem(std::string& outItem)
{
    if (NextTextItem(outItem)) return true;
    SCommandLine& cl = gCommandLine;
    if (cl.nextItem < cl.items.size())
    {
        outItem = cl.items[cl.nextItem++];
        return true;
    }
    cl.items.clear();
    cl.nextItem = 0;
    return false;
}
} // namespace

void UApplication::Init()
{
    if (gQueue) return;
    platform::InitEventLoop();
    gQueue = UMessageSys::New();
    platform::SetBeforeBlockHook(BeforeBlock);
    if (!platform::Arguments().empty())
    {
        SetCommandLineItems(platform::Arguments());
        PostMessage(kMsgOpenDocuments, nullptr, 0, 0, nullptr, nullptr, nullptr);
    }
}

TMessageSysObj* UApplication::GetQueue()
{
    return gQueue;
}

void UApplication::SetMessageHandler(TMessageProc proc, void* context)
{
    UMessageSys::SetDefaultProc(gQueue, proc, context);
}

void UApplication::PostMessage(uint32_t msg, const void* data, uint32_t dataSize, int16_t priority,
                               TMessageProc proc, void* context, void* object)
{
    UMessageSys::Post(gQueue, msg, data, dataSize, priority, proc, context, object);
}

void UApplication::ReplaceMessage(uint32_t msg, const void* data, uint32_t dataSize, int16_t priority,
                                  TMessageProc proc, void* context, void* object)
{
    UMessageSys::Replace(gQueue, msg, data, dataSize, priority, proc, context, object);
}

void UApplication::FlushMessages(TMessageProc proc, void* context, void* object)
{
    if (gQueue) UMessageSys::Flush(gQueue, proc, context, object);
}

void UApplication::SendMessage(uint32_t msg, const void* data, uint32_t dataSize, int16_t, TMessageProc proc,
                               void* context, void* object)
{
    if (!proc) UMessageSys::GetDefaultProc(gQueue, proc, context);
    if (!proc) return;
    try
    {
        proc(context, object, msg, data, dataSize);
    }
    catch (const SError& err)
    {
        if (msg != kMsgError) PostMessage(kMsgError, &err, sizeof(SError), 10, nullptr, nullptr, nullptr);
    }
    catch (...)
    {
    }
}

void UApplication::Process()
{
    StTurn turn;
    platform::DeliverPendingEvents();
    DrainQueue();
}

void UApplication::ProcessAndSleep()
{
    StTurn turn;
    Process();
    platform::WaitForOneEvent();
}

void UApplication::ProcessOnly(const uint32_t* msgList)
{
    platform::DeliverPendingEvents();
    if (gQueue)
        while (UMessageSys::Execute(gQueue, msgList))
        {
        }
}

void UApplication::Run()
{
    while (!gQuit)
    {
        Process();
        if (gQuit) break;
        // Only a wait: processing again first could handle the very event that ends the loop and then
        // sleep with nothing left to wake it.
        StTurn turn;
        platform::WaitForOneEvent();
    }
}

void UApplication::Quit()
{
    gQuit = true;
    platform::WakeUp();
}

bool UApplication::IsQuitting()
{
    return gQuit;
}

void UApplication::_CancelQuit()
{
    gQuit = false;
}

void UApplication::SetCommandLine(const char* text, uint32_t size)
{
    gCommandLine.text.assign(text ? text : "", text ? size : 0);
    gCommandLine.position = 0;
    gCommandLine.hasText = !gCommandLine.text.empty();
}

void UApplication::SetCommandLineItems(const std::vector<std::string>& items)
{
    gCommandLine.items = items;
    gCommandLine.nextItem = 0;
}

void UApplication::AddDocumentsToOpen(const std::vector<std::string>& items)
{
    if (items.empty()) return;
    SCommandLine& cl = gCommandLine;
    cl.items.erase(cl.items.begin(), cl.items.begin() + std::ptrdiff_t(cl.nextItem));
    cl.nextItem = 0;
    cl.items.insert(cl.items.end(), items.begin(), items.end());
    PostMessage(kMsgOpenDocuments, nullptr, 0, 0, nullptr, nullptr, nullptr);
}

TFileSysRefObj* UApplication::GetDocumentToOpen()
{
    std::string item;
    while (NextItem(item))
    {
        if (item.empty()) continue;
        if (LooksLikeAddress(item))
        {
            PostMessage(kMsgGoURL, item.data(), uint32_t(item.size()), 0, nullptr, nullptr, nullptr);
            continue;
        }
        if (!gMakeRef) continue;
        if (TFileSysRefObj* ref = gMakeRef(item.data(), uint32_t(item.size()))) return ref;
    }
    return nullptr;
}

namespace
{
UApplication::AttentionProc gAttentionProc = nullptr;
}

void UApplication::ShowWantsAttention()
{
    if (gAttentionProc) gAttentionProc();
}

void UApplication::SetAttentionProc(AttentionProc proc)
{
    gAttentionProc = proc;
}

void UApplication::SetDocumentRefProcs(DocumentRefProc make, DocumentDisposeProc dispose)
{
    gMakeRef = make;
    gDisposeRef = dispose;
}

void UApplication::DisposeDocumentRef(TFileSysRefObj* ref)
{
    if (ref && gDisposeRef) gDisposeRef(ref);
}
