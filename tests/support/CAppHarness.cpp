#include "tests/support/CAppHarness.h"

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <typeinfo>

#include "client/app/CMyOldToolbarWin.h"
#include "client/boxes/CMyMsgBoxWin.h"
#include "client/boxes/MsgBox.h"
#include "client/chat/CMyOldChatWin.h"
#include "client/core/CMyTask.h"
#include "client/tasks/CMyTaskListView.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/users/CMyUserListWin.h"
#include "client/widgets/CMyTextWin.h"
#include "client/widgets/CMyUserListView.h"
#include "framework/net/UTransact.h"
#include "framework/runtime/KeyCommands.h"
#include "framework/runtime/UApplication.h"
#include "framework/runtime/UError.h"
#include "framework/runtime/UTimer.h"
#include "framework/ui/CFrameWindow.h"
#include "framework/ui/CIconButtonView.h"
#include "framework/ui/CTextView.h"
#include "framework/ui/CWindow.h"
#include "framework/ui/UWindowServices.h"
#include "tests/support/TestDataFile.h"

namespace
{
// Box and alert hooks are plain functions: they reach the one harness alive through this.
CAppHarness* gHarness = nullptr;
} // namespace

CAppHarness::CAppHarness(const AppMaker& makeApp)
{
    // Only one application exists at a time, and the hooks below serve one harness.
    EXPECT_EQ(gHarness, nullptr) << "two end-to-end harnesses at once";
    gHarness = this;
    UseBuiltDataFile();
    // The application's user files (preferences, bookmarks, downloads) and its desktop settings go to
    // folders of this test, and so does the desktop's download folder (in the home folder).
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"})
    {
        const char* old = std::getenv(name);
        mOldEnvironment.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    setenv("XDG_DATA_HOME", mHome.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (mHome.path() + "/config").toLocal8Bit().constData(), 1);
    std::filesystem::create_directories(HomeFolder());
    setenv("HOME", HomeFolder().c_str(), 1);
    UWindowServices::Register();
    SetMsgBoxHook(BoxHook);
    CWindow::SetModalObserver([this](CWindow* w) { ModalStarted(w); });
    mApp = makeApp ? makeApp() : std::make_unique<CMyApplication>();
    // A task that waits on nothing would hang the test until its watchdog; it is named at once instead.
    CMyTask::SetStallHook(
        [reported = std::set<const CMyTask*>()](CMyTask* task) mutable
        {
            if (!reported.insert(task).second) return;
            // The lost wake-up looked like this: the server had answered, and nothing would step the
            // task to take the answer (and open a transfer's connection).
            auto* request = dynamic_cast<CMyTransactTask*>(task);
            const bool answered = request && request->mTranSession &&
                                  UTransact::IsSessionReceiveComplete(request->mTranSession);
            ADD_FAILURE() << "task watchdog: a " << typeid(*task).name() << " at stage " << task->mStage
                          << " is neither running nor queued nor waiting on the network"
                          << (answered ? " (its reply came, and no pass will take it)" : "");
        });
    // The application's construction installed the real alert.
    UError::SetAlertProc([](const char* text, uint32_t) { gHarness->alert = text; });
}

CAppHarness::~CAppHarness()
{
    UTimer::Dispose(mStepTimer);
    UApplication::FlushMessages(RunLater, this, nullptr);
    mApp.reset();
    CMyTask::SetStallHook(nullptr);
    // Windows nobody owns (private messages, notes) would outlive the test and count in the next one run
    // in the same process (message windows past a number fold into a box).
    while (CWindow::GetWindowCount() > 0)
        delete CWindow::GetWindow(1);
    // Windows go later (deleteLater), and the queue may still hold messages for them.
    UApplication::Process();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CWindow::SetModalObserver(nullptr);
    UError::SetAlertProc(nullptr);
    SetMsgBoxHook(nullptr);
    for (const auto& [name, value] : mOldEnvironment)
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    gHarness = nullptr;
}

void CAppHarness::Start()
{
    ASSERT_TRUE(CTransferServer::ListenPair(server, transfers));
    server.SetModel(&model);
    model.transfers = &transfers;
    ASSERT_TRUE(model.ShareFolder(SharedFolder()));
    if (!layout.empty())
    {
        const std::filesystem::path folder =
            std::filesystem::path(mHome.path().toStdString()) / "config/Quenvol";
        std::filesystem::create_directories(folder);
        std::string text;
        {
            std::ifstream in(folder / "desktop.conf", std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        if (text.find("\nlayout=") == std::string::npos && text.rfind("layout=", 0) != 0)
        {
            if (!text.empty() && text.back() != '\n') text += '\n';
            std::ofstream(folder / "desktop.conf", std::ios::binary) << text << "layout=" << layout << "\n";
        }
    }
    mApp->StartUp();
    Pump();
    boxes.clear();
}

std::string CAppHarness::UserFolder() const
{
    return mHome.path().toStdString() + "/Quenvol";
}

std::string CAppHarness::HomeFolder() const
{
    return mHome.path().toStdString() + "/home";
}

std::string CAppHarness::DownloadFolder() const
{
    return HomeFolder() + "/Downloads";
}

std::string CAppHarness::Address() const
{
    return "127.0.0.1:" + std::to_string(server.Port());
}

std::string CAppHarness::SharedFolder() const
{
    return mShare.path().toStdString();
}

void CAppHarness::WriteSharedFile(const std::string& path, const std::string& bytes)
{
    const std::filesystem::path full = std::filesystem::path(SharedFolder()) / path;
    if (!path.empty() && path.back() == '/')
    {
        std::filesystem::create_directories(full);
        return;
    }
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

bool CAppHarness::SharedExists(const std::string& path) const
{
    std::error_code ec;
    return std::filesystem::exists(
        std::filesystem::symlink_status(std::filesystem::path(SharedFolder()) / path, ec));
}

bool CAppHarness::Login(const std::string& login, const std::string& password, uint32_t watchdogMs)
{
    const size_t usersBefore = server.CountReceived(300), newsBefore = server.CountReceived(101);
    const auto address = P(Address()), l = P(login), p = P(password);
    mApp->Features().Session().SetLogin(l.data(), p.data());
    mApp->DoConnect(address.data(), nullptr);
    return WaitUntil(
        [&]
        {
            for (CMyTask* task : mApp->Features().Tasks())
                if (!task->mIsStandAlone && !task->mIsFinished) return false;
            return mApp->Features().Session().IsConnected() && server.CountReceived(300) > usersBefore &&
                   server.CountReceived(101) > newsBefore;
        },
        "the login, online users and news requests to finish", watchdogMs);
}

bool CAppHarness::WaitUntil(const std::function<bool()>& condition, const char* what, uint32_t watchdogMs)
{
    return PumpUntil(
        [&]
        {
            // The queue has just run dry, so no pass is on its way but what the network or a timer
            // brings: a task whose reply was taken in outside a pass (by a question asked elsewhere) and
            // that waits on nothing else is named here, not when the watchdog gives up.
            if (mApp) mApp->Features().Tasks().CheckForStalls();
            return condition();
        },
        what, watchdogMs);
}

void CAppHarness::Pump()
{
    UApplication::Process();
}

void CAppHarness::Hit(CWindow* window, uint32_t id, uint16_t part, uint16_t mods)
{
    ASSERT_NE(window, nullptr);
    window->Hit(id, part, mods);
    Pump();
}

void CAppHarness::Key(uint16_t keyCode, uint32_t keyChar, uint16_t mods)
{
    const SKeyMsgData key{keyCode, mods, keyChar};
    UKeyCommands::Dispatch(key);
    Pump();
}

void CAppHarness::MenuItem(int16_t item)
{
    const SMenuHitData hit{0, uint16_t(item)};
    UApplication::PostMessage(kMsgMenuItem, &hit, sizeof(hit));
    Pump();
}

uint16_t CAppHarness::BoxHook(int16_t id, const SMsgBox& box)
{
    const std::string text =
        box.longMessageSize ? std::string(reinterpret_cast<const char*>(box.longMessage), box.longMessageSize)
                            : Str(box.message);
    gHarness->boxes.push_back({id, Str(box.title), text});
    if (gHarness->boxAnswers.empty()) return 1;
    const uint16_t answer = gHarness->boxAnswers.front();
    gHarness->boxAnswers.pop_front();
    return answer;
}

bool CAppHarness::HasBox(int16_t id, const std::string& textPart) const
{
    for (const SBox& b : boxes)
        if (b.id == id && b.text.find(textPart) != std::string::npos) return true;
    return false;
}

bool CAppHarness::HasBoxTitled(const std::string& title, const std::string& text) const
{
    for (const SBox& b : boxes)
        if (b.title == title && b.text == text) return true;
    return false;
}

void CAppHarness::UseRealBoxes()
{
    SetMsgBoxHook(nullptr);
}

uint32_t CAppHarness::ModalDepth()
{
    uint32_t depth = 0;
    for (CWindow* w : AllWindows())
        if (w->IsInModalLoop()) ++depth;
    return depth;
}

void CAppHarness::When(std::function<bool()> condition, std::function<void()> act)
{
    mSteps.emplace_back(std::move(condition), std::move(act));
    if (!mStepTimer) mStepTimer = UTimer::StartNew(StepTimer, this, 5, true);
}

void CAppHarness::StepTimer(void* context, void*, uint32_t msg, const void*, uint32_t)
{
    auto* h = static_cast<CAppHarness*>(context);
    if (msg != kMsgTimer) return;
    // In order: a step waits for the ones before it.
    while (!h->mSteps.empty() && h->mSteps.front().first())
    {
        auto act = std::move(h->mSteps.front().second);
        h->mSteps.pop_front();
        act();
    }
}

void CAppHarness::Later(std::function<void()> act)
{
    mLater.push_back(std::move(act));
    UApplication::PostMessage(kMsgTimer, nullptr, 0, 0, RunLater, this, nullptr);
}

void CAppHarness::RunLater(void* context, void*, uint32_t, const void*, uint32_t)
{
    auto* h = static_cast<CAppHarness*>(context);
    if (h->mLater.empty()) return;
    auto act = std::move(h->mLater.front());
    h->mLater.pop_front();
    act();
}

void CAppHarness::ModalStarted(CWindow* window)
{
    ++modalCount;
    maxModalDepth = std::max(maxModalDepth, ModalDepth());
    if (auto* box = dynamic_cast<CMyMsgBoxWin*>(window))
        boxes.push_back({box->GetBoxID(), window->GetTitle(), box->GetMessageText()});
    for (auto it = mModalActions.begin(); it != mModalActions.end(); ++it)
    {
        auto act = *it;
        if (!act(window)) continue;
        mModalActions.erase(it);
        return;
    }
    // Nobody would ever answer it: the test would hang inside the modal loop.
    ADD_FAILURE() << "a modal window \"" << Title(window) << "\" opened that the test did not expect";
    window->Hit(window->GetDefaultHit() ? window->GetDefaultHit() : 1);
}

std::vector<std::string> CAppHarness::OnlineUserNames() const
{
    std::vector<std::string> names;
    if (!mApp->Features().Windows().Users()) return names;
    const CMyUserListView* view = mApp->Features().Windows().Users()->View();
    for (uint32_t row = 1; row <= view->GetItemCount(); ++row)
        names.push_back(Str(view->GetItem(row)->name));
    return names;
}

std::string CAppHarness::NewsText() const
{
    return mApp->Features().Windows().News() ? mApp->Features().Windows().News()->GetTextView()->GetText()
                                             : std::string();
}

std::string CAppHarness::ChatText() const
{
    return mApp->Features().Windows().Chat() ? mApp->Features().Windows().Chat()->GetChatView()->GetText()
                                             : std::string();
}

std::vector<std::string> CAppHarness::TaskRows() const
{
    std::vector<std::string> rows;
    if (!mApp->Features().Windows().Tasks()) return rows;
    const CMyTaskRows& model = mApp->Features().Windows().Tasks()->View()->Model();
    for (uint32_t row = 1; row <= model.GetRowCount(); ++row)
    {
        const SMyTaskNameInfo* info = model.GetRow(row);
        rows.emplace_back(reinterpret_cast<const char*>(info->textData), info->textSize);
    }
    return rows;
}

std::vector<uint32_t> CAppHarness::ToolbarButtons() const
{
    std::vector<std::pair<int32_t, uint32_t>> shown;
    if (!mApp->Features().Windows().Toolbar()) return {};
    const auto& v = mApp->Features().Windows().Toolbar()->mViews;
    for (CIconButtonView* b : {v.optionsBtn, v.connectBtn, v.trackerBtn, v.broadcastBtn, v.newsBtn, v.postBtn,
                               v.chatBtn, v.filesBtn, v.usersBtn, v.tasksBtn, v.newUserBtn, v.openUserBtn,
                               v.quitBtn, v.aboutBtn, v.disconnectBtn})
    {
        if (!b || !b->IsVisible()) continue;
        SRect r;
        b->GetBounds(r);
        shown.emplace_back(r.top, b->GetID());
    }
    std::sort(shown.begin(), shown.end());
    std::vector<uint32_t> ids;
    for (const auto& [top, id] : shown)
        ids.push_back(id);
    return ids;
}

uint16_t CAppHarness::ToolbarLook() const
{
    return mApp->Features().Windows().Toolbar() ? mApp->Features().Windows().Toolbar()->GetLook()
                                                : uint16_t(kToolbarNotConnected);
}

std::string CAppHarness::Title(const CWindow* window)
{
    return window ? window->GetTitle() : std::string();
}

std::vector<CWindow*> CAppHarness::AllWindows()
{
    std::vector<CWindow*> all;
    for (uint32_t i = 1; i <= CWindow::GetWindowCount(); ++i)
        all.push_back(CWindow::GetWindow(i));
    return all;
}

std::vector<STestTransaction> CAppHarness::Requests(uint16_t type) const
{
    std::vector<STestTransaction> found;
    for (const STestTransaction& t : server.Received())
        if (!t.header.isReply && t.header.type == type) found.push_back(t);
    return found;
}

std::string CAppHarness::Field(const STestTransaction& t, uint16_t id)
{
    return testwire::CFields::Find(t.body, id);
}

std::vector<uint8_t> CAppHarness::P(const std::string& text)
{
    // Sized first: g++ 12 at -O2 takes an insert behind a 1-byte vector for an overflow and warns.
    const size_t n = std::min<size_t>(text.size(), 255);
    std::vector<uint8_t> p(n + 1);
    p[0] = uint8_t(n);
    if (n) std::memcpy(p.data() + 1, text.data(), n);
    return p;
}

std::string CAppHarness::Str(const uint8_t* pstring)
{
    return pstring ? std::string(reinterpret_cast<const char*>(pstring + 1), pstring[0]) : std::string();
}
