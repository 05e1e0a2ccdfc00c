// rezbuild: makes the client's resource data file from the readable sources in resources/.
// Usage: rezbuild -o OUTPUT [--depfile DEPFILE] SOURCE.rez...
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/rezbuild/RezContainer.h"
#include "tools/rezbuild/RezSource.h"

namespace
{
int Usage()
{
    std::cerr << "usage: rezbuild -o OUTPUT [--depfile DEPFILE] SOURCE.rez...\n";
    return 2;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Make-style: blanks in paths are escaped with a backslash.
std::string DepEscape(const std::string& path)
{
    std::string out;
    for (char c : path)
    {
        if (c == ' ' || c == '#') out.push_back('\\');
        if (c == '$') out.push_back('$');
        out.push_back(c);
    }
    return out;
}

// Written next to the target and renamed, so an interrupted build never leaves half a file behind.
bool WriteFile(const std::string& path, const std::string& bytes)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush())
        {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0)
    {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    std::string output, depfile;
    std::vector<std::string> sources;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if ((arg == "-o" || arg == "--depfile") && i + 1 < argc)
            (arg == "-o" ? output : depfile) = argv[++i];
        else if (!arg.empty() && arg[0] == '-')
            return Usage();
        else
            sources.push_back(arg);
    }
    if (output.empty() || sources.empty()) return Usage();

    rezbuild::SSource all;
    for (const auto& path : sources)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
        {
            std::cerr << "rezbuild: cannot read " << path << "\n";
            return 1;
        }
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        if (!rezbuild::ParseSource(text, path, FolderOf(path), all, error))
        {
            std::cerr << "rezbuild: " << error << "\n";
            return 1;
        }
    }

    std::string file, error;
    if (!rezbuild::BuildContainer(all.items, file, error))
    {
        std::cerr << "rezbuild: " << error << "\n";
        return 1;
    }
    if (!WriteFile(output, file))
    {
        std::cerr << "rezbuild: cannot write " << output << "\n";
        return 1;
    }
    if (!depfile.empty())
    {
        std::string deps = DepEscape(output) + ":";
        for (const auto& path : sources)
            deps += " " + DepEscape(path);
        for (const auto& path : all.dependencies)
            deps += " " + DepEscape(path);
        deps += "\n";
        if (!WriteFile(depfile, deps))
        {
            std::cerr << "rezbuild: cannot write " << depfile << "\n";
            return 1;
        }
    }
    return 0;
}
