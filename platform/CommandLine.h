// The arguments the program was started with, without the program name.
#pragma once

#include <string>
#include <vector>

namespace platform
{
void SetArguments(int argc, char** argv);
const std::vector<std::string>& Arguments();
} // namespace platform
