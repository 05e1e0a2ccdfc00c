// Asynchronous host name lookup for IPv4. The answer always comes later, on the main thread, even for a
// name that needs no lookup.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform
{
// error is 0 with the first IPv4 address of the host, else a getaddrinfo code (EAI_…).
using HostLookupProc = void (*)(void* context, int lookupID, int error, uint32_t addressBE);
// Returns the lookup's id (never 0), or 0 when the lookup cannot start.
int StartHostLookup(const char* name, size_t size, HostLookupProc proc, void* context);
// After this the procedure is not called for the lookup; unknown or finished ids are ignored.
void AbortHostLookup(int lookupID);
} // namespace platform
