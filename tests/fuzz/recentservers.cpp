// The recent servers file as the disk holds it: what is read stays within its limits, and written back
// and read again it gives the same servers.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "client/core/UMyRecentServers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint32_t size32 = size > UINT32_MAX ? UINT32_MAX : uint32_t(size);
    const auto servers = UMyRecentServers::Parse(data, size32);
    if (servers.size() > UMyRecentServers::kMaxServers) std::abort();
    for (const SMyRecentServer& s : servers)
        if (s.address[0] == 0 || s.login[0] >= sizeof(s.login)) std::abort();
    const std::string text = UMyRecentServers::Format(servers);
    const auto again = UMyRecentServers::Parse(text.data(), uint32_t(text.size()));
    if (again.size() != servers.size()) std::abort();
    for (size_t i = 0; i < servers.size(); ++i)
        if (std::memcmp(&again[i], &servers[i], sizeof(SMyRecentServer)) != 0) std::abort();
    return 0;
}
