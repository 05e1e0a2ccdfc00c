// The running tasks, one row each with its text and progress bar. The view owns the rows (the tasks
// window is the one place that knows them). Rows added or removed are shown at once; progress is
// repainted at most ten times a second: a fast transfer moves its bar a thousand times in a few
// seconds, and painting each step cost more than the transfers themselves.
#pragma once

#include <QTimer>
#include <memory>
#include <vector>

#include "client/tasks/CMyTaskRows.h"
#include "framework/ui/CListView.h"

class CMyTaskListView : public CListView
{
public:
    static constexpr int32_t kRowHeight = 39;
    static constexpr int kProgressPaintMs = 100;

    CMyTaskListView(SViewParent parent, const SRect& bounds);
    ~CMyTaskListView() override;

    CMyTaskRows& Model() const { return *mRows; }

    void AddTask(CMyTask* task, const uint8_t* text) { mRows->AddTask(task, text); }
    void RemoveTask(CMyTask* task) { mRows->RemoveTask(task); }
    void SetTaskProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text)
    {
        mRows->SetTaskProgress(task, value, max, text);
    }
    void ShowFinishedBar(CMyTask* task) { mRows->ShowFinishedBar(task); }
    CMyTask* GetSelectedTask() const;

    // Row texts for a screen reader.
    QString GetItemDescription(uint32_t row) const override;

protected:
    void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active) override;
    void SelectionChanged() override;

private:
    void RowsChanged(CMyTaskRows::EChange change, uint32_t row);

    std::unique_ptr<CMyTaskRows> mRows;
    QTimer mProgressPaint;
    // Rows whose progress changed since the last paint, by task: rows may move meanwhile.
    std::vector<const CMyTask*> mProgressed;
};
