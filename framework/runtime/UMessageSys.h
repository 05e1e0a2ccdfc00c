// A priority queue of messages, each naming the procedure that handles it.
#pragma once

#include "framework/runtime/MessageProc.h"

struct TMessageSysObj;

class UMessageSys
{
public:
    static TMessageSysObj* New();
    static void Dispose(TMessageSysObj* queue);
    static void SetDefaultProc(TMessageSysObj* queue, TMessageProc proc, void* context);
    static void GetDefaultProc(TMessageSysObj* queue, TMessageProc& outProc, void*& outContext);
    static void Post(TMessageSysObj* queue, uint32_t msg, const void* data, uint32_t dataSize,
                     int16_t priority, TMessageProc proc, void* context, void* object);
    // Updates the first matching queued message in place, or posts when there is none.
    static void Replace(TMessageSysObj* queue, uint32_t msg, const void* data, uint32_t dataSize,
                        int16_t priority, TMessageProc proc, void* context, void* object);
    static void Flush(TMessageSysObj* queue, TMessageProc proc, void* context, void* object);
    // Delivers one message; msgList is null or a zero-terminated list of the numbers allowed.
    static bool Execute(TMessageSysObj* queue, const uint32_t* msgList);
    static bool IsEmpty(TMessageSysObj* queue);
    static uint32_t GetCount(TMessageSysObj* queue);
};
