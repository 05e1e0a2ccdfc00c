// The real folder a server shares. Path records and names that come from clients are resolved to places
// inside it and only there: a record that does not hold what its count says, a level or name that is not
// one plain name, or a link that leads out of the folder is refused.
#pragma once

#include <string>
#include <vector>

class CSharedFolder
{
public:
    // The folder to share ("" shares nothing); false when it is not a folder.
    bool SetRoot(const std::string& folder);
    const std::string& Root() const { return mRoot; }
    bool IsSet() const { return !mRoot.empty(); }

    // A name a client may give one item: not empty, not "." or "..", without "/" or NUL.
    static bool IsPlainName(const std::string& name);
    // The levels of a path record, none for the root (an absent record or one of 5 bytes or less).
    // False for a damaged record or a level that is not a plain name.
    static bool ParsePath(const std::string& record, std::vector<std::string>& outLevels);
    // The folder a path record names: its real location (links followed), which must be a folder in
    // the share.
    bool ResolveFolder(const std::string& record, std::string& outFolder) const;
    // An item in such a folder, by a plain name; the item itself is not followed if it is a link.
    bool ResolveItem(const std::string& record, const std::string& name, std::string& outPath) const;
    // True when the real location of `path` (links followed) is the share or lies inside it; false
    // also when it does not exist.
    bool IsInside(const std::string& path) const;
    // The path below the share's root ("" for the root itself), as a key for what the server keeps
    // about items.
    std::string RelativeOf(const std::string& path) const;

private:
    std::string mRoot; // real location, no trailing "/"
};
