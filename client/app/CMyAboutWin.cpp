#include "client/app/CMyAboutWin.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/app/CMyApplication.h"
#include "framework/runtime/UText.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UiText.h"

uint32_t CMyAboutWin::FormatUsageLine(const CMyApplication& app, uint8_t* outText, uint32_t maxSize)
{
    uint8_t down[32], up[32], chat[32], online[32];
    down[0] = uint8_t(UText::SizeToText(app.mTotalBytesDownloaded, down + 1, 31, 1));
    up[0] = uint8_t(UText::SizeToText(app.mTotalBytesUploaded, up + 1, 31, 1));
    chat[0] = uint8_t(UText::SizeToText(app.mTotalChatBytes, chat + 1, 31, 2));
    online[0] = uint8_t(UText::SecondsToText(app.mTotalSecsOnline, online + 1, 31));
    const uint8_t* word = app.mIsLeechMode ? reinterpret_cast<const uint8_t*>("\x07leeched")
                                           : reinterpret_cast<const uint8_t*>("\x0A"
                                                                              "downloaded");
    return UText::Format(outText, maxSize, "%#s %#s, %#s uploaded, %#s chat, %#s online", down, word, up,
                         chat, online);
}

void CMyAboutWin::Run(const CMyApplication& app)
{
    uint8_t usage[256];
    uint32_t n = FormatUsageLine(app, usage, sizeof(usage));

    CWindow win(SRect{0, 0, 360, 150}, kWindowModal);
    win.SetTitle("About Quenvol", 13);
    auto* layout = new QVBoxLayout(win.Widget());
    auto* name = new QLabel(QStringLiteral("<b>Quenvol</b>"));
    name->setAlignment(Qt::AlignCenter);
    auto* line = new QLabel(ToQString(usage, n));
    line->setAlignment(Qt::AlignCenter);
    line->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, [&win] { win.Hit(1); });
    layout->addWidget(name);
    layout->addWidget(line);
    layout->addWidget(ok, 0, Qt::AlignRight);
    win.Place(kPlaceCenterScreen);
    win.Show();
    // OK, the close box, or the program quitting ends it.
    for (;;)
    {
        uint32_t hit = win.ProcessModal();
        if (hit == 1 || hit == kHitCloseBox || hit == 0) break;
    }
}
