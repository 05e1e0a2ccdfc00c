// The demo server: listens on 127.0.0.1, answers logins, the online users list and the news from its
// configuration file, relays chat, private chats and private messages between its clients, shares a
// folder (listings, information, changes and previews, the previews on the port after its own), and logs
// everything it receives to standard output. Lines typed on standard input send server messages
// ("msg TEXT", "admin TEXT"), disconnect a user ("kick CONNECTION TEXT") or list who is online
// ("users") and the accounts as they stand ("accounts"). With a "tracker" line in the configuration it
// also runs a tracker that lists this server and the configuration's "listed" servers.
//
//   quenvol-server [--port N] [--config FILE] [--cut-folder-after BYTES]
//                  [--transfer-cut N] [--transfer-piece N] [--transfer-close-at-end yes|no]
//     port 0 or none: a free port, printed at start; --cut-folder-after closes every folder download's
//     connection after that many bytes, to try resuming by hand. The transfer switches try a client's
//     handling of faults: file transfers cut after N bytes behind the handshake, streams written N
//     bytes per turn of the loop (1: byte by byte), and whether the server closes right after a
//     stream's last byte (the default) or waits for the client to close.
#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <unistd.h>

#include "framework/runtime/UApplication.h"
#include "platform/EventLoop.h"
#include "platform/Socket.h"
#include "tools/quenvol-server/ServerConfig.h"
#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTestServer.h"
#include "tools/testserver/CTestTracker.h"
#include "tools/testserver/CTransferServer.h"

