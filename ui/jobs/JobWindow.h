// The window as a job sees it: the requests a job sends to drive the window,
// the selection it reads and empties, and the one way to reach that selection
// safely from the worker thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lintrim/RunEvents.h"

// Thrown by a request when the window has gone (it was closed during the
// run); the run then stops, and RAII leaves every list as it was.
struct JobCancelled {};

class JobWindow {
public:
    virtual ~JobWindow() = default;

    // Each request is carried out where the window lives, in the order the
    // job makes them. A request that returns nothing may be handed over
    // without waiting; one that reads the window returns once everything
    // before it has been carried out. Any request may throw JobCancelled
    // (the window has gone), which stops the run.
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetCaptionText(int captionId, const std::string& text) = 0;
    virtual void SetProgressRange(int low, int high) = 0;
    virtual void SetProgressPos(int pos) = 0;
    virtual void EnableControl(int controlId, bool enabled) = 0;
    virtual void SetSingleTextReadOnly(bool readOnly) = 0;
    virtual void AcceptDroppedFiles(bool accept) = 0;
    virtual bool IsChecked(int checkBoxId) = 0;
    virtual void SetChecked(int checkBoxId, bool checked) = 0;
    virtual std::string GetSingleText() = 0;
    // The outcome of every list of the run, in order, once it has ended; a
    // window that shows no results ignores it.
    virtual void ShowResults(const std::vector<lintrim::ListOutcome>& /*outcomes*/) {}

    // Runs `access` on the window's own thread and waits for it. A job reads
    // or changes the selection below only inside such a call, so the window's
    // handlers and the job never touch it at the same time.
    virtual void AccessSelection(const std::function<void()>& access) = 0;

    // The selection: chosen input lists and reference lists (each count kept
    // equal to its list's length) and the line the single-line job deletes.
    std::vector<std::string> m_inputFiles;
    int m_inputCount = 0;
    std::vector<std::string> m_refFiles;
    int m_refCount = 0;
    std::string m_singleLine;
};
