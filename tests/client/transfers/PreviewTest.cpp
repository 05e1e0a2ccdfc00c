// Previews through the whole client: the request, the transfer connection to the port after the
// server's with its handshake, the text as it arrives, the 64 KiB limit, task and window ending each
// other, and pictures: shown scaled to the window, refused over 20 MB, and a broken one told as such.
#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

#include "client/app/AppNumbers.h"
#include "client/core/CMyTransferConnection.h"
#include "client/files/CMyFolderWin.h"
#include "client/transfers/CMyPicturePreviewTask.h"
#include "client/transfers/CMyPicturePreviewWin.h"
#include "client/transfers/CMyPictureView.h"
#include "client/transfers/CMyPreviewFileTask.h"
#include "client/transfers/CMyPreviewWin.h"
#include "framework/ui/CTextView.h"
#include "tests/client/files/FilesTestSupport.h"
#include "tools/testserver/CSocksRelay.h"

using namespace filestest;

namespace
{
// Printable text with line breaks as the protocol writes them, so that it reads back byte for byte.
std::string Text(size_t size)
{
    std::string text;
    for (size_t i = 0; text.size() < size; ++i)
        text += (i % 61 == 60) ? '\r' : char('a' + i % 26);
    return text;
}

class PreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.WriteSharedFile("Docs/short.txt", Text(1000));
        h.WriteSharedFile("Docs/long.txt", Text(1024 * 1024));
        h.WriteSharedFile("Docs/photo.jpg", "\xFF\xD8\xFF");
        h.WriteSharedFile("Docs/song.mp3", "ID3");
        h.model.guestAccess = CServerModel::AllAccess();
    }

    // A preview window outlives its task and its session; the test's go with the test.
    void TearDown() override
    {
        for (CMyPreviewWin* win : h.Windows<CMyPreviewWin>())
            delete win;
        for (CMyPicturePreviewWin* win : h.Windows<CMyPicturePreviewWin>())
            delete win;
    }

    // Logs in (after `beforeLogin`, when given) and opens the folder Docs.
    void Begin(const std::function<void()>& beforeLogin = nullptr)
    {
        h.Start();
        if (beforeLogin) beforeLogin();
        ASSERT_TRUE(h.Login());
        h.App().Features().Settings().queueTransfers = 0;
        CMyFolderWin* root = OpenRoot(h);
        ASSERT_NE(root, nullptr);
        Open(h, root, "Docs");
        docs = FolderWin(h, "Docs");
        ASSERT_NE(docs, nullptr);
    }

    void Preview(const std::string& name)
    {
        Select(docs, name);
        h.Hit(docs, kHitFilePreview);
    }

    CMyPreviewWin* Window() const
    {
        const auto wins = h.Windows<CMyPreviewWin>();
        return wins.empty() ? nullptr : wins.back();
    }

    std::string Shown() const { return Window() ? Window()->GetTextView()->GetText() : std::string(); }

    bool HasPreviewRow() const
    {
        for (const std::string& row : h.TaskRows())
            if (row.find("Previewing") != std::string::npos) return true;
        return false;
    }

    CAppHarness h;
    CMyFolderWin* docs = nullptr;
};
} // namespace

