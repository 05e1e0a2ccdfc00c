// The running tasks, one row each with its text and progress bar. The rows are a CMyTaskRows model:
// the view's own, or the application's once attached; the view repaints only the rows the model says
// changed.
#pragma once

#include <memory>

#include "client/tasks/CMyTaskRows.h"
#include "framework/ui/CListView.h"

class CMyTaskListView : public CListView
{
public:
    static constexpr int32_t kRowHeight = 39;

    CMyTaskListView(SViewParent parent, const SRect& bounds);
    ~CMyTaskListView() override;

    // Shows another model (not owned; null returns to the view's own). The model must outlive the view
    // or be detached first.
    void SetModel(CMyTaskRows* rows);
    CMyTaskRows& Model() const { return *mRows; }

    void AddTask(CMyTask* task, const uint8_t* text) { mRows->AddTask(task, text); }
    void RemoveTask(CMyTask* task) { mRows->RemoveTask(task); }
    void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text)
    {
        mRows->SetTaskProgress(task, value, max, text);
    }
    void ShowFinishedBar(CMyTask* task) { mRows->ShowFinishedBar(task); }
    CMyTask* GetSelectedTask() const;

protected:
    void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active) override;
    void SelectionChanged() override;

private:
    void RowsChanged(CMyTaskRows::EChange change, uint32_t row);
    void Attach(CMyTaskRows* rows);

    std::unique_ptr<CMyTaskRows> mOwnRows;
    CMyTaskRows* mRows;
};
