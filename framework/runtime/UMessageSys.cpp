#include "framework/runtime/UMessageSys.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

namespace
{
struct SQueuedMsg
{
    SQueuedMsg* next;
    uint32_t msg;
    int16_t priority;
    TMessageProc proc;
    void* context;
    void* object;
    uint32_t dataSize;
    // the data follows in the same allocation

    uint8_t* Data() { return reinterpret_cast<uint8_t*>(this + 1); }
};

SQueuedMsg* NewRecord(uint32_t msg, const void* data, uint32_t dataSize, int16_t priority, TMessageProc proc,
                      void* context, void* object)
{
    if (dataSize > UMemory::kMaxSize - sizeof(SQueuedMsg)) Fail(kErrTypeMemory, 101);
    auto* m = static_cast<SQueuedMsg*>(UMemory::New(uint32_t(sizeof(SQueuedMsg) + dataSize)));
    m->next = nullptr;
    m->msg = msg;
    m->priority = priority;
    m->proc = proc;
    m->context = context;
    m->object = object;
    m->dataSize = dataSize;
    if (data && dataSize)
        std::memcpy(m->Data(), data, dataSize);
    else if (dataSize)
        std::memset(m->Data(), 0, dataSize);
    return m;
}

bool InList(const uint32_t* msgList, uint32_t msg)
{
    for (; *msgList; ++msgList)
        if (*msgList == msg) return true;
    return false;
}
} // namespace

struct TMessageSysObj
{
    SQueuedMsg* head = nullptr;
    TMessageProc defaultProc = nullptr;
    void* defaultContext = nullptr;
};

TMessageSysObj* UMessageSys::New()
{
    auto* q = static_cast<TMessageSysObj*>(UMemory::New(sizeof(TMessageSysObj)));
    return new (q) TMessageSysObj;
}

void UMessageSys::Dispose(TMessageSysObj* queue)
{
    if (!queue) return;
    for (SQueuedMsg* m = queue->head; m;)
    {
        SQueuedMsg* next = m->next;
        UMemory::Dispose(m);
        m = next;
    }
    UMemory::Dispose(queue);
}

void UMessageSys::SetDefaultProc(TMessageSysObj* queue, TMessageProc proc, void* context)
{
    RequireObject(queue);
    queue->defaultProc = proc;
    queue->defaultContext = context;
}

void UMessageSys::GetDefaultProc(TMessageSysObj* queue, TMessageProc& outProc, void*& outContext)
{
    RequireObject(queue);
    outProc = queue->defaultProc;
    outContext = queue->defaultContext;
}

void UMessageSys::Post(TMessageSysObj* queue, uint32_t msg, const void* data, uint32_t dataSize,
                       int16_t priority, TMessageProc proc, void* context, void* object)
{
    RequireObject(queue);
    SQueuedMsg* m = NewRecord(msg, data, dataSize, priority, proc, context, object);
    SQueuedMsg** link = &queue->head;
    while (*link)
        link = &(*link)->next;
    *link = m;
}

void UMessageSys::Replace(TMessageSysObj* queue, uint32_t msg, const void* data, uint32_t dataSize,
                          int16_t priority, TMessageProc proc, void* context, void* object)
{
    RequireObject(queue);
    for (SQueuedMsg** link = &queue->head; *link; link = &(*link)->next)
    {
        SQueuedMsg* m = *link;
        if (m->msg != msg || m->proc != proc || m->context != context) continue;
        if (object && m->object != object) continue;
        if (m->dataSize == dataSize)
        {
            m->priority = priority;
            m->object = object;
            if (dataSize)
            {
                if (data)
                    std::memmove(m->Data(), data, dataSize);
                else
                    std::memset(m->Data(), 0, dataSize);
            }
        }
        else
        {
            SQueuedMsg* fresh = NewRecord(msg, data, dataSize, priority, proc, context, object);
            fresh->next = m->next;
            *link = fresh;
            UMemory::Dispose(m);
        }
        return;
    }
    Post(queue, msg, data, dataSize, priority, proc, context, object);
}

void UMessageSys::Flush(TMessageSysObj* queue, TMessageProc proc, void* context, void* object)
{
    RequireObject(queue);
    for (SQueuedMsg** link = &queue->head; *link;)
    {
        SQueuedMsg* m = *link;
        if (m->proc == proc && m->context == context && (!object || m->object == object))
        {
            *link = m->next;
            UMemory::Dispose(m);
        }
        else
            link = &m->next;
    }
}

bool UMessageSys::Execute(TMessageSysObj* queue, const uint32_t* msgList)
{
    RequireObject(queue);
    const bool filtered = msgList && msgList[0] != 0;
    SQueuedMsg** bestLink = nullptr;
    for (SQueuedMsg** link = &queue->head; *link; link = &(*link)->next)
    {
        if (filtered && !InList(msgList, (*link)->msg)) continue;
        if (!bestLink || (*link)->priority > (*bestLink)->priority) bestLink = link;
    }
    if (!bestLink) return false;

    // Unlinked before the call: the procedure may post, replace or flush freely.
    SQueuedMsg* m = *bestLink;
    *bestLink = m->next;
    TMessageProc proc = m->proc;
    void* context = m->context;
    if (!proc)
    {
        proc = queue->defaultProc;
        context = queue->defaultContext;
    }
    if (proc)
    {
        try
        {
            proc(context, m->object, m->msg, m->Data(), m->dataSize);
        }
        catch (const SError& err)
        {
            // An error raised while an error is being handled is dropped: reporting it could loop.
            if (m->msg != kMsgError)
            {
                try
                {
                    Post(queue, kMsgError, &err, sizeof(SError), 10, nullptr, nullptr, nullptr);
                }
                catch (...)
                {
                }
            }
        }
        catch (...)
        {
        }
    }
    UMemory::Dispose(m);
    return true;
}

bool UMessageSys::IsEmpty(TMessageSysObj* queue)
{
    RequireObject(queue);
    return queue->head == nullptr;
}

uint32_t UMessageSys::GetCount(TMessageSysObj* queue)
{
    RequireObject(queue);
    uint32_t n = 0;
    for (SQueuedMsg* m = queue->head; m; m = m->next)
        ++n;
    return n;
}
