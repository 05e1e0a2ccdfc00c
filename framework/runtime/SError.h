// The one failure record of the program and the operations that raise it.
#pragma once

#include <cstdint>

enum : int16_t
{
    kErrTypeGeneral = 1,
    kErrTypeMemory = 3,
    kErrTypeFileSys = 4,
    kErrTypeRez = 6,
    kErrTypeTransport = 8,
};

// Failures are thrown by value. `file` points at a literal (__FILE__) that outlives the record.
struct SError
{
    int16_t type;
    int16_t id;
    const char* file;
    uint32_t line;
    int32_t special; // the OS error number behind the failure, 0 when none
    uint32_t fatal : 1;
    uint32_t silent : 1;

    SError(int16_t inType, int16_t inID);
    SError(int16_t inType, int16_t inID, const char* inFile, uint32_t inLine, bool inFatal, bool inSilent);
};

[[noreturn]] void __Fail(int16_t type, int16_t id);
[[noreturn]] void __Fail(int16_t type, int16_t id, const char* file, uint32_t line, bool fatal, bool silent);

// Win32 and Winsock numbers still travel in some places (a SOCKS refusal is reported as 10061);
// they map through the original table. Linux errno values map onto the same rows by meaning.
[[noreturn]] void _FailWinError(int32_t winError, const char* file, uint32_t line);
[[noreturn]] void _FailOSError(int osError, const char* file, uint32_t line);
[[noreturn]] void _FailLastOSError(const char* file, uint32_t line);
[[noreturn]] void _FailHostLookupError(int lookupError, const char* file, uint32_t line);

void _WinToGenError(int32_t winError, int16_t& outType, int16_t& outID);
void _OSToGenError(int osError, int16_t& outType, int16_t& outID);
// getaddrinfo results (EAI_…); every lookup failure is "host not found" except exhaustion.
void _HostLookupToGenError(int lookupError, int16_t& outType, int16_t& outID);

// Diagnostic hook called just before some raises. Silent in release builds.
void DebugBreak(const char* text);

#define Fail(type, id) __Fail((type), (id), __FILE__, __LINE__, false, false)
#define FailSilent(type, id) __Fail((type), (id), __FILE__, __LINE__, false, true)
#define FailOSError(err) _FailOSError((err), __FILE__, __LINE__)
#define FailLastOSError() _FailLastOSError(__FILE__, __LINE__)
#define FailWinError(err) _FailWinError((err), __FILE__, __LINE__)

// Every framework operation raises 1/2 when handed a null object.
#define RequireObject(obj)                                                                                   \
    do                                                                                                       \
    {                                                                                                        \
        if ((obj) == nullptr) Fail(kErrTypeGeneral, 2);                                                      \
    } while (0)
