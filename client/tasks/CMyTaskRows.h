// The rows of the tasks window: one per live task, in the order the tasks were added, each with its
// progress and text. The view that draws them listens to the change notice and repaints only what it
// is told changed.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class CMyTask;

struct SMyTaskNameInfo
{
    CMyTask* task; // not owned
    uint32_t progVal;
    uint32_t progMax;
    uint32_t textSize; // 0: no text
    uint8_t* textData; // owned, not terminated; null when there is no text
    bool finished;     // a finished transfer kept in view, drawn out of the way of the running ones
};

class CMyTaskRows
{
public:
    enum class EChange
    {
        Added,   // a row was appended at `row`
        Removed, // the row that was at `row` is gone
        Redraw,  // the row at `row` shows something new
    };
    using ChangeProc = std::function<void(EChange change, uint32_t row)>;

    CMyTaskRows() = default;
    ~CMyTaskRows();
    CMyTaskRows(const CMyTaskRows&) = delete;
    CMyTaskRows& operator=(const CMyTaskRows&) = delete;

    void SetChangeProc(ChangeProc proc) { mChangeProc = std::move(proc); }
    const ChangeProc& GetChangeProc() const { return mChangeProc; }

    // `text` is length-prefixed; null or empty leaves the row without text.
    void AddTask(CMyTask* task, const uint8_t* text);
    void RemoveTask(CMyTask* task);
    // A null text keeps the row's text; an empty one clears it.
    void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text);
    void ShowFinishedBar(CMyTask* task);
    // The row of `from` becomes `to`'s, in its place; the row `to` had goes. Nothing when `from` has none.
    void HandOver(CMyTask* from, CMyTask* to);

    // Rows are numbered from 1; 0 is no row.
    uint32_t GetRowCount() const { return uint32_t(mRows.size()); }
    const SMyTaskNameInfo* GetRow(uint32_t row) const;
    uint32_t FindRow(const CMyTask* task) const;
    void SetSelectedRow(uint32_t row);
    uint32_t GetSelectedRow() const { return mSelectedRow; }
    CMyTask* GetSelectedTask() const;

private:
    static void SetText(SMyTaskNameInfo& row, const uint8_t* text);
    void Changed(EChange change, uint32_t row);

    std::vector<SMyTaskNameInfo> mRows;
    uint32_t mSelectedRow = 0;
    ChangeProc mChangeProc;
};
