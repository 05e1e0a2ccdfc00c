// Random bytes from the kernel's generator, for values that must not be guessable (passwords the
// program makes up).
#pragma once

#include <cstdint>

namespace platform
{
// Fills `size` bytes; 0 or an errno (EINTR is retried here).
int FillRandom(void* out, uint32_t size);
} // namespace platform
