// UTF-8 source text to the Mac OS Roman bytes that the client's resources hold.
#pragma once

#include <string>

namespace rezbuild
{
// Converts text; on a malformed sequence or a character the set lacks, returns false and says which in
// outError. Tabs pass through; other control characters are refused.
bool Utf8ToMacRoman(const std::string& text, std::string& outBytes, std::string& outError);
} // namespace rezbuild
