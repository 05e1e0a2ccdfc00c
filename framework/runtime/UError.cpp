#include "framework/runtime/UError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <netdb.h>
#include <string>

#include "framework/runtime/ErrorMessages.h"
#include "framework/runtime/UPString.h"

namespace
{
UError::AlertProc gAlertProc = nullptr;
UError::DebugProc gDebugProc = nullptr;

struct SErrorRow
{
    int32_t number;
    int16_t type;
    int16_t id;
};

// Sorted by number: looked up by binary search.
constexpr SErrorRow kWinErrorTable[] = {
    {2, 4, 103},     {3, 4, 102},     {5, 4, 117},     {8, 3, 101},     {14, 3, 101},    {15, 4, 105},
    {17, 4, 129},    {19, 4, 111},    {32, 4, 116},    {50, 4, 110},    {52, 4, 115},    {80, 4, 115},
    {108, 4, 112},   {112, 4, 101},   {120, 4, 110},   {123, 4, 119},   {161, 4, 119},   {183, 4, 115},
    {206, 4, 119},   {1393, 4, 106},  {1400, 3, 102},  {1413, 1, 11},   {10048, 8, 112}, {10049, 8, 112},
    {10050, 8, 106}, {10051, 8, 106}, {10052, 8, 106}, {10053, 8, 100}, {10054, 8, 100}, {10055, 8, 100},
    {10056, 8, 100}, {10057, 8, 100}, {10058, 8, 100}, {10059, 8, 100}, {10060, 8, 103}, {10061, 8, 104},
    {10062, 8, 100}, {10063, 8, 100}, {10064, 8, 103}, {10065, 8, 106}, {11001, 8, 101}, {11002, 8, 101},
};

// Linux errno values, each on the row whose meaning it shares.
constexpr SErrorRow kOSErrorTable[] = {
    {ENOENT, 4, 103},      {EACCES, 4, 117},       {EPERM, 4, 117},         {ENOMEM, 3, 101},
    {ENODEV, 4, 105},      {ENXIO, 4, 105},        {EXDEV, 4, 129},         {EROFS, 4, 111},
    {ETXTBSY, 4, 116},     {EBUSY, 4, 116},        {ENOTSUP, 4, 110},       {ENOSYS, 4, 110},
    {EEXIST, 4, 115},      {ENOTEMPTY, 4, 115},    {ENOLCK, 4, 112},        {ENOSPC, 4, 101},
    {EDQUOT, 4, 101},      {ENAMETOOLONG, 4, 119}, {ENOTDIR, 4, 102},       {EIO, 4, 106},
    {EUCLEAN, 4, 106},     {EADDRINUSE, 8, 112},   {EADDRNOTAVAIL, 8, 112}, {ENETDOWN, 8, 106},
    {ENETUNREACH, 8, 106}, {ENETRESET, 8, 106},    {ECONNABORTED, 8, 100},  {ECONNRESET, 8, 100},
    {EPIPE, 8, 100},       {ENOBUFS, 8, 100},      {EISCONN, 8, 100},       {ENOTCONN, 8, 100},
    {ESHUTDOWN, 8, 100},   {ETOOMANYREFS, 8, 100}, {ETIMEDOUT, 8, 103},     {ECONNREFUSED, 8, 104},
    {ELOOP, 8, 100},       {EHOSTDOWN, 8, 103},    {EHOSTUNREACH, 8, 106},
};

template <size_t N>
constexpr bool IsSorted(const SErrorRow (&table)[N])
{
    for (size_t i = 1; i < N; ++i)
        if (table[i - 1].number >= table[i].number) return false;
    return true;
}
static_assert(IsSorted(kWinErrorTable), "the Win32 table is searched by bisection");

template <size_t N>
void Translate(const SErrorRow (&table)[N], int32_t number, int16_t& outType, int16_t& outID)
{
    size_t lo = 0, hi = N;
    while (lo < hi)
    {
        size_t mid = (lo + hi) / 2;
        if (table[mid].number == number)
        {
            outType = table[mid].type;
            outID = table[mid].id;
            return;
        }
        if (table[mid].number < number)
            lo = mid + 1;
        else
            hi = mid;
    }
    outType = kErrTypeGeneral;
    outID = 1;
}

// errno values differ between architectures, so this table is sorted at first use instead of by hand.
struct SSortedOSTable
{
    SErrorRow rows[std::size(kOSErrorTable)];
    SSortedOSTable()
    {
        std::memcpy(rows, kOSErrorTable, sizeof(rows));
        std::sort(std::begin(rows), std::end(rows),
                  [](const SErrorRow& a, const SErrorRow& b) { return a.number < b.number; });
    }
};

[[noreturn]] void RaiseTranslated(int16_t type, int16_t id, int32_t special, const char* file, uint32_t line)
{
    SError err(type, id, file, line, false, false);
    err.special = special;
    throw err;
}
} // namespace

SError::SError(int16_t inType, int16_t inID)
    : type(inType), id(inID), file(""), line(0), special(0), fatal(0), silent(0)
{
}

SError::SError(int16_t inType, int16_t inID, const char* inFile, uint32_t inLine, bool inFatal, bool inSilent)
    : type(inType), id(inID), file(inFile ? inFile : ""), line(inLine), special(0), fatal(inFatal),
      silent(inSilent)
{
}

