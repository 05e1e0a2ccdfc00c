// Names an upload gives on the server when its own is taken there: "name (2).ext", "name (3).ext" and
// so on, the number before a file's extension (a folder has none), within what a server name may hold.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class UMyUploadNames
{
public:
    // The longest name made; the server keeps its partial copy under the name and an extension more.
    static constexpr uint32_t kMaxName = 250;

    // The first numbered name of `name` (length-prefixed) that `isTaken` refuses, into outName (256 bytes).
    static void MakeFreeName(const uint8_t* name, bool isFolder,
                             const std::function<bool(const uint8_t*)>& isTaken, uint8_t* outName);
    // The name's bytes, for sets of names.
    static std::string Key(const uint8_t* name);
};
