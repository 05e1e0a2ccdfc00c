// The file tests' temporary folder, whose XDG_DATA_HOME makes the program's folder the test's own, and
// helpers for files in it and for length-prefixed texts.
#pragma once

#include <filesystem>
#include <string>

#include "framework/runtime/UPString.h"
#include "tests/framework/files/FilesTestSupport.h"

class PrefsFolderTest : public FilesTest
{
protected:
    // The path of a file in the program's folder for user files.
    std::string UserPath(const std::string& relative) const { return PathOf("xdg/Quenvol/" + relative); }
    void WriteUserFile(const std::string& relative, const std::string& contents) const
    {
        std::filesystem::create_directories(std::filesystem::path(UserPath(relative)).parent_path());
        std::ofstream(UserPath(relative), std::ios::binary) << contents;
    }
    std::string ReadUserFile(const std::string& relative) const { return ReadFile(UserPath(relative)); }
    bool UserFileExists(const std::string& relative) const
    {
        return std::filesystem::exists(UserPath(relative));
    }
};

inline std::string Text(const uint8_t* pstring)
{
    return std::string(UPString::Text(pstring));
}

// A length-prefixed copy of text, cut to fit the buffer.
template <size_t N>
void SetText(uint8_t (&out)[N], const std::string& text)
{
    UPString::SetBytes(out, text.data(), uint32_t(text.size()));
}