namespace
{
CTestServer* gServer = nullptr;
CServerModel* gModel = nullptr;
platform::SocketWatchObj* gInputWatch = nullptr;
std::string gInputLine;

void Log(uint32_t connection, const std::string& text)
{
    std::printf("[%u] %s\n", connection, text.c_str());
    std::fflush(stdout);
}

std::string Printable(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes)
    {
        if (c == '\r')
            out += "\\r";
        else if (c >= 0x20 && c < 0x7F)
            out += char(c);
        else
        {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

const char* TypeName(uint16_t type)
{
    switch (type)
    {
    case 101:
        return "get news";
    case 103:
        return "post news";
    case 105:
        return "chat";
    case 107:
        return "login";
    case 108:
        return "private message";
    case 112:
        return "new private chat";
    case 113:
        return "invite to chat";
    case 114:
        return "decline chat";
    case 115:
        return "join chat";
    case 116:
        return "leave chat";
    case 120:
        return "set chat subject";
    case 200:
        return "list folder";
    case 202:
        return "download or preview";
    case 210:
        return "download folder";
    case 204:
        return "delete";
    case 205:
        return "new folder";
    case 206:
        return "get file info";
    case 207:
        return "set file info";
    case 208:
        return "move";
    case 209:
        return "make alias";
    case 300:
        return "get online users";
    case 303:
        return "get client info";
    case 304:
        return "set user info";
    case 110:
        return "disconnect user";
    case 350:
        return "new account";
    case 351:
        return "delete account";
    case 352:
        return "open account";
    case 353:
        return "change account";
    case 355:
        return "broadcast";
    default:
        return "request";
    }
}

void LogRequest(CTestServer& server, const STestTransaction& t)
{
    std::ostringstream line;
    line << (t.header.isReply ? "reply" : TypeName(t.header.type)) << " (type " << t.header.type << ", id "
         << t.header.id << ")";
    for (const auto& [id, data] : testwire::CFields::Parse(t.body))
    {
        line << "  " << id << "=";
        if (id == 105)
            // Logins travel complemented, except in a request to open an account.
            line << "\""
                 << Printable(t.header.type == 352 && !t.header.isReply ? data
                                                                        : CServerModel::Complement(data))
                 << "\"";
        else if (id == 106)
            line << "(" << data.size() << " bytes)"; // passwords are not logged
        else if (data.size() <= 4 && (id == 103 || id == 104 || id == 109 || id == 113 || id == 114))
            line << (data.size() == 2   ? testwire::ReadBE16(data, 0)
                     : data.size() == 4 ? testwire::ReadBE32(data, 0)
                                        : 0);
        else
            line << "\"" << Printable(data.substr(0, 80)) << (data.size() > 80 ? "..." : "") << "\"";
    }
    if (t.header.type == 107 && !t.header.isReply)
        line << (gModel->IsLoggedIn(server.CurrentConnection()) ? "  -> accepted" : "  -> refused");
    Log(server.CurrentConnection(), line.str());
}

void Command(const std::string& line)
{
    std::istringstream in(line);
    std::string word, rest;
    in >> word;
    std::getline(in >> std::ws, rest);
    if (word == "msg" || word == "admin")
    {
        gModel->SendServerMessage(*gServer, rest, word == "msg" ? 1 : 0);
        Log(0, "sent " + word + " \"" + rest + "\"");
    }
    else if (word == "kick")
    {
        std::istringstream args(rest);
        uint32_t connection = 0;
        std::string text;
        args >> connection;
        std::getline(args >> std::ws, text);
        gModel->SendDisconnectMessage(*gServer, connection, text.empty() ? "You were disconnected." : text);
        gServer->CloseConnection(connection);
        Log(connection, "kicked");
    }
    else if (word == "users")
    {
        for (const SServerUser& u : gModel->OnlineUsers())
            Log(0, "online: " + std::to_string(u.id) + " " + u.name);
    }
    else if (word == "accounts")
    {
        for (const auto& [login, account] : gModel->accounts)
        {
            std::string bits;
            for (uint8_t b : account.access)
            {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%02X", b);
                bits += hex;
            }
            Log(0, "account: " + login + " \"" + account.name + "\" access " + bits +
                       (gModel->banned.count(login) ? " (banned)" : ""));
        }
    }
    else if (word == "quit")
        UApplication::Quit();
    else if (!word.empty())
        Log(0, "commands: msg TEXT | admin TEXT | kick CONNECTION [TEXT] | users | accounts | quit");
}

void InputEvent(void*, int)
{
    char buffer[1024];
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0)
    {
        // No more input (or none at all, as when started in the background): stop watching it.
        platform::UnwatchSocket(gInputWatch);
        gInputWatch = nullptr;
        return;
    }
    gInputLine.append(buffer, size_t(n));
    for (size_t end; (end = gInputLine.find('\n')) != std::string::npos;)
    {
        const std::string line = gInputLine.substr(0, end);
        gInputLine.erase(0, end + 1);
        Command(line);
    }
}

int Usage()
{
    std::fprintf(stderr, "usage: quenvol-server [--port N] [--config FILE] [--cut-folder-after BYTES] "
                         "[--transfer-cut N] [--transfer-piece N] [--transfer-close-at-end yes|no]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    long port = 0;
    std::string config;
    unsigned long long folderCut = 0;
    unsigned long long transferCut = 0, transferPiece = 0;
    bool closeAtEnd = true;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--port" && i + 1 < argc)
        {
            char* end = nullptr;
            port = std::strtol(argv[++i], &end, 10);
            if (*end || port < 0 || port > 65535) return Usage();
        }
        else if (arg == "--config" && i + 1 < argc)
            config = argv[++i];
        else if (arg == "--cut-folder-after" && i + 1 < argc)
        {
            char* end = nullptr;
            folderCut = std::strtoull(argv[++i], &end, 10);
            if (*end || argv[i][0] == '-') return Usage();
        }
        else if ((arg == "--transfer-cut" || arg == "--transfer-piece") && i + 1 < argc)
        {
            char* end = nullptr;
            const unsigned long long n = std::strtoull(argv[++i], &end, 10);
            if (*end || argv[i][0] == '-') return Usage();
            (arg == "--transfer-cut" ? transferCut : transferPiece) = n;
        }
        else if (arg == "--transfer-close-at-end" && i + 1 < argc)
        {
            const std::string value = argv[++i];
            if (value != "yes" && value != "no") return Usage();
            closeAtEnd = value == "yes";
        }
        else
            return Usage();
    }

    QCoreApplication app(argc, argv);
    platform::InitEventLoop();
    UApplication::Init();

    CServerModel model;
    model.guestAccess = CServerModel::AllAccess();
    SServerTrackerConfig trackerConfig;
    std::string error;
    if (!config.empty() && !ReadServerConfig(config, model, trackerConfig, error))
    {
        std::fprintf(stderr, "quenvol-server: %s\n", error.c_str());
        return 1;
    }
    CTestServer server;
    CTransferServer transfers;
    transfers.SetCutAfter(transferCut);
    transfers.SetPieceSize(uint32_t(std::min<unsigned long long>(transferPiece, 0xFFFFFFFFu)));
    transfers.SetCloseAtEnd(closeAtEnd);
    server.SetModel(&model);
    model.transfers = &transfers;
    transfers.SetFolderCutAfter(folderCut);
    gServer = &server;
    gModel = &model;
    server.onRequest = LogRequest;
    server.onEvent = Log;
    transfers.onEvent = [](uint32_t connection, const std::string& what)
    {
        std::printf("[transfer %u] %s\n", connection, what.c_str());
        std::fflush(stdout);
    };
    // Transfers go to the port after the server's own.
    if (!CTransferServer::ListenPair(server, transfers, uint16_t(port)))
    {
        std::fprintf(stderr, "quenvol-server: cannot listen on 127.0.0.1:%ld and the port after it\n", port);
        return 1;
    }
    if (!model.SharedFolder().empty()) std::printf("sharing %s\n", model.SharedFolder().c_str());
    std::printf("quenvol-server listening on 127.0.0.1:%u\n", unsigned(server.Port()));
    std::fflush(stdout);

    CTestTracker tracker;
    if (trackerConfig.port >= 0)
    {
        // A tracker port already taken (another demo running) only costs the tracker.
        if (tracker.Listen(uint16_t(trackerConfig.port)))
        {
            STestTrackedServer self;
            self.port = server.Port();
            self.users = uint16_t(model.OnlineUsers().size());
            self.name = trackerConfig.name;
            self.desc = trackerConfig.desc;
            std::vector<STestTrackedServer> servers{self};
            servers.insert(servers.end(), trackerConfig.listed.begin(), trackerConfig.listed.end());
            tracker.SetServers(servers);
            std::printf("tracker listening on 127.0.0.1:%u\n", unsigned(tracker.Port()));
        }
        else
            std::printf("tracker: cannot listen on 127.0.0.1:%ld; running without it\n", trackerConfig.port);
        std::fflush(stdout);
    }

    gInputWatch = platform::WatchSocket(STDIN_FILENO, InputEvent, nullptr);
    platform::SetReadWatch(gInputWatch, true);
    UApplication::Run();
    platform::UnwatchSocket(gInputWatch);
    return 0;
}
