// A drag that promises a file: the place a target chooses is hostile input (only file URIs of this
// machine, decoded strictly, inside an existing folder), the promise hears the folder and name once, and
// its answer goes back to the target. On an X11 display the promise travels in a property of the
// source's window; elsewhere the drag carries only its flavours.
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "framework/runtime/FourCC.h"
#include "framework/ui/CLabelView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UDragAndDrop.h"
#include "platform/DirectSave.h"

namespace
{
struct SPlace
{
    std::string folder, name;
};

bool Parse(const std::string& uri, SPlace& out, const std::string& host = "workstation")
{
    return UDragAndDrop::ParsePromiseUri(uri, host, out.folder, out.name);
}

class DragPromiseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mFolder = std::filesystem::temp_directory_path() /
                  ("dragpromise-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(mFolder);
    }
    void TearDown() override { std::filesystem::remove_all(mFolder); }

    SDragPromise Recording(char answer)
    {
        SDragPromise promise;
        promise.suggestedName = "report.pdf";
        promise.proc = [this, answer](const std::string& folder, const std::string& name)
        {
            calls.push_back({folder, name});
            return answer;
        };
        return promise;
    }

    std::string Uri(const std::string& rest) const { return "file://" + mFolder.string() + rest; }

    std::filesystem::path mFolder;
    std::vector<SPlace> calls;
};
} // namespace

TEST(PromiseUri, FileUrisOfThisMachineGiveTheFolderAndTheDecodedName)
{
    SPlace p;
    ASSERT_TRUE(Parse("file:///home/ann/Desktop/report.pdf", p));
    EXPECT_EQ(p.folder, "/home/ann/Desktop");
    EXPECT_EQ(p.name, "report.pdf");
    ASSERT_TRUE(Parse("FILE://LocalHost/tmp/My%20File%c3%a9", p));
    EXPECT_EQ(p.folder, "/tmp");
    EXPECT_EQ(p.name, "My File\xC3\xA9");
    ASSERT_TRUE(Parse("file://WorkStation/x", p));
    EXPECT_EQ(p.folder, "/");
    EXPECT_EQ(p.name, "x");
    // Doubled slashes name the same place.
    ASSERT_TRUE(Parse("file:////tmp//a", p));
    EXPECT_EQ(p.folder, "//tmp/");
    EXPECT_EQ(p.name, "a");
}

TEST(PromiseUri, EverythingElseIsRefused)
{
    const char* hostile[] = {
        "", "file://", "file:///", "file:/tmp/a", "http://localhost/tmp/a", "files:///tmp/a",
        // Another machine, or a host that only starts like ours.
        "file://elsewhere/tmp/a", "file://localhost.evil/tmp/a", "file://localhost:80/tmp/a",
        "file://user@localhost/tmp/a", "file://%6Cocalhost/tmp/a", "file://tmp/a",
        // No name, or a name or level that climbs.
        "file:///tmp/", "file:///tmp/.", "file:///tmp/..", "file:///tmp/../etc/x", "file:///./tmp/x",
        "file:///tmp/%2E%2E/x", "file:///tmp/a%2F..%2F..%2Fetc%2Fx", "file:///tmp/x%2F",
        // Broken or dangerous escapes and characters.
        "file:///tmp/a%00b", "file:///tmp/a%", "file:///tmp/a%4", "file:///tmp/a%zz", "file:///tmp/a%G1",
        "file:///tmp/a?b=c", "file:///tmp/a#top", "file:///tmp/a\nb", "file:///tmp/a\x7F"};
    for (const char* uri : hostile)
    {
        SPlace p{"x", "y"};
        EXPECT_FALSE(Parse(uri, p)) << uri;
        EXPECT_TRUE(p.folder.empty() && p.name.empty()) << uri;
    }
    SPlace p;
    // Without a known host name only the local forms count.
    EXPECT_FALSE(Parse("file://workstation/tmp/a", p, ""));
    EXPECT_FALSE(Parse("file://" + std::string(9000, 'a'), p));
    EXPECT_FALSE(Parse("file:///tmp/" + std::string(9000, 'a'), p));
}

