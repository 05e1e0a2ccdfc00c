// The server model's shared files: listings, information and the changes a client may make, all on a real
// folder on disk. Every path and name from a client is resolved inside that folder or refused; links are
// listed as aliases and are never followed out of it.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;
namespace fs = std::filesystem;

namespace
{
// Access bits of the files section.
enum : unsigned
{
    kCanDeleteFiles = 0,
    kCanRenameFiles = 3,
    kCanMoveFiles = 4,
    kCanCreateFolders = 5,
    kCanDeleteFolders = 6,
    kCanRenameFolders = 7,
    kCanMoveFolders = 8,
    kCanCommentFiles = 28,
    kCanCommentFolders = 29,
    kCanMakeAliases = 31,
};

struct SItem
{
    bool exists = false;
    bool isFolder = false;
    bool isAlias = false;
    uint32_t type = 0;
    uint32_t creator = 0;
    uint32_t size = 0; // bytes; the item count of a folder; 0 for an alias
    struct timespec created
    {
    };
    struct timespec modified
    {
    };
};

// Type and creator codes by the name's extension (1 to 3 characters after the last dot, any case), as a
// server on a file system without codes reports them.
void CodesOfName(const std::string& name, uint32_t& outType, uint32_t& outCreator)
{
    struct SCodes
    {
        const char* ext;
        const char* type;
        const char* creator;
    };
    static const SCodes kTable[] = {
        {"bmp", "BMP ", "GKON"}, {"c", "TEXT", "CWIE"},   {"cp", "TEXT", "CWIE"},  {"cpp", "TEXT", "CWIE"},
        {"h", "TEXT", "CWIE"},   {"hpp", "TEXT", "CWIE"}, {"dat", "BINA", "hDmp"}, {"doc", "W6BN", "MSWD"},
        {"exe", "DEXE", "CWIE"}, {"gif", "GIFf", "GKON"}, {"qbm", "QVbm", "QVLC"}, {"qpf", "QVft", "QVLC"},
        {"jpg", "JPEG", "GKON"}, {"mov", "MooV", "TVOD"}, {"mp3", "MP3 ", "MAmp"}, {"mpg", "MPG ", "TVOD"},
        {"sit", "SITD", "SIT!"}, {"tif", "TIFF", "GKON"}, {"txt", "TEXT", "ttxt"}, {"wav", "WAVE", "TVOD"},
        {"zip", "ZIP ", "ZIP "},
    };
    auto code = [](const char* c)
    {
        return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 |
               uint32_t(uint8_t(c[3]));
    };
    outType = Code("BINA");
    outCreator = Code("dosa");
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return;
    std::string ext = name.substr(dot + 1);
    if (ext.empty() || ext.size() > 3) return;
    for (char& c : ext)
        c = char(std::tolower(uint8_t(c)));
    for (const SCodes& codes : kTable)
        if (ext == codes.ext)
        {
            outType = code(codes.type);
            outCreator = code(codes.creator);
            return;
        }
}

uint32_t CountItems(const std::string& folder)
{
    uint32_t n = 0;
    if (DIR* dir = opendir(folder.c_str()))
    {
        while (const dirent* e = readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
        closedir(dir);
    }
    return n;
}

// What the item is, without following it when it is a link.
SItem Describe(const std::string& path)
{
    SItem item;
    struct statx st
    {
    };
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
        return item;
    item.exists = true;
    item.modified = {st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec};
    item.created =
        (st.stx_mask & STATX_BTIME) ? timespec{st.stx_btime.tv_sec, st.stx_btime.tv_nsec} : item.modified;
    const std::string name = path.substr(path.rfind('/') + 1);
    if (S_ISLNK(st.stx_mode))
    {
        item.isAlias = true;
        item.type = Code("alis");
    }
    else if (S_ISDIR(st.stx_mode))
    {
        item.isFolder = true;
        item.type = Code("fldr");
        item.size = CountItems(path);
    }
    else
    {
        CodesOfName(name, item.type, item.creator);
        item.size = uint32_t(std::min<uint64_t>(st.stx_size, 0xFFFFFFFF));
    }
    return item;
}

// Year, milliseconds, and seconds since the start of that year, in universal time.
std::string DateRecord(const timespec& when)
{
    struct tm parts
    {
    };
    const time_t secs = when.tv_sec;
    gmtime_r(&secs, &parts);
    const uint32_t inYear = uint32_t(parts.tm_yday) * 86400u + uint32_t(parts.tm_hour) * 3600u +
                            uint32_t(parts.tm_min) * 60u + uint32_t(parts.tm_sec);
    return testwire::BE16(uint16_t(parts.tm_year + 1900)) + testwire::BE16(uint16_t(when.tv_nsec / 1000000)) +
           testwire::BE32(inYear);
}

std::string CodeText(uint32_t code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += char(uint8_t(code >> shift));
    return text;
}

std::string KindText(const SItem& item)
{
    if (item.isFolder) return "Folder";
    if (item.isAlias) return "Alias";
    return CodeText(item.type);
}

// The refusal text for a failed system call on an item.
std::string Why(int err)
{
    switch (err)
    {
    case EEXIST:
    case ENOTEMPTY:
        return "An item of that name already exists.";
    case ENOENT:
        return "Cannot find the file or folder.";
    case EINVAL:
        return "A folder cannot be moved into itself.";
    case EACCES:
    case EPERM:
    case EROFS:
        return "The server may not change that item.";
    default:
        return "The server could not do that.";
    }
}
} // namespace

bool CServerModel::ShareFolder(const std::string& folder)
{
    return mShared.SetRoot(folder);
}

void CServerModel::MoveComments(const std::string& from, const std::string& to)
{
    std::map<std::string, std::string> moved;
    for (auto it = comments.begin(); it != comments.end();)
    {
        const std::string& key = it->first;
        if (key == from || key.compare(0, from.size() + 1, from + "/") == 0)
        {
            moved[to + key.substr(from.size())] = it->second;
            it = comments.erase(it);
        }
        else
            ++it;
    }
    comments.merge(moved);
}

void CServerModel::DropComments(const std::string& item)
{
    for (auto it = comments.begin(); it != comments.end();)
        if (it->first == item || it->first.compare(0, item.size() + 1, item + "/") == 0)
            it = comments.erase(it);
        else
            ++it;
}

bool CServerModel::AnswerFiles(SRequest& r)
{
    const std::string& body = r.request.body;
    const std::string record = CFields::Find(body, kFilePath);
    const std::string name = CFields::Find(body, kFileName);
    switch (r.request.header.type)
    {
    case 200: // folder listing
    {
        std::string folder;
        if (!mShared.ResolveFolder(record, folder))
        {
            // The root is there (and empty) even when nothing is shared.
            std::vector<std::string> levels;
            if (!mShared.IsSet() && CSharedFolder::ParsePath(record, levels) && levels.empty()) return true;
            Refuse(r.reply, "Cannot find the folder.");
            return true;
        }
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder.c_str()))
        {
            while (const dirent* e = readdir(dir))
            {
                const std::string entry = e->d_name;
                // A name the protocol cannot carry stays unlisted.
                if (entry != "." && entry != ".." && entry.size() <= 255) names.push_back(entry);
            }
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        CFields fields;
        for (const std::string& entry : names)
        {
            const SItem item = Describe(folder + "/" + entry);
            if (!item.exists) continue;
            // A partly uploaded file is listed under the name it will have, marked partial by its codes.
            const bool partial = item.type == Code("QVft") && entry.size() > 4;
            fields.Add(kFileEntry, testwire::FileEntry(item.type, item.creator, item.size,
                                                       partial ? entry.substr(0, entry.size() - 4) : entry));
        }
        r.reply.body = fields.Bytes();
        return true;
    }
    case 204: // delete
    {
        std::string path;
        const SItem item = mShared.ResolveItem(record, name, path) ? Describe(path) : SItem{};
        if (!item.exists)
        {
            Refuse(r.reply, "Cannot find the file or folder.");
            return true;
        }
        if (!Require(r, item.isFolder ? kCanDeleteFolders : kCanDeleteFiles,
                     "You are not allowed to delete that."))
            return true;
        std::error_code ec;
        // A link goes itself; what it points at stays.
        fs::remove_all(path, ec);
        if (ec)
        {
            Refuse(r.reply, Why(ec.value()));
            return true;
        }
        DropComments(mShared.RelativeOf(path));
        return true;
    }
    case 205: // new folder
    {
        std::string path;
        if (!mShared.ResolveItem(record, name, path))
        {
            Refuse(r.reply, CSharedFolder::IsPlainName(name) ? "Cannot find the folder."
                                                             : "That name cannot be used.");
            return true;
        }
        if (!Require(r, kCanCreateFolders, "You are not allowed to create folders.")) return true;
        if (mkdir(path.c_str(), 0755) != 0) Refuse(r.reply, Why(errno));
        return true;
    }
    case 206: // information
    {
        std::string path;
        const SItem item = mShared.ResolveItem(record, name, path) ? Describe(path) : SItem{};
        if (!item.exists)
        {
            Refuse(r.reply, "Cannot find the file or folder.");
            return true;
        }
        CFields fields;
        fields.Add(kFileName, name).Add(kFileTypeText, KindText(item));
        fields.Add(kFileCreatorText, item.creator ? CodeText(item.creator) : std::string());
        auto comment = comments.find(mShared.RelativeOf(path));
        if (comment != comments.end()) fields.Add(kFileComment, comment->second);
        fields.Add(kFileTypeCode, testwire::BE32(item.type))
            .Add(kCreateDate, DateRecord(item.created))
            .Add(kModifyDate, DateRecord(item.modified))
            .Add(kFileSize, Unsigned(item.size));
        r.reply.body = fields.Bytes();
        return true;
    }
    case 207: // rename and comment
    {
        std::string path;
        const SItem item = mShared.ResolveItem(record, name, path) ? Describe(path) : SItem{};
        if (!item.exists)
        {
            Refuse(r.reply, "Cannot find the file or folder.");
            return true;
        }
        const std::string newName = CFields::Find(body, kFileNewName);
        const std::string comment = CFields::Find(body, kFileComment);
        const bool rename = !newName.empty() && newName != name;
        if (rename && !CSharedFolder::IsPlainName(newName))
        {
            Refuse(r.reply, "That name cannot be used.");
            return true;
        }
        if (rename && !Require(r, item.isFolder ? kCanRenameFolders : kCanRenameFiles,
                               "You are not allowed to rename that."))
            return true;
        if (!comment.empty() && !Require(r, item.isFolder ? kCanCommentFolders : kCanCommentFiles,
                                         "You are not allowed to comment that."))
            return true;
        std::string key = mShared.RelativeOf(path);
        if (rename)
        {
            const std::string target = path.substr(0, path.rfind('/') + 1) + newName;
            // rename() would replace an existing file of that name without a word.
            if (Describe(target).exists)
            {
                Refuse(r.reply, Why(EEXIST));
                return true;
            }
            if (::rename(path.c_str(), target.c_str()) != 0)
            {
                Refuse(r.reply, Why(errno));
                return true;
            }
            const std::string newKey = mShared.RelativeOf(target);
            MoveComments(key, newKey);
            key = newKey;
        }
        // A lone 0 byte clears the comment; no field leaves it as it is.
        if (comment == std::string(1, '\0'))
            comments.erase(key);
        else if (!comment.empty())
            comments[key] = comment;
        return true;
    }
    case 208: // move
    case 209: // alias
    {
        const bool alias = r.request.header.type == 209;
        std::string path, destFolder;
        const SItem item = mShared.ResolveItem(record, name, path) ? Describe(path) : SItem{};
        if (!item.exists || !mShared.ResolveFolder(CFields::Find(body, kFileNewPath), destFolder))
        {
            Refuse(r.reply, "Cannot find the file or folder.");
            return true;
        }
        if (!Require(r,
                     alias           ? kCanMakeAliases
                     : item.isFolder ? kCanMoveFolders
                                     : kCanMoveFiles,
                     alias ? "You are not allowed to make aliases." : "You are not allowed to move that."))
            return true;
        const std::string target = destFolder + "/" + name;
        // A move into the folder the item is in already changes nothing.
        if (!alias && target == path) return true;
        if (Describe(target).exists)
        {
            Refuse(r.reply, Why(EEXIST));
            return true;
        }
        if (alias)
        {
            // Relative, so that the shared folder can move as a whole.
            const std::string link = fs::path(path).lexically_relative(destFolder).string();
            if (symlink(link.c_str(), target.c_str()) != 0) Refuse(r.reply, Why(errno));
            return true;
        }
        if (item.isAlias)
        {
            // An alias keeps pointing at its original from its new folder.
            std::error_code ec;
            const fs::path original =
                (fs::path(path).parent_path() / fs::read_symlink(path, ec)).lexically_normal();
            const std::string link = original.lexically_relative(destFolder).string();
            if (ec || symlink(link.c_str(), target.c_str()) != 0 || unlink(path.c_str()) != 0)
            {
                Refuse(r.reply, Why(ec ? ec.value() : errno));
                return true;
            }
        }
        else if (::rename(path.c_str(), target.c_str()) != 0)
        {
            Refuse(r.reply, Why(errno));
            return true;
        }
        MoveComments(mShared.RelativeOf(path), mShared.RelativeOf(target));
        return true;
    }
    default:
        return false;
    }
}
