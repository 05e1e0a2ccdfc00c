// The demo server's configuration file: one setting per line, "#" starts a comment.
//
//   guest yes|no                      whether logins without an account are accepted
//   guest-access all|none|BITS        access bits of guests (BITS: bit numbers separated by commas)
//   account LOGIN PASSWORD ACCESS NAME...
//   news TEXT                         one line of the news (repeat for more lines)
//   agreement TEXT                    one line of the agreement shown after login
//   welcome TEXT                      a server message sent after login
//   user ID ICON FLAGS NAME...        a user always listed as online
#pragma once

#include <string>

class CServerModel;

// Reads the file into the model; false (with a message in outError) when a line cannot be used.
bool ReadServerConfig(const std::string& path, CServerModel& model, std::string& outError);
// The same for text already in memory.
bool ParseServerConfig(const std::string& text, CServerModel& model, std::string& outError);
