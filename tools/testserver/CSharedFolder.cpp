#include "tools/testserver/CSharedFolder.h"

#include <filesystem>
#include <system_error>

#include "tools/testserver/TestWire.h"

namespace fs = std::filesystem;

namespace
{
// A record this short names the root.
constexpr size_t kRootRecordSize = 5;

bool RealPath(const std::string& path, std::string& out)
{
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (ec) return false;
    out = real.string();
    return true;
}
} // namespace

bool CSharedFolder::SetRoot(const std::string& folder)
{
    mRoot.clear();
    if (folder.empty()) return true;
    std::string real;
    std::error_code ec;
    if (!RealPath(folder, real) || !fs::is_directory(real, ec)) return false;
    mRoot = real;
    return true;
}

bool CSharedFolder::IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool CSharedFolder::ParsePath(const std::string& record, std::vector<std::string>& outLevels)
{
    outLevels.clear();
    if (record.size() <= kRootRecordSize) return true;
    const uint16_t count = testwire::ReadBE16(record, 0);
    size_t at = 2;
    for (uint16_t i = 0; i < count; ++i)
    {
        if (record.size() - at < 3) return false;
        const size_t length = uint8_t(record[at + 2]);
        if (record.size() - at - 3 < length) return false;
        std::string level = record.substr(at + 3, length);
        if (!IsPlainName(level)) return false;
        outLevels.push_back(std::move(level));
        at += 3 + length;
    }
    // Bytes the count does not account for make the record as doubtful as missing ones.
    return at == record.size();
}

bool CSharedFolder::ResolveFolder(const std::string& record, std::string& outFolder) const
{
    std::vector<std::string> levels;
    if (!IsSet() || !ParsePath(record, levels)) return false;
    std::string path = mRoot;
    for (const std::string& level : levels)
        path += "/" + level;
    std::string real;
    std::error_code ec;
    if (!RealPath(path, real) || !fs::is_directory(real, ec) || !IsInside(real)) return false;
    outFolder = real;
    return true;
}

bool CSharedFolder::ResolveItem(const std::string& record, const std::string& name,
                                std::string& outPath) const
{
    std::string folder;
    if (!IsPlainName(name) || !ResolveFolder(record, folder)) return false;
    outPath = folder + "/" + name;
    return true;
}

bool CSharedFolder::IsInside(const std::string& path) const
{
    std::string real;
    if (!IsSet() || !RealPath(path, real)) return false;
    return real == mRoot || (real.size() > mRoot.size() && real.compare(0, mRoot.size(), mRoot) == 0 &&
                             real[mRoot.size()] == '/');
}

std::string CSharedFolder::RelativeOf(const std::string& path) const
{
    if (path.size() <= mRoot.size() + 1 || path.compare(0, mRoot.size(), mRoot) != 0) return {};
    return path.substr(mRoot.size() + 1);
}
