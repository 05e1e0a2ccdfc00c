// What the file tests share: finding folder windows and their rows, selecting rows, and waiting until the
// requests a command started are answered.
#pragma once

#include <string>
#include <vector>

#include "client/app/AppNumbers.h"
#include "client/core/CMyTask.h"
#include "client/files/CMyFileListView.h"
#include "client/files/CMyFolderWin.h"
#include "tests/support/CAppHarness.h"
#include "tools/testserver/TestWire.h"

namespace filestest
{
inline std::vector<std::string> Rows(const CMyFolderWin* win)
{
    std::vector<std::string> names;
    const CMyFileListView* view = win->View();
    for (uint32_t row = 1; row <= view->GetItemCount(); ++row)
        names.push_back(CAppHarness::Str(view->GetItem(row)->name));
    return names;
}

inline uint32_t RowOf(const CMyFolderWin* win, const std::string& name)
{
    const std::vector<std::string> rows = Rows(win);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == name) return uint32_t(i + 1);
    return 0;
}

inline bool HasRow(const CMyFolderWin* win, const std::string& name)
{
    return RowOf(win, name) != 0;
}

// Selects the row of that name (the test fails when there is none).
inline void Select(CMyFolderWin* win, const std::string& name)
{
    const uint32_t row = RowOf(win, name);
    EXPECT_NE(row, 0u) << "no row " << name;
    win->View()->DeselectAll();
    if (row) win->View()->SelectItem(row);
}

inline std::vector<CMyFolderWin*> FolderWins(const CAppHarness& h)
{
    return h.Windows<CMyFolderWin>();
}

inline CMyFolderWin* FolderWin(const CAppHarness& h, const std::string& title)
{
    for (CMyFolderWin* win : FolderWins(h))
        if (CAppHarness::Title(win) == title) return win;
    return nullptr;
}

// Every task that is not a stand-alone one has finished (its reply was used).
inline bool Idle(const CAppHarness& h)
{
    for (CMyTask* task : h.App().Features().Tasks())
        if (!task->mIsStandAlone && !task->mIsFinished) return false;
    return true;
}

inline bool WaitIdle(CAppHarness& h, const char* what = "the requests to be answered")
{
    return h.WaitUntil([&] { return Idle(h); }, what);
}

// The root folder window, opened as the toolbar's Files button does, with its listing in.
inline CMyFolderWin* OpenRoot(CAppHarness& h)
{
    h.App().DoShowPublicFiles();
    if (!WaitIdle(h, "the root listing")) return nullptr;
    return h.App().GetRootFolderWin();
}

// Double-clicks the row of that name and waits for what it asked for.
inline void Open(CAppHarness& h, CMyFolderWin* win, const std::string& name, uint16_t mods = 0)
{
    Select(win, name);
    h.Hit(win, kHitFileList, 0, mods);
    WaitIdle(h);
}

inline std::string PathRecord(const std::vector<std::string>& levels)
{
    std::string record = testwire::BE16(uint16_t(levels.size()));
    for (const std::string& level : levels)
        record += std::string(2, '\0') + char(level.size()) + level;
    return record;
}

inline std::string WinPath(const CMyFolderWin* win)
{
    const uint8_t* p = win->GetPathData();
    return p ? std::string(reinterpret_cast<const char*>(p), win->GetPathSize()) : std::string();
}
} // namespace filestest
