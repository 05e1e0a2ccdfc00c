// One client per user. The first start holds a lock in the user's runtime folder and listens on a local
// socket beside it; a later start connects there, hands over its documents and ends. All of it runs
// through the event loop's socket notices and timers: nothing here waits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/HandOffMessage.h"

namespace platform
{
// $XDG_RUNTIME_DIR when it is set and absolute; else a folder of this user's own under /tmp, made and
// checked (owned by the user, reachable by nobody else, not a link). Returns 0 or an errno.
int InstanceFolder(std::string& outFolder);

struct InstanceObj;
// What the running client receives from one later start: its items, in order (none when it was started
// without documents).
using InstanceItemsProc = void (*)(void* context, const std::vector<std::string>& items);

enum class EInstanceClaim
{
    Claimed, // this process is the client: it listens for later starts
    Running, // another process holds the claim
    Failed,  // the folder cannot hold the lock or the socket (outError says why)
};
// A lock file whose holder ended (a crashed client) is free again, and the socket file that holder left
// behind is replaced.
EInstanceClaim ClaimInstance(const std::string& folder, InstanceObj*& outInstance, int& outError);
// Items arrive only while a procedure is set; until then they wait in the socket.
void SetInstanceItemsProc(InstanceObj* instance, InstanceItemsProc proc, void* context);
// Removes the socket and gives up the lock. Null is ignored.
void ReleaseInstance(InstanceObj* instance);

struct HandOffObj;
// 0 when the running client took the items; ETIMEDOUT when it did not answer in time; ECONNRESET when
// it went away before answering (it may have been quitting: claiming again may succeed); else the errno
// of the failed connection.
using HandOffDoneProc = void (*)(void* context, int result);
// Connects to the running client's socket (trying again for a moment while the client that holds the
// lock is still setting it up), sends the items and waits for the answer. The procedure is called once.
HandOffObj* StartHandOff(const std::string& folder, const std::vector<std::string>& items, uint32_t timeoutMs,
                         HandOffDoneProc proc, void* context);
// True once every item is sent and only the running client's answer is awaited; the moment from which a
// client that never takes the items can be told from one that has not yet had the chance.
bool HandOffAwaitsAnswer(const HandOffObj* handOff);
void DisposeHandOff(HandOffObj* handOff);
} // namespace platform
