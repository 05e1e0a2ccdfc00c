#include "tools/testserver/CServerModel.h"

#include "tools/testserver/CTestServer.h"

#include <cctype>

using testwire::CFields;

namespace
{
// Field and transaction numbers as the server side knows them.
enum : uint16_t
{
    kError = 100,
    kData = 101,
    kName = 102,
    kUserID = 103,
    kIcon = 104,
    kLogin = 105,
    kPassword = 106,
    kKind = 109,
    kAccess = 110,
    kFlags = 112,
    kFileEntry = 200,
    kFilePath = 202,
    kUserEntry = 300,
};

uint32_t Code(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
           uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

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

int32_t Integer(const std::string& data)
{
    if (data.size() == 2) return testwire::ReadBE16(data, 0);
    if (data.size() == 4) return int32_t(testwire::ReadBE32(data, 0));
    return 0;
}

void Refuse(STestReply& reply, const std::string& text)
{
    reply.error = 1;
    reply.body = CFields().Add(kError, text).Bytes();
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

std::string CServerModel::Complement(std::string text)
{
    for (char& c : text)
        c = char(~uint8_t(c));
    return text;
}

SAccessBits CServerModel::AllAccess()
{
    SAccessBits bits;
    bits.fill(0xFF);
    return bits;
}

bool CServerModel::IsLoggedIn(uint32_t connection) const
{
    auto it = mSessions.find(connection);
    return it != mSessions.end() && it->second.loggedIn;
}

std::string CServerModel::LoginOf(uint32_t connection) const
{
    auto it = mSessions.find(connection);
    return it == mSessions.end() ? std::string() : it->second.login;
}

std::vector<SServerUser> CServerModel::OnlineUsers() const
{
    std::vector<SServerUser> users;
    for (const auto& [connection, session] : mSessions)
        if (session.loggedIn) users.push_back(session.user);
    users.insert(users.end(), extraUsers.begin(), extraUsers.end());
    return users;
}

std::string CServerModel::UserFields(const SServerUser& user)
{
    return CFields()
        .AddInteger(kUserID, user.id)
        .AddInteger(kIcon, user.icon)
        .AddInteger(kFlags, user.flags)
        .Add(kName, user.name)
        .Bytes();
}

void CServerModel::NotifyOthers(CTestServer& server, uint32_t connection, uint16_t type,
                                const std::string& body)
{
    for (const auto& [other, session] : mSessions)
        if (other != connection && session.loggedIn) server.PushTransactionTo(other, type, body);
}

bool CServerModel::Answer(CTestServer& server, uint32_t connection, const STestTransaction& request,
                          STestReply& reply, std::vector<std::pair<uint16_t, std::string>>& followUps)
{
    const std::string& body = request.body;
    SSession& session = mSessions[connection];
    reply = STestReply{};
    switch (request.header.type)
    {
    case 107: // login
    {
        const std::string login = Complement(CFields::Find(body, kLogin));
        const std::string password = Complement(CFields::Find(body, kPassword));
        SAccessBits access = guestAccess;
        std::string name = CFields::Find(body, kName);
        if (login.empty())
        {
            if (!guestAllowed)
            {
                Refuse(reply, "This server does not accept guests.");
                return true;
            }
        }
        else
        {
            auto it = accounts.find(login);
            if (it == accounts.end() || it->second.password != password)
            {
                Refuse(reply, "Incorrect login or password.");
                return true;
            }
            access = it->second.access;
            if (name.empty()) name = it->second.name;
        }
        if (name.empty()) name = "unnamed";
        const bool wasLoggedIn = session.loggedIn;
        session.loggedIn = true;
        session.login = login;
        if (!wasLoggedIn) session.user.id = mNextUserID++;
        session.user.icon = int16_t(Integer(CFields::Find(body, kIcon)));
        session.user.name = name;
        followUps.emplace_back(354,
                               CFields().Add(kAccess, std::string(access.begin(), access.end())).Bytes());
        if (!agreement.empty()) followUps.emplace_back(109, CFields().Add(kData, agreement).Bytes());
        if (!welcome.empty())
            followUps.emplace_back(
                104, CFields().AddInteger(kUserID, 0).Add(kData, welcome).AddInteger(kKind, 1).Bytes());
        NotifyOthers(server, connection, 301, UserFields(session.user));
        return true;
    }
    case 300: // online users
    {
        CFields fields;
        for (const SServerUser& user : OnlineUsers())
            fields.Add(kUserEntry, testwire::UserEntry(user.id, user.icon, user.flags, user.name));
        reply.body = fields.Bytes();
        return true;
    }
    case 101: // news
        reply.body = CFields().Add(kData, news).Bytes();
        return true;
    case 200: // folder listing
    {
        std::string folder;
        auto it = files.end();
        if (FolderOfPath(CFields::Find(body, kFilePath), folder)) it = files.find(folder);
        if (it == files.end())
        {
            // The root is there even when nothing is shared.
            if (folder.empty()) return true;
            Refuse(reply, "Cannot find the folder.");
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
        reply.body = fields.Bytes();
        return true;
    }
    case 103: // post news
    {
        const std::string article = CFields::Find(body, kData);
        news = article + "\r_________________________________________________\r" + news;
        NotifyOthers(server, connection, 102, CFields().Add(kData, article).Bytes());
        return true;
    }
    case 105: // chat line, one-way: everybody (the sender too) sees it
    {
        const std::string line = "\r" + session.user.name + ":  " + CFields::Find(body, kData);
        for (const auto& [other, s] : mSessions)
            if (s.loggedIn) server.PushTransactionTo(other, 106, CFields().Add(kData, line).Bytes());
        reply.answer = false;
        return true;
    }
    case 303: // client information
    {
        const uint16_t id = uint16_t(Integer(CFields::Find(body, kUserID)));
        for (const SServerUser& user : OnlineUsers())
            if (user.id == id)
            {
                reply.body = CFields()
                                 .Add(kName, user.name)
                                 .Add(kData, "Name: " + user.name + "\rConnected to the demo server.")
                                 .Bytes();
                return true;
            }
        Refuse(reply, "No such user.");
        return true;
    }
    case 304: // name and icon changed
        session.user.icon = int16_t(Integer(CFields::Find(body, kIcon)));
        session.user.name = CFields::Find(body, kName);
        if (session.loggedIn) NotifyOthers(server, connection, 301, UserFields(session.user));
        reply.answer = false;
        return true;
    default:
        return false;
    }
}

void CServerModel::Disconnected(CTestServer& server, uint32_t connection)
{
    auto it = mSessions.find(connection);
    if (it == mSessions.end()) return;
    const SSession session = it->second;
    mSessions.erase(it);
    if (session.loggedIn)
        NotifyOthers(server, connection, 302, CFields().AddInteger(kUserID, session.user.id).Bytes());
}

void CServerModel::SendServerMessage(CTestServer& server, const std::string& text, uint16_t kind)
{
    const std::string body =
        CFields().AddInteger(kUserID, 0).Add(kData, text).AddInteger(kKind, kind).Bytes();
    for (const auto& [connection, session] : mSessions)
        if (session.loggedIn) server.PushTransactionTo(connection, 104, body);
}

void CServerModel::SendDisconnectMessage(CTestServer& server, uint32_t connection, const std::string& text)
{
    server.PushTransactionTo(connection, 111, CFields().Add(kData, text).Bytes());
}
