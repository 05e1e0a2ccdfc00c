// Detail lines, fallback texts, the alert text and the translation of OS error numbers.
#include <cerrno>
#include <gtest/gtest.h>
#include <netdb.h>
#include <string>

#include "framework/runtime/SError.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UMemory.h"

namespace
{
std::string Detail(const SError& e)
{
    char buf[256];
    return std::string(buf, UError::GetDetailMessage(e, buf, sizeof(buf)));
}

std::string Pair(int16_t type, int16_t id)
{
    return std::to_string(type) + "/" + std::to_string(id);
}

std::string FromOS(int err)
{
    int16_t type, id;
    _OSToGenError(err, type, id);
    return Pair(type, id);
}

std::string FromWin(int err)
{
    int16_t type, id;
    _WinToGenError(err, type, id);
    return Pair(type, id);
}

std::string gAlertText;
} // namespace

TEST(ErrorDetail, FormatFollowsFileAndSpecialFields)
{
    EXPECT_EQ(Detail(SError(8, 104)), "ID 8/104");
    try
    {
        _FailWinError(10061, "", 0);
    }
    catch (const SError& e)
    {
        EXPECT_EQ(Detail(e), "ID 8/104 [10061]");
    }
    EXPECT_EQ(Detail(SError(4, 103, "UFileSys.cpp", 42, false, false)), "ID 4/103 @ UFileSys.cpp #42");
    // An empty file name picks the short form whatever the line number.
    EXPECT_EQ(Detail(SError(4, 103, "", 42, false, false)), "ID 4/103");
    SError both(8, 100, "UTransport.cpp", 7, false, false);
    both.special = ECONNRESET;
    EXPECT_EQ(Detail(both), "ID 8/100 [" + std::to_string(ECONNRESET) + "] @ UTransport.cpp #7");
    char small[5];
    EXPECT_EQ(UError::GetDetailMessage(SError(8, 104), small, 5), 5u);
    EXPECT_EQ(std::string(small, 5), "ID 8/");
}

TEST(ErrorTranslation, WinTableRowsAndUnknownNumbers)
{
    EXPECT_EQ(FromWin(2), "4/103");
    EXPECT_EQ(FromWin(1413), "1/11");
    EXPECT_EQ(FromWin(10061), "8/104");
    EXPECT_EQ(FromWin(11002), "8/101");
    EXPECT_EQ(FromWin(9999), "1/1");
}

TEST(ErrorTranslation, LinuxNumbersLandOnTheRowsOfTheSameMeaning)
{
    EXPECT_EQ(FromOS(ENOENT), "4/103");
    EXPECT_EQ(FromOS(ENOTDIR), "4/102");
    EXPECT_EQ(FromOS(EACCES), "4/117");
    EXPECT_EQ(FromOS(EEXIST), "4/115");
    EXPECT_EQ(FromOS(ENOSPC), "4/101");
    EXPECT_EQ(FromOS(ENOMEM), "3/101");
    EXPECT_EQ(FromOS(EXDEV), "4/129");
    EXPECT_EQ(FromOS(EROFS), "4/111");
    EXPECT_EQ(FromOS(ECONNREFUSED), "8/104");
    EXPECT_EQ(FromOS(ETIMEDOUT), "8/103");
    EXPECT_EQ(FromOS(ENETUNREACH), "8/106");
    EXPECT_EQ(FromOS(EHOSTUNREACH), "8/106");
    EXPECT_EQ(FromOS(ECONNRESET), "8/100");
    EXPECT_EQ(FromOS(EPIPE), "8/100");
    EXPECT_EQ(FromOS(EADDRINUSE), "8/112");
    EXPECT_EQ(FromOS(EINVAL), "1/1");
    int16_t type, id;
    _HostLookupToGenError(EAI_NONAME, type, id);
    EXPECT_EQ(Pair(type, id), "8/101");
    _HostLookupToGenError(EAI_AGAIN, type, id);
    EXPECT_EQ(Pair(type, id), "8/101");
}

TEST(ErrorTranslation, RaisedOSErrorsCarryTheirNumber)
{
    try
    {
        FailOSError(ECONNREFUSED);
    }
    catch (const SError& e)
    {
        EXPECT_EQ(Pair(e.type, e.id), "8/104");
        EXPECT_EQ(e.special, ECONNREFUSED);
        EXPECT_FALSE(e.silent);
        EXPECT_NE(std::string(e.file), "");
    }
}

TEST(ErrorText, FallbackTextsWhenNoListHoldsTheError)
{
    char buf[256];
    uint32_t n = UError::GetMessage(SError(3, 101), buf, sizeof(buf));
    EXPECT_EQ(std::string(buf, n), "Not enough memory.  Try closing windows.");
    n = UError::GetMessage(SError(77, 1), buf, sizeof(buf));
    EXPECT_EQ(std::string(buf, n), "An unknown error has occured.");
    EXPECT_EQ(UError::GetMessage(SError(77, 1), buf, 3), 3u);
}

TEST(ErrorAlert, SilentErrorsShowNothingOthersShowTextAndDetail)
{
    UError::SetAlertProc([](const char* text, uint32_t) { gAlertText = text; });
    gAlertText.clear();
    UError::Alert(SError(8, 102, "", 0, false, true));
    EXPECT_EQ(gAlertText, "");
    UError::Alert(SError(77, 5));
    EXPECT_EQ(gAlertText, "An unknown error has occured.\r\rID 77/5");
    UError::SetAlertProc(nullptr);
}

TEST(ErrorDetail, SourceFilesAreNamedRelativeToTheSourceTree)
{
    // The detail line reaches users: it names the file as it is in the tree, never a path of the machine
    // that built the program.
    try
    {
        Fail(kErrTypeGeneral, 3);
    }
    catch (const SError& e)
    {
        EXPECT_STREQ(e.file, "tests/framework/runtime/UErrorTest.cpp");
    }
    // And so for the framework's own failures, whatever the build type.
    try
    {
        UMemory::SetSize(nullptr, 1);
    }
    catch (const SError& e)
    {
        const std::string detail = Detail(e);
        EXPECT_EQ(detail.rfind("ID 1/2 @ framework/runtime/UMemory.cpp #", 0), 0u) << detail;
    }
}
