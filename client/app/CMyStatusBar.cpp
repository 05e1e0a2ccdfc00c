#include "client/app/CMyStatusBar.h"

#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <cstring>

#include "framework/runtime/UApplication.h"
#include "framework/runtime/UText.h"
#include "framework/ui/UiText.h"

namespace
{
constexpr uint32_t kMsgStatusAction = 1210;

std::string Plain(const QLabel* label)
{
    return FromQString(label->text());
}
} // namespace

CMyStatusBar::CMyStatusBar(QStatusBar* bar)
    : mServer(new QLabel(bar)),
      mConnection(new QLabel(bar)), mButtons{new QToolButton(bar), new QToolButton(bar)},
      mUsers(new QLabel(bar)), mTransfers(new QLabel(bar))
{
    bar->addWidget(mServer);
    bar->addWidget(mConnection);
    for (uint32_t i = 0; i < 2; ++i)
    {
        mButtons[i]->setAutoRaise(true);
        mButtons[i]->hide();
        bar->addWidget(mButtons[i]);
        QObject::connect(mButtons[i], &QToolButton::clicked,
                         [this, i]
                         {
                             const uint32_t index = i;
                             UApplication::PostMessage(kMsgStatusAction, &index, sizeof(index), 0, RunAction,
                                                       this, nullptr);
                         });
    }
    bar->addPermanentWidget(mTransfers);
    bar->addPermanentWidget(mUsers);
    const uint8_t none[] = {0};
    SetServer(none);
    SetConnection(none);
    SetUsersOnline(0);
    SetTransfers(0, 0);
}

CMyStatusBar::~CMyStatusBar()
{
    UApplication::FlushMessages(RunAction, this, nullptr);
}

void CMyStatusBar::RunAction(void* context, void*, uint32_t, const void* data, uint32_t size)
{
    auto* bar = static_cast<CMyStatusBar*>(context);
    uint32_t index = 0;
    if (size != sizeof(index)) return;
    std::memcpy(&index, data, sizeof(index));
    // The button may have changed meanwhile: what it does now is what the user saw last.
    if (index < 2 && bar->mButtons[index]->isVisible() && bar->mActions[index])
    {
        const std::function<void()> run = bar->mActions[index];
        run();
    }
}

void CMyStatusBar::SetServer(const uint8_t* name)
{
    mServer->setText(name && name[0] ? PStringToQString(name) : QString());
    mServer->setVisible(name && name[0]);
}

void CMyStatusBar::SetConnection(const uint8_t* text, SMyStatusAction first, SMyStatusAction second)
{
    mConnection->setText(text ? PStringToQString(text) : QString());
    const SMyStatusAction* actions[2] = {&first, &second};
    for (uint32_t i = 0; i < 2; ++i)
    {
        mActions[i] = actions[i]->title ? actions[i]->run : nullptr;
        if (actions[i]->title) mButtons[i]->setText(QString::fromLatin1(actions[i]->title));
        // Hidden from a widget that was never shown itself keeps it hidden later: set it either way.
        mButtons[i]->setVisible(actions[i]->title != nullptr);
    }
}

void CMyStatusBar::SetUsersOnline(uint32_t count)
{
    uint8_t text[64];
    text[0] =
        uint8_t(UText::Format(text + 1, 63, count == 1 ? "%lu user online" : "%lu users online", count));
    mUsers->setText(PStringToQString(text));
}

void CMyStatusBar::SetTransfers(uint32_t running, uint64_t bytesPerSec)
{
    if (running == 0)
    {
        mTransfers->clear();
        return;
    }
    uint8_t speed[32], text[96];
    speed[0] = uint8_t(UText::SizeToText(bytesPerSec, speed + 1, 31, UText::kSizeTenthBelow10K));
    text[0] = uint8_t(UText::Format(
        text + 1, 95, running == 1 ? "%lu transfer, %#s/s" : "%lu transfers, %#s/s", running, speed));
    mTransfers->setText(PStringToQString(text));
}

std::string CMyStatusBar::ServerText() const
{
    return Plain(mServer);
}

std::string CMyStatusBar::ConnectionText() const
{
    return Plain(mConnection);
}

std::string CMyStatusBar::ButtonTitle(uint32_t index) const
{
    if (index >= 2 || mButtons[index]->isHidden()) return std::string();
    return FromQString(mButtons[index]->text());
}

std::string CMyStatusBar::UsersText() const
{
    return Plain(mUsers);
}

std::string CMyStatusBar::TransfersText() const
{
    return Plain(mTransfers);
}
