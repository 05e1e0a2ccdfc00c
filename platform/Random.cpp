#include "platform/Random.h"

#include <cerrno>
#include <sys/random.h>

namespace platform
{
int FillRandom(void* out, uint32_t size)
{
    auto* p = static_cast<uint8_t*>(out);
    while (size)
    {
        // Without GRND_NONBLOCK this waits only while the pool is not yet initialised after boot.
        const ssize_t n = getrandom(p, size, 0);
        if (n < 0)
        {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        size -= uint32_t(n);
    }
    return 0;
}
} // namespace platform
