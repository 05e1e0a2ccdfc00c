// The one callback shape of the program: queues, timers, transports, transactions and windows all call
// their receivers through it.
#pragma once

#include <cstdint>

using TMessageProc = void (*)(void* context, void* object, uint32_t msg, const void* data, uint32_t dataSize);

// Framework message numbers.
enum : uint32_t
{
    kMsgError = 1,
    kMsgTimer = 2,
    kMsgQuitRequest = 3,
    kMsgKeyDown = 5,
    kMsgKeyCommand = 8,
    kMsgWindowHit = 20,
    kMsgOpenDocuments = 33,
};
