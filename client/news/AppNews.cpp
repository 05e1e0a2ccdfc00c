// The news window's text as the session delivers it, posting an article and broadcasting.
#include <string>
#include <vector>

#include "client/app/CMyApplication.h"
#include "client/boxes/USound.h"
#include "client/news/CMyBroadcastWin.h"
#include "client/news/CMyEnterMsgWin.h"
#include "client/news/CMyNewsTasks.h"
#include "client/widgets/CMyTextWin.h"
#include "framework/net/TransactCatalogue.h"
#include "framework/net/UFieldData.h"

void CMyApplication::ProcessTran_NewMsg(TFieldDataObj* fields)
{
    CMyTextWin* news = mWindows.News();
    if (!news) return;
    std::vector<uint8_t> article(UFieldData::GetFieldSize(fields, kFieldData));
    if (article.empty()) return;
    const uint32_t size = UFieldData::GetField(fields, kFieldData, article.data(), uint32_t(article.size()));
    // Neither shown nor brought forward: the sound says that there is something new.
    news->InsertTextAtStart(article.data(), size);
    USound::PlayEvent(kSoundNews, mSettings.sound.news);
}

void CMyApplication::DoPostNewsWin()
{
    if (!mSession.IsConnected()) return;
    CMyEnterMsgWin win;
    std::string text;
    // Sending nothing beeps and keeps the dialog: an empty article would only add an empty entry to
    // everybody's news.
    if (!win.Run(text)) return;
    // The article reaches the news window only when the server announces it.
    new CMyPostNewsTask(text.data(), uint32_t(text.size()));
}

void CMyApplication::DoBroadcastWin()
{
    if (!mSession.IsConnected())
    {
        USound::Beep();
        return;
    }
    CMyBroadcastWin win;
    std::string text;
    if (win.Run(text)) new CMyBroadcastTask(text.data(), uint32_t(text.size()));
}

void CMyApplication::ProcessTran_UserBroadcast(TFieldDataObj* fields)
{
    // Shown like a private message and never answered; refused with private messages.
    DoShowMessage(fields, true);
}
