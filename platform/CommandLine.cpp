#include "platform/CommandLine.h"

namespace platform
{
namespace
{
std::vector<std::string>& Storage()
{
    static std::vector<std::string> args;
    return args;
}
} // namespace

void SetArguments(int argc, char** argv)
{
    Storage().clear();
    for (int i = 1; i < argc; ++i)
        if (argv[i]) Storage().emplace_back(argv[i]);
}

const std::vector<std::string>& Arguments()
{
    return Storage();
}
} // namespace platform
