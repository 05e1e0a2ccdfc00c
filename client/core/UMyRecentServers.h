// The servers the user logged in to lately, newest first, for the connect dialog: a small text file of
// its own in $XDG_CONFIG_HOME/Quenvol, one server a line. It holds a password only for a server the
// user ticked "Keep my password" for: a server that came from a bookmark names the bookmark, and the
// password is read from there when the dialog opens; any other password is never written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Texts are length-prefixed Mac OS Roman bytes, as the connect dialog has them.
struct SMyRecentServer
{
    uint8_t address[256] = {};
    uint8_t login[32] = {};
    // The file name ("name.qbm") of the bookmark in the "Servers" folder the server came from, or empty.
    uint8_t bookmark[256] = {};
    // The user asked to keep the password, which is then kept here too.
    bool keepPassword = false;
    uint8_t password[32] = {};
};

class UMyRecentServers
{
public:
    static const char kFileName[];
    static constexpr uint32_t kMaxServers = 10;
    // The file is read only up to this size; anything longer is not one of ours.
    static constexpr uint32_t kMaxSize = 8 * 1024;

    // Lines of address, login and bookmark separated by tabs, and for a server whose password is kept a
    // fourth field: the password, its bytes inverted and written in hexadecimal (out of plain sight,
    // no protection). A line that is not three or four such fields within their sizes is skipped, as is
    // an address met before; at most kMaxServers.
    static std::vector<SMyRecentServer> Parse(const void* bytes, uint32_t size);
    static std::string Format(const std::vector<SMyRecentServer>& servers);

    // An empty list when the file is missing or unreadable; no error reaches the caller.
    static std::vector<SMyRecentServer> Read();
    // `server` goes first, in place of an entry of the same address; the oldest past kMaxServers go.
    // A failure to write is passed on.
    static void Remember(const SMyRecentServer& server);
};
