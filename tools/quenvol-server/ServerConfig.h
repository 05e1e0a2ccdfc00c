// The demo server's configuration file: one setting per line, "#" starts a comment.
//
//   guest yes|no                      whether logins without an account are accepted
//   guest-access all|none|BITS        access bits of guests (BITS: bit numbers separated by commas)
//   account LOGIN PASSWORD ACCESS NAME...
//   news TEXT                         one line of the news (repeat for more lines)
//   agreement TEXT                    one line of the agreement shown after login
//   welcome TEXT                      a server message sent after login
//   user ID ICON FLAGS NAME...        a user always listed as online
//   files FOLDER                      the folder shared with clients (relative to the file's folder)
//   tracker PORT NAME | DESCRIPTION   also run a tracker on 127.0.0.1:PORT (0: a free port) that lists
//                                     this server under that name
//   listed ADDRESS PORT USERS NAME | DESCRIPTION
//                                     another server that the tracker lists (ADDRESS dotted)
#pragma once

#include <string>
#include <vector>

#include "tools/testserver/CTestTracker.h"

class CServerModel;

struct SServerTrackerConfig
{
    long port = -1; // -1: no tracker
    std::string name;
    std::string desc;
    std::vector<STestTrackedServer> listed;
};

// Reads the file into the model; false (with a message in outError) when a line cannot be used.
bool ReadServerConfig(const std::string& path, CServerModel& model, std::string& outError);
bool ReadServerConfig(const std::string& path, CServerModel& model, SServerTrackerConfig& tracker,
                      std::string& outError);
// The same for text already in memory; relative folders are taken from `baseFolder` (the current folder
// when empty).
bool ParseServerConfig(const std::string& text, CServerModel& model, std::string& outError,
                       const std::string& baseFolder = "");
bool ParseServerConfig(const std::string& text, CServerModel& model, SServerTrackerConfig& tracker,
                       std::string& outError, const std::string& baseFolder = "");
