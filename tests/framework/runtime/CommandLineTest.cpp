// Splitting the command line into documents and addresses.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/runtime/UApplication.h"
#include "framework/runtime/UMessageSys.h"

namespace
{
// Documents come back as references made by the file layer; here a reference is just the path.
struct TFakeRef
{
    std::string path;
};

std::vector<std::string> gAddresses;

class CommandLineTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UApplication::Init();
        UApplication::SetDocumentRefProcs(
            [](const char* p, uint32_t n) {
                return reinterpret_cast<TFileSysRefObj*>(new TFakeRef{{p, n}});
            },
            [](TFileSysRefObj* r) { delete reinterpret_cast<TFakeRef*>(r); });
        UApplication::GetQueue();
        UMessageSys::GetDefaultProc(UApplication::GetQueue(), oldProc, oldContext);
        UApplication::SetMessageHandler(
            [](void*, void*, uint32_t msg, const void* data, uint32_t size)
            {
                if (msg == kMsgGoURL) gAddresses.emplace_back(static_cast<const char*>(data), size);
            },
            nullptr);
        gAddresses.clear();
    }
    void TearDown() override { UApplication::SetMessageHandler(oldProc, oldContext); }

    std::vector<std::string> Documents()
    {
        std::vector<std::string> docs;
        while (TFileSysRefObj* ref = UApplication::GetDocumentToOpen())
        {
            docs.push_back(reinterpret_cast<TFakeRef*>(ref)->path);
            UApplication::DisposeDocumentRef(ref);
        }
        UApplication::Process();
        return docs;
    }
    TMessageProc oldProc;
    void* oldContext;
};
} // namespace

TEST_F(CommandLineTest, OneQuotedPathWithBlanksIsOneDocument)
{
    const std::string text = "\"/home/me/My Servers/home server.qbm\"";
    UApplication::SetCommandLine(text.data(), uint32_t(text.size()));
    EXPECT_EQ(Documents(), std::vector<std::string>{"/home/me/My Servers/home server.qbm"});
    EXPECT_TRUE(gAddresses.empty());
}

TEST_F(CommandLineTest, AddressBecomesMessage998AndNoDocument)
{
    const std::string text = "quenvol://example.org:5500";
    UApplication::SetCommandLine(text.data(), uint32_t(text.size()));
    EXPECT_TRUE(Documents().empty());
    EXPECT_EQ(gAddresses, std::vector<std::string>{"quenvol://example.org:5500"});
}

TEST_F(CommandLineTest, SeveralItemsAreSplitAtBlanks)
{
    const std::string text = "a.qbm quenvol://h:1 b.qbm";
    UApplication::SetCommandLine(text.data(), uint32_t(text.size()));
    EXPECT_EQ(Documents(), (std::vector<std::string>{"a.qbm", "b.qbm"}));
    EXPECT_EQ(gAddresses, std::vector<std::string>{"quenvol://h:1"});
    EXPECT_EQ(UApplication::GetDocumentToOpen(), nullptr);
}

TEST_F(CommandLineTest, ShellSplitArgumentsKeepTheirBlanks)
{
    UApplication::SetCommandLineItems({"/tmp/a b.qbm", "quenvol://127.0.0.1:5500", "c:x"});
    // "c:x" has only one character after its colon: it is a document, not an address.
    EXPECT_EQ(Documents(), (std::vector<std::string>{"/tmp/a b.qbm", "c:x"}));
    EXPECT_EQ(gAddresses, std::vector<std::string>{"quenvol://127.0.0.1:5500"});
}
