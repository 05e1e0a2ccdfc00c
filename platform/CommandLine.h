// The arguments the program was started with, without the program name.
#pragma once

#include <string>
#include <vector>

namespace platform
{
// Keeps each argument as DocumentArgument gives it.
void SetArguments(int argc, char** argv);
const std::vector<std::string>& Arguments();
// An argument as a document that opens the same from any working folder, so that a running client can
// take it from a later start: a file: URI (what desktop launchers hand over) becomes its local path,
// and the relative path of an existing item becomes absolute. Anything else, such as a quenvol://
// address, stays as it is.
std::string DocumentArgument(const std::string& arg);
} // namespace platform
