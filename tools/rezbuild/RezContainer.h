// Writing the resource container that the client reads.
#pragma once

#include <string>
#include <vector>

#include "tools/rezbuild/RezSource.h"

namespace rezbuild
{
// Lays out items sorted by type and id, so that the same sources always give the same bytes. Fails on a
// duplicate (type, id), a zero type or id, or a container past 4 GiB.
bool BuildContainer(std::vector<SItem> items, std::string& outFile, std::string& outError);
} // namespace rezbuild
