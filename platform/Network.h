// Whether this machine can make TCP/IP connections at all.
#pragma once

namespace platform
{
// Returns 0 when an IPv4 TCP socket can be made, else the errno that refused it.
int CheckTcpIp();
} // namespace platform