TEST_F(DragPromiseTest, ThePromiseHearsTheChosenFolderAndNameAndItsAnswerGoesBack)
{
    EXPECT_EQ(UDragAndDrop::AnswerPromise(Recording(kPromiseSaved), Uri("/Chosen%20Name.pdf")),
              kPromiseSaved);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].folder, mFolder.string());
    EXPECT_EQ(calls[0].name, "Chosen Name.pdf");

    EXPECT_EQ(UDragAndDrop::AnswerPromise(Recording(kPromiseFallBack), Uri("/a")), kPromiseFallBack);
    // An answer the protocol does not know becomes an error.
    EXPECT_EQ(UDragAndDrop::AnswerPromise(Recording('Q'), Uri("/a")), kPromiseError);
    EXPECT_EQ(calls.size(), 3u);
}

TEST_F(DragPromiseTest, APlaceOutsideAnExistingFolderIsAnErrorAndThePromiseIsNotAsked)
{
    std::ofstream(mFolder / "plain.txt") << "x";
    const std::string refused[] = {Uri("/missing/a"), Uri("/plain.txt/a"), Uri("/../a"), Uri("/a%00"),
                                   "file://elsewhere" + mFolder.string() + "/a"};
    for (const std::string& uri : refused)
        EXPECT_EQ(UDragAndDrop::AnswerPromise(Recording(kPromiseSaved), uri), kPromiseError) << uri;
    EXPECT_EQ(UDragAndDrop::AnswerPromise(SDragPromise{"a", nullptr}, Uri("/a")), kPromiseError);
    EXPECT_TRUE(calls.empty());
    // The machine's own name counts as this machine.
    const std::string host = platform::HostName();
    if (!host.empty())
    {
        EXPECT_EQ(
            UDragAndDrop::AnswerPromise(Recording(kPromiseSaved), "file://" + host + mFolder.string() + "/b"),
            kPromiseSaved);
        EXPECT_EQ(calls.size(), 1u);
    }
}

TEST_F(DragPromiseTest, OnAnX11DisplayTheWindowPropertyCarriesThePromiseElseOnlyTheFlavoursTravel)
{
    CWindow win(SRect{50, 50, 250, 150}, kWindowDocument2);
    auto* view = new CLabelView(&win, SRect{10, 10, 60, 40}, "x");
    win.Show();
    const SDragPromise promise = Recording(kPromiseSaved);
    std::unique_ptr<QMimeData> mime(
        UDragAndDrop::MakePromiseMimeData(view, {{FourCC("QVFN"), "report.pdf"}}, &promise));
    EXPECT_TRUE(mime->hasFormat(UDragAndDrop::MimeTypeOf(FourCC("QVFN"))));
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !platform::HasX11Properties())
    {
        // Offscreen or another display: nothing is promised, nothing breaks.
        EXPECT_FALSE(mime->hasFormat(QStringLiteral("XdndDirectSave0")));
        GTEST_SKIP() << "no X11 display";
    }
    void* connection = x11->connection();
    const auto window = uint32_t(view->Widget()->window()->winId());
    ASSERT_TRUE(mime->hasFormat(QStringLiteral("XdndDirectSave0")));
    std::string text;
    ASSERT_TRUE(platform::ReadTextProperty(connection, window, "XdndDirectSave0", 1000, text));
    EXPECT_EQ(text, "report.pdf");
    // Asked before the target wrote a place: an error, and the promise waits for the place.
    EXPECT_EQ(mime->data(QStringLiteral("XdndDirectSave0")), QByteArray("E"));
    EXPECT_TRUE(calls.empty());

    ASSERT_TRUE(platform::SetTextProperty(connection, window, "XdndDirectSave0", Uri("/report.pdf")));
    EXPECT_EQ(mime->data(QStringLiteral("XdndDirectSave0")), QByteArray("S"));
    // Asked again, the target hears the same answer and nothing starts twice.
    EXPECT_EQ(mime->data(QStringLiteral("XdndDirectSave0")), QByteArray("S"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].folder, mFolder.string());
    EXPECT_EQ(calls[0].name, "report.pdf");
    // When the drag is gone its promise leaves the window.
    mime.reset();
    EXPECT_FALSE(platform::ReadTextProperty(connection, window, "XdndDirectSave0", 1000, text));
}
