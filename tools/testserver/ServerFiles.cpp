// The server model's shared files: the tree of folders and listings.
#include <cctype>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
// The folder a path record names, levels joined by "/"; a record of 5 bytes or less is the root.
// False for a record that does not hold what its count says.
bool FolderOfPath(const std::string& record, std::string& outFolder)
{
    outFolder.clear();
    if (record.size() <= 5) return true;
    const uint16_t levels = testwire::ReadBE16(record, 0);
    size_t at = 2;
    for (uint16_t i = 0; i < levels; ++i)
    {
        if (at + 3 > record.size()) return false;
        const size_t length = uint8_t(record[at + 2]);
        if (at + 3 + length > record.size()) return false;
        if (!outFolder.empty()) outFolder += '/';
        outFolder += record.substr(at + 3, length);
        at += 3 + length;
    }
    return true;
}

// Type and creator codes by the name's extension, as a server of ordinary files would report them.
void CodesOfName(const std::string& name, uint32_t& outType, uint32_t& outCreator)
{
    std::string ext = name.substr(name.rfind('.') == std::string::npos ? name.size() : name.rfind('.') + 1);
    for (char& c : ext)
        c = char(std::tolower(uint8_t(c)));
    if (ext == "txt")
        outType = Code("TEXT"), outCreator = Code("ttxt");
    else if (ext == "jpg" || ext == "jpeg")
        outType = Code("JPEG"), outCreator = Code("ogle");
    else if (ext == "png")
        outType = Code("PNGf"), outCreator = Code("ogle");
    else if (ext == "zip")
        outType = Code("ZIP "), outCreator = Code("SITx");
    else
        outType = Code("BINA"), outCreator = Code("????");
}
} // namespace

void CServerModel::AddFile(const std::string& path, uint32_t size)
{
    const bool isFolder = !path.empty() && path.back() == '/';
    const std::string trimmed = isFolder ? path.substr(0, path.size() - 1) : path;
    if (trimmed.empty()) return;
    std::string folder;
    size_t start = 0;
    for (;;)
    {
        const size_t slash = trimmed.find('/', start);
        const std::string name =
            trimmed.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        const bool last = slash == std::string::npos;
        SServerFile& entry = files[folder][name];
        entry.isFolder = entry.isFolder || !last || isFolder;
        if (last)
        {
            if (!entry.isFolder) entry.size = size;
            if (entry.isFolder) files[folder.empty() ? name : folder + "/" + name];
            return;
        }
        folder = folder.empty() ? name : folder + "/" + name;
        files[folder];
        start = slash + 1;
    }
}

bool CServerModel::AnswerFiles(SRequest& r)
{
    switch (r.request.header.type)
    {
    case 200: // folder listing
    {
        std::string folder;
        auto it = files.end();
        if (FolderOfPath(CFields::Find(r.request.body, kFilePath), folder)) it = files.find(folder);
        if (it == files.end())
        {
            // The root is there even when nothing is shared.
            if (folder.empty()) return true;
            Refuse(r.reply, "Cannot find the folder.");
            return true;
        }
        CFields fields;
        for (const auto& [name, file] : it->second)
        {
            uint32_t type = Code("fldr"), creator = 0, size = file.size;
            if (!file.isFolder)
                CodesOfName(name, type, creator);
            else if (auto sub = files.find(folder.empty() ? name : folder + "/" + name); sub != files.end())
                size = uint32_t(sub->second.size());
            fields.Add(kFileEntry, testwire::FileEntry(type, creator, size, name));
        }
        r.reply.body = fields.Bytes();
        return true;
    }
    default:
        return false;
    }
}
