// Where the running tasks show: one row per task with its text and progress bar, and the row the user
// selected. The tasks window is the display; the task list tells it what changed and never includes it.
#pragma once

#include <cstdint>

class CMyTask;

class CMyTaskDisplay
{
public:
    // `text` is length-prefixed; null or empty leaves the row without text.
    virtual void AddTaskRow(CMyTask* task, const uint8_t* text) = 0;
    virtual void RemoveTaskRow(CMyTask* task) = 0;
    // A null text keeps the row's text.
    virtual void SetTaskRowProgress(CMyTask* task, uint32_t value, uint32_t max, const uint8_t* text) = 0;
    virtual void ShowTaskRowFinished(CMyTask* task) = 0;
    // `to` takes over the row of `from`, and its own row goes; nothing when `from` has none.
    virtual void HandTaskRowOver(CMyTask* from, CMyTask* to) = 0;
    // Null when no row is selected.
    virtual CMyTask* GetSelectedTask() const = 0;

protected:
    ~CMyTaskDisplay() = default;
};
