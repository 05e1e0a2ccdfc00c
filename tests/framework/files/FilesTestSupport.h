// A temporary folder per test, with XDG_DATA_HOME inside it, and small helpers for files and errors.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UPString.h"

class FilesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quenvol-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mRoot = pattern;
        const char* old = std::getenv("XDG_DATA_HOME");
        mOldXdg = old ? old : "";
        mHadXdg = old != nullptr;
        setenv("XDG_DATA_HOME", (mRoot + "/xdg").c_str(), 1);
    }
    void TearDown() override
    {
        if (mHadXdg)
            setenv("XDG_DATA_HOME", mOldXdg.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        std::error_code ec;
        std::filesystem::remove_all(mRoot, ec);
    }

    std::string PathOf(const std::string& relative) const { return mRoot + "/" + relative; }
    void WriteFile(const std::string& relative, const std::string& contents) const
    {
        std::ofstream(PathOf(relative), std::ios::binary) << contents;
    }
    std::string ReadFile(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void MakeFolder(const std::string& relative) const
    {
        std::filesystem::create_directories(PathOf(relative));
    }
    TFileSysRefObj* RootRef() const
    {
        return UFileSys::NewFromNativePath(mRoot.data(), uint32_t(mRoot.size()));
    }

    std::string mRoot;
    std::string mOldXdg;
    bool mHadXdg = false;
};

// A length-prefixed copy of a text.
inline std::basic_string<uint8_t> PStr(const std::string& text)
{
    std::basic_string<uint8_t> out(1, uint8_t(text.size()));
    out.append(text.begin(), text.end());
    return out;
}

inline std::string FromPStr(const uint8_t* name)
{
    return std::string(UPString::Text(name));
}

#define EXPECT_SERROR(statement, errType, errID)                                                             \
    do                                                                                                       \
    {                                                                                                        \
        try                                                                                                  \
        {                                                                                                    \
            statement;                                                                                       \
            ADD_FAILURE() << "no error raised, expected " << (errType) << "/" << (errID);                    \
        }                                                                                                    \
        catch (const SError& e)                                                                              \
        {                                                                                                    \
            EXPECT_EQ(e.type, (errType));                                                                    \
            EXPECT_EQ(e.id, (errID));                                                                        \
        }                                                                                                    \
    } while (0)
