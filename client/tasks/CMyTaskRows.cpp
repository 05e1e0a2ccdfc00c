#include "client/tasks/CMyTaskRows.h"

#include <cstring>
#include <new>

#include "client/core/CMyTask.h"
#include "framework/runtime/SError.h"
#include "framework/runtime/UMemory.h"

CMyTaskRows::~CMyTaskRows()
{
    for (SMyTaskNameInfo& row : mRows)
        UMemory::Dispose(static_cast<TPtrObj*>(row.textData));
}

void CMyTaskRows::SetText(SMyTaskNameInfo& row, const uint8_t* text)
{
    // The new text is copied before the old one goes, so a failed copy leaves the row as it was.
    uint8_t* copy = nullptr;
    const uint32_t size = text ? text[0] : 0;
    if (size) copy = static_cast<uint8_t*>(UMemory::New(text + 1, size));
    UMemory::Dispose(static_cast<TPtrObj*>(row.textData));
    row.textData = copy;
    row.textSize = size;
}

void CMyTaskRows::AddTask(CMyTask* task, const uint8_t* text)
{
    if (!task) Fail(kErrTypeGeneral, 2);
    SMyTaskNameInfo row{task, 0, 0, 0, nullptr, false};
    SetText(row, text);
    try
    {
        mRows.push_back(row);
    }
    catch (const std::bad_alloc&)
    {
        UMemory::Dispose(static_cast<TPtrObj*>(row.textData));
        Fail(kErrTypeMemory, 101);
    }
    Changed(EChange::Added, GetRowCount());
}

void CMyTaskRows::RemoveTask(CMyTask* task)
{
    const uint32_t row = FindRow(task);
    if (!row) return;
    UMemory::Dispose(static_cast<TPtrObj*>(mRows[row - 1].textData));
    mRows.erase(mRows.begin() + (row - 1));
    if (mSelectedRow == row)
        mSelectedRow = 0;
    else if (mSelectedRow > row)
        --mSelectedRow;
    Changed(EChange::Removed, row);
}

void CMyTaskRows::SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text)
{
    const uint32_t index = FindRow(task);
    if (!index) return;
    SMyTaskNameInfo& row = mRows[index - 1];
    bool changed = false;
    if (row.progVal != value || row.progMax != max)
    {
        row.progVal = value;
        row.progMax = max;
        changed = true;
    }
    if (text)
    {
        SetText(row, text);
        changed = true;
    }
    if (changed) Changed(EChange::Redraw, index);
}

void CMyTaskRows::ShowFinishedBar(CMyTask* task)
{
    const uint32_t index = FindRow(task);
    if (!index) return;
    SMyTaskNameInfo& row = mRows[index - 1];
    if (row.progMax != 0 && row.progVal >= row.progMax) return;
    row.progVal = row.progMax = 100;
    Changed(EChange::Redraw, index);
}

void CMyTaskRows::HandOver(CMyTask* from, CMyTask* to)
{
    if (!FindRow(from) || !to || from == to) return;
    RemoveTask(to);
    const uint32_t index = FindRow(from);
    mRows[index - 1].task = to;
    mRows[index - 1].finished = to->IsKeptFinished();
    Changed(EChange::Redraw, index);
}

const SMyTaskNameInfo* CMyTaskRows::GetRow(uint32_t row) const
{
    return row && row <= mRows.size() ? &mRows[row - 1] : nullptr;
}

uint32_t CMyTaskRows::FindRow(const CMyTask* task) const
{
    if (!task) return 0;
    for (size_t i = 0; i < mRows.size(); ++i)
        if (mRows[i].task == task) return uint32_t(i + 1);
    return 0;
}

void CMyTaskRows::SetSelectedRow(uint32_t row)
{
    mSelectedRow = row <= mRows.size() ? row : 0;
}

CMyTask* CMyTaskRows::GetSelectedTask() const
{
    const SMyTaskNameInfo* row = GetRow(mSelectedRow);
    return row ? row->task : nullptr;
}

void CMyTaskRows::Changed(EChange change, uint32_t row)
{
    if (mChangeProc) mChangeProc(change, row);
}
