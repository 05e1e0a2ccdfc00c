#include "platform/Network.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace platform
{
int CheckTcpIp()
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    close(fd);
    return 0;
}
} // namespace platform