void __Fail(int16_t type, int16_t id)
{
    throw SError(type, id);
}

void __Fail(int16_t type, int16_t id, const char* file, uint32_t line, bool fatal, bool silent)
{
    throw SError(type, id, file, line, fatal, silent);
}

void _WinToGenError(int32_t winError, int16_t& outType, int16_t& outID)
{
    Translate(kWinErrorTable, winError, outType, outID);
}

void _OSToGenError(int osError, int16_t& outType, int16_t& outID)
{
    static const SSortedOSTable table;
    Translate(table.rows, osError, outType, outID);
}

void _HostLookupToGenError(int lookupError, int16_t& outType, int16_t& outID)
{
    if (lookupError == EAI_MEMORY)
    {
        outType = kErrTypeMemory;
        outID = 101;
        return;
    }
    outType = kErrTypeTransport;
    outID = 101;
}

void _FailWinError(int32_t winError, const char* file, uint32_t line)
{
    int16_t type, id;
    _WinToGenError(winError, type, id);
    RaiseTranslated(type, id, winError, file, line);
}

void _FailOSError(int osError, const char* file, uint32_t line)
{
    int16_t type, id;
    _OSToGenError(osError, type, id);
    RaiseTranslated(type, id, osError, file, line);
}

void _FailLastOSError(const char* file, uint32_t line)
{
    _FailOSError(errno, file, line);
}

void _FailHostLookupError(int lookupError, const char* file, uint32_t line)
{
    int16_t type, id;
    _HostLookupToGenError(lookupError, type, id);
    RaiseTranslated(type, id, lookupError, file, line);
}

void DebugBreak(const char* text)
{
    if (gDebugProc) gDebugProc(text);
#ifndef NDEBUG
    else if (text)
        std::fprintf(stderr, "quenvol: %s\n", text);
#endif
}

uint32_t UError::GetDetailMessage(const SError& error, void* outText, uint32_t maxSize)
{
    if (!outText || maxSize == 0) return 0;
    char line[512];
    const bool hasFile = error.file && error.file[0];
    int n;
    if (!hasFile && error.special == 0)
        n = std::snprintf(line, sizeof(line), "ID %hi/%hi", error.type, error.id);
    else if (!hasFile)
        n = std::snprintf(line, sizeof(line), "ID %hi/%hi [%li]", error.type, error.id, long(error.special));
    else if (error.special == 0)
        n = std::snprintf(line, sizeof(line), "ID %hi/%hi @ %s #%lu", error.type, error.id, error.file,
                          (unsigned long)error.line);
    else
        n = std::snprintf(line, sizeof(line), "ID %hi/%hi [%li] @ %s #%lu", error.type, error.id,
                          long(error.special), error.file, (unsigned long)error.line);
    if (n < 0) return 0;
    uint32_t count = std::min<uint32_t>(uint32_t(std::min<int>(n, int(sizeof(line) - 1))), maxSize);
    std::memcpy(outText, line, count);
    return count;
}

uint32_t UError::GetMessage(const SError& error, void* outText, uint32_t maxSize)
{
    if (!outText || maxSize == 0) return 0;
    uint32_t count = LookUpErrorText(error.type, error.id, outText, maxSize);
    if (count) return count;
    // Stored with a leading length byte, as the lists' texts are.
    static const uint8_t kNoMemory[] = "\x28Not enough memory.  Try closing windows.";
    static const uint8_t kUnknown[] = "\x1D"
                                      "An unknown error has occured.";
    const uint8_t* text = (error.type == kErrTypeMemory && error.id == 101) ? kNoMemory : kUnknown;
    const std::span<const uint8_t> bytes = UPString::Bytes(text);
    count = std::min<uint32_t>(uint32_t(bytes.size()), maxSize);
    std::memcpy(outText, bytes.data(), count);
    return count;
}

uint32_t UError::GetAlertText(const SError& error, char* outText, uint32_t maxSize)
{
    char text[255 + 2 + 128 + 1];
    uint32_t n = GetMessage(error, text, 255);
    text[n++] = 13;
    text[n++] = 13;
    n += GetDetailMessage(error, text + n, 128);
    if (!outText || maxSize == 0) return 0;
    n = std::min(n, maxSize - 1);
    std::memcpy(outText, text, n);
    outText[n] = 0;
    return n;
}

void UError::AlertText(const char* text, uint32_t size)
{
    // The alert procedure wants the text NUL-terminated.
    const std::string terminated(text ? text : "", text ? size : 0);
    if (gAlertProc)
        gAlertProc(terminated.c_str(), uint32_t(terminated.size()));
    else
        std::fprintf(stderr, "ERROR: %s\n", terminated.c_str());
}

void UError::Alert(const SError& error)
{
    if (error.silent) return;
    char text[255 + 2 + 128 + 1];
    const uint32_t n = GetAlertText(error, text, sizeof text);
    AlertText(text, n);
}

void UError::SetAlertProc(AlertProc proc)
{
    gAlertProc = proc;
}

void UError::SetDebugProc(DebugProc proc)
{
    gDebugProc = proc;
}
