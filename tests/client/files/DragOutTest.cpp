// A row of a folder window dragged out to a local folder, as a file manager's drop calls the promise:
// a file arrives byte-identical as the only item there, a folder arrives as its tree, and a place the
// target makes up never leads the download anywhere else.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "client/files/UMyDragOut.h"
#include "client/transfers/CMyDownloadFileTask.h"
#include "tests/client/transfers/TransferTestSupport.h"

using namespace filestest;
using namespace transfertest;

namespace
{
class DragOutTest : public ::testing::Test
{
protected:
    void SetUp() override { h.model.guestAccess = CServerModel::AllAccess(); }

    void Begin()
    {
        docs = LoginAndOpenDocs(h);
        ASSERT_NE(docs, nullptr);
        mLocal = h.UserFolder() + "/Desktop";
        std::filesystem::create_directories(mLocal);
    }

    SDragPromise PromiseFor(const std::string& name, bool isFolder) const
    {
        const std::vector<uint8_t> path(docs->GetPathData(), docs->GetPathData() + docs->GetPathSize());
        return UMyDragOut::MakePromise(path, CAppHarness::P(name).data(), isFolder);
    }

    std::set<std::string> LocalItems() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(mLocal))
            names.insert(entry.path().filename().string());
        return names;
    }

    size_t Downloads() const
    {
        size_t count = 0;
        for (CMyTask* task : h.App().Features().Tasks())
            if (dynamic_cast<CMyDownloadFileTask*>(task)) ++count;
        return count;
    }

    // Every transfer ended, and none left a row but the done rows of finished ones.
    bool WaitNoTasks(const char* what)
    {
        return h.WaitUntil(
            [&]
            {
                for (CMyTask* task : h.App().Features().Tasks())
                    if (!task->IsKeptFinished()) return false;
                return true;
            },
            what);
    }

    CAppHarness h;
    CMyFolderWin* docs = nullptr;
    std::string mLocal;
};
} // namespace

TEST_F(DragOutTest, AFileRowDownloadsIntoTheChosenFolderAsTheOnlyFileThere)
{
    const std::string bytes = Data(400000, 7);
    h.WriteSharedFile("Docs/report.pdf", bytes);
    Begin();
    const SDragPromise promise = PromiseFor("report.pdf", false);
    EXPECT_EQ(promise.suggestedName, "report.pdf");
    // The target may offer a name of its own; the server's name is the one used.
    ASSERT_EQ(UDragAndDrop::AnswerPromise(promise, "file://" + mLocal + "/Other%20Name.pdf"), kPromiseSaved);
    // Only the partial file is there while the bytes arrive, never an empty file of the final name.
    EXPECT_EQ(LocalItems(), std::set<std::string>{"report.pdf.qpf"});
    ASSERT_TRUE(WaitNoTasks("the dragged-out download to end"));
    EXPECT_EQ(LocalItems(), std::set<std::string>{"report.pdf"});
    EXPECT_EQ(ReadFile(mLocal + "/report.pdf"), bytes);
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(DragOutTest, AFolderRowDownloadsTheTree)
{
    h.WriteSharedFile("Docs/Tree/a.txt", Data(3000, 1));
    h.WriteSharedFile("Docs/Tree/Empty/");
    h.WriteSharedFile("Docs/Tree/Sub/b.bin", Data(70000, 2));
    Begin();
    const SDragPromise promise = PromiseFor("Tree", true);
    EXPECT_EQ(promise.suggestedName, "Tree");
    ASSERT_EQ(UDragAndDrop::AnswerPromise(promise, "file://localhost" + mLocal + "/Tree"), kPromiseSaved);
    ASSERT_TRUE(WaitNoTasks("the dragged-out folder download to end"));
    EXPECT_EQ(LocalItems(), std::set<std::string>{"Tree"});
    EXPECT_EQ(ReadFile(mLocal + "/Tree/a.txt"), Data(3000, 1));
    EXPECT_EQ(ReadFile(mLocal + "/Tree/Sub/b.bin"), Data(70000, 2));
    EXPECT_TRUE(std::filesystem::is_directory(mLocal + "/Tree/Empty"));
    EXPECT_TRUE(h.alert.empty()) << h.alert;
}

TEST_F(DragOutTest, APlaceThatClimbsOrASessionThatEndedStartsNothing)
{
    h.WriteSharedFile("Docs/report.pdf", Data(100, 3));
    Begin();
    const SDragPromise promise = PromiseFor("report.pdf", false);
    std::filesystem::create_directories(mLocal + "/inner");
    EXPECT_EQ(UDragAndDrop::AnswerPromise(promise, "file://" + mLocal + "/inner/..%2F..%2Fescape.pdf"),
              kPromiseError);
    EXPECT_EQ(UDragAndDrop::AnswerPromise(promise, "file://" + mLocal + "/inner/../report.pdf"),
              kPromiseError);
    EXPECT_EQ(Downloads(), 0u);
    EXPECT_EQ(LocalItems(), std::set<std::string>{"inner"});

    // A drop that comes after the session ended downloads nothing.
    h.App().DoDisconnect();
    ASSERT_TRUE(h.WaitUntil([&] { return !h.App().Features().Session().IsConnected(); }, "the disconnect"));
    EXPECT_EQ(UDragAndDrop::AnswerPromise(promise, "file://" + mLocal + "/report.pdf"), kPromiseError);
    EXPECT_EQ(LocalItems(), std::set<std::string>{"inner"});
}