TEST_F(PreviewTest, AShortTextIsShownWholeAndItsRowIsReaped)
{
    Begin();
    Preview("short.txt");
    ASSERT_TRUE(h.WaitUntil([&] { return Window() && Shown().size() == 1000; }, "the whole text"));
    EXPECT_EQ(Shown(), Text(1000));
    EXPECT_EQ(CAppHarness::Title(Window()), "Preview: short.txt");
    const STestTransaction request = h.Requests(202).back();
    EXPECT_EQ(testwire::CFields::Parse(request.body).front().first, 204);
    EXPECT_EQ(CAppHarness::Field(request, 204), std::string("\0\2", 2));
    EXPECT_EQ(CAppHarness::Field(request, 201), "short.txt");
    EXPECT_EQ(CAppHarness::Field(request, 202), PathRecord({"Docs"}));
    // The handshake quoted the number the reply gave.
    const STransferConnection* c = h.transfers.Last();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->handshake.substr(0, 4), "QVXF");
    EXPECT_EQ(c->handshake.substr(8), std::string(8, '\0'));
    ASSERT_TRUE(h.WaitUntil([&] { return !HasPreviewRow(); }, "the finished row to be reaped"));
    EXPECT_NE(Window(), nullptr);
    EXPECT_GE(h.App().Features().Statistics().totalBytesDownloaded, 1000u);
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(PreviewTest, ALongTextStopsAt64KAndTheClientClosesTheConnection)
{
    h.transfers.SetPieceSize(4096);
    Begin();
    Preview("long.txt");
    ASSERT_TRUE(h.WaitUntil([&] { return h.transfers.Last() && h.transfers.Last()->clientClosed; },
                            "the client to close the transfer connection", 15000));
    EXPECT_EQ(Shown().size(), CMyPreviewFileTask::kMaxPreviewSize);
    EXPECT_EQ(Shown(), Text(1024 * 1024).substr(0, CMyPreviewFileTask::kMaxPreviewSize));
    EXPECT_LT(h.transfers.Last()->sent, 1024u * 1024u);
    EXPECT_TRUE(h.WaitUntil([&] { return !HasPreviewRow(); }, "the row to go"));
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(PreviewTest, ClosingTheWindowMidwayEndsTheTaskAndItsConnectionAtOnce)
{
    h.transfers.SetPieceSize(256);
    Begin();
    Preview("long.txt");
    ASSERT_TRUE(h.WaitUntil([&] { return !Shown().empty(); }, "the first bytes"));
    CMyPreviewWin* win = Window();
    ASSERT_NE(win->GetPreviewFileTask(), nullptr);
    h.App().DoCloseWindow(win);
    EXPECT_FALSE(HasPreviewRow());
    for (CMyTask* task : h.App().Features().Tasks())
        EXPECT_EQ(dynamic_cast<CMyPreviewFileTask*>(task), nullptr);
    EXPECT_TRUE(h.WaitUntil([&] { return h.transfers.Last()->clientClosed; }, "the connection to close"));
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(PreviewTest, AnEarlyCloseShowsBox128AndAWindowWithoutTextGoes)
{
    Begin();
    // The file is emptied between the reply and the transfer: the server has nothing to send and closes.
    h.server.onRequest = [&](CTestServer&, const STestTransaction& t)
    {
        if (t.header.type == 202) h.WriteSharedFile("Docs/short.txt", "");
    };
    Preview("short.txt");
    ASSERT_TRUE(h.WaitUntil([&] { return h.HasBox(128); }, "the transfer closed box"));
    ASSERT_TRUE(h.WaitUntil([&] { return !HasPreviewRow(); }, "the task to go"));
    EXPECT_EQ(Window(), nullptr);
    EXPECT_TRUE(h.alert.empty());
}

TEST_F(PreviewTest, OnlyTextAndPicturesCanBePreviewedAndFoldersNotAtAll)
{
    Begin();
    Preview("song.mp3");
    EXPECT_TRUE(h.HasBoxTitled("Preview", "Preview is not implemented for files of this type."));
    EXPECT_TRUE(h.Requests(202).empty());
    h.WriteSharedFile("Docs/Sub/");
    h.Hit(docs, kHitFileRefresh);
    WaitIdle(h);
    h.boxes.clear();
    Preview("Sub");
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_TRUE(h.Requests(202).empty());
}

TEST_F(PreviewTest, AQueuedPreviewSaysSoAndWaitsForTheTasksBeforeIt)
{
    Begin();
    h.App().Features().Settings().queueTransfers = 1;
    // A listing whose reply does not come yet stands in front of the preview.
    STestReply silent;
    silent.answer = false;
    h.server.SetReply(200, silent);
    h.Hit(docs, kHitFileRefresh);
    Preview("short.txt");
    ASSERT_TRUE(h.WaitUntil([&] { return HasPreviewRow(); }, "the preview's row"));
    bool queued = false;
    for (const std::string& row : h.TaskRows())
        if (row == "Previewing \xD2short.txt\xD3 (queued)") queued = true;
    EXPECT_TRUE(queued);
    h.Pump();
    EXPECT_TRUE(h.Requests(202).empty());
    // Once the task in front goes, the preview takes its turn.
    while (h.App().Features().Tasks().GetItem(1) &&
           !dynamic_cast<CMyPreviewFileTask*>(h.App().Features().Tasks().GetItem(1)))
        delete h.App().Features().Tasks().GetItem(1);
    ASSERT_TRUE(h.WaitUntil([&] { return Shown().size() == 1000; }, "the queued preview"));
}

TEST_F(PreviewTest, ThroughTheFirewallTheTransferConnectionGoesToThePortAfterTheServers)
{
    CSocksRelay relay;
    ASSERT_TRUE(relay.Listen());
    Begin(
        [&]
        {
            const auto firewall = CAppHarness::P("127.0.0.1:" + std::to_string(relay.Port()));
            std::memcpy(h.App().Features().Settings().firewall, firewall.data(), firewall.size());
        });
    Preview("short.txt");
    ASSERT_TRUE(h.WaitUntil([&] { return Shown().size() == 1000; }, "the text through the firewall"));
    EXPECT_EQ(relay.RequestCount(), 2u);
    // The request names the port after the server's (bytes 2 and 3, big-endian).
    const std::string& request = relay.LastRequest();
    ASSERT_GE(request.size(), 4u);
    EXPECT_EQ((uint8_t(request[2]) << 8) | uint8_t(request[3]), h.server.Port() + 1);
}

namespace
{
// A picture of two halves, red and blue, in the file format given ("PNG", "JPEG"; the image library
// writes no GIF).
std::string TwoHalves(const char* format, int width = 40, int height = 20)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data().toStdString();
}

CMyPicturePreviewWin* PictureWindow(const CAppHarness& h)
{
    const auto wins = h.Windows<CMyPicturePreviewWin>();
    return wins.empty() ? nullptr : wins.back();
}

bool IsNear(QRgb pixel, QRgb expected)
{
    return std::abs(qRed(pixel) - qRed(expected)) < 40 && std::abs(qGreen(pixel) - qGreen(expected)) < 40 &&
           std::abs(qBlue(pixel) - qBlue(expected)) < 40;
}
} // namespace

TEST_F(PreviewTest, APicturePreviewShowsThePictureScaledToTheWindowAsPNGAndAsJPEG)
{
    h.WriteSharedFile("Docs/halves.png", TwoHalves("PNG"));
    h.WriteSharedFile("Docs/halves.jpg", TwoHalves("JPEG"));
    Begin();
    for (const char* name : {"halves.png", "halves.jpg"})
    {
        SCOPED_TRACE(name);
        Preview(name);
        ASSERT_TRUE(h.WaitUntil([&]
                                { return PictureWindow(h) && !PictureWindow(h)->View()->Picture().isNull(); },
                                "the picture"));
        CMyPicturePreviewWin* win = PictureWindow(h);
        EXPECT_EQ(CAppHarness::Title(win), std::string("Preview: ") + name);
        EXPECT_EQ(win->View()->Picture().size(), QSize(40, 20));
        // Drawn to fill the window's width, its proportions kept: red on the left, blue on the right.
        const QImage shown = win->View()->Widget()->grab().toImage();
        const QRect drawn = win->View()->PictureRect();
        EXPECT_EQ(drawn.width(), shown.width());
        EXPECT_EQ(drawn.height(), shown.width() / 2);
        const int y = drawn.center().y();
        EXPECT_TRUE(IsNear(shown.pixel(drawn.left() + drawn.width() / 4, y), qRgb(255, 0, 0)));
        EXPECT_TRUE(IsNear(shown.pixel(drawn.left() + 3 * drawn.width() / 4, y), qRgb(0, 0, 255)));
        // Above and below the picture the window's own background shows, not bars of another colour.
        ASSERT_GT(drawn.top(), 1);
        const QRgb background = win->View()->Widget()->palette().color(QPalette::Window).rgb();
        EXPECT_EQ(shown.pixel(shown.width() / 2, drawn.top() / 2), background);
        EXPECT_EQ(shown.pixel(shown.width() / 2, (drawn.bottom() + shown.height()) / 2), background);
        delete win;
    }
    EXPECT_TRUE(h.boxes.empty());
}

TEST_F(PreviewTest, APictureOver20MBIsNotFetchedAndABrokenOneSaysSoWithoutAPicture)
{
    h.WriteSharedFile("Docs/huge.png", std::string(CMyPicturePreviewTask::kMaxPictureSize + 1, '\0'));
    // Claims a picture of 30000 x 30000: its decoding is refused before any memory goes to it.
    std::string giant = TwoHalves("PNG");
    giant[16] = 0, giant[17] = 0, giant[18] = 0x75, giant[19] = 0x30;
    giant[20] = 0, giant[21] = 0, giant[22] = 0x75, giant[23] = 0x30;
    h.WriteSharedFile("Docs/giant.png", giant);
    Begin();
    Preview("huge.png");
    ASSERT_TRUE(
        h.WaitUntil([&] { return PictureWindow(h) && PictureWindow(h)->View()->Message().contains("20 MB"); },
                    "the window to say the picture is too large"));
    EXPECT_EQ(h.transfers.Last(), nullptr);
    ASSERT_TRUE(WaitIdle(h));
    delete PictureWindow(h);

    for (const char* name : {"photo.jpg", "giant.png"})
    {
        SCOPED_TRACE(name);
        Preview(name);
        ASSERT_TRUE(h.WaitUntil(
            [&] { return PictureWindow(h) && PictureWindow(h)->View()->Message().contains("not a picture"); },
            "the window to say the file is no picture it can show"));
        EXPECT_TRUE(PictureWindow(h)->View()->Picture().isNull());
        delete PictureWindow(h);
    }
    EXPECT_TRUE(h.alert.empty());
}
