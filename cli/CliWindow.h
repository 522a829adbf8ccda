// The window of the command line: it holds the run's lists as the
// selection and, on a terminal, draws a progress bar on standard error
// from the stage texts and positions. It has no check boxes: the options
// reach the job as data, and results come through the results channel.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "JobWindow.h"

class CliWindow : public JobWindow {
public:
    CliWindow(std::FILE* err, bool showProgress);

    void SetStatusText(const std::string& text) override;
    void SetCaptionText(int, const std::string&) override {}
    void SetProgressRange(int low, int high) override;
    void SetProgressPos(int pos) override;
    void EnableControl(int, bool) override {}
    void SetSingleTextReadOnly(bool) override {}
    void AcceptDroppedFiles(bool) override {}
    bool IsChecked(int) override { return false; }
    void SetChecked(int, bool) override {}
    std::string GetSingleText() override { return {}; }
    // Everything runs on the one thread of the command line.
    void AccessSelection(const std::function<void()>& access) override { access(); }

    void Choose(const std::vector<std::string>& lists, const std::vector<std::string>& refs);
    // The bytes each progress range stands for, in order (one a list, or one
    // for lists merged into one output), for the rate shown on long runs.
    void SetRangeBytes(std::vector<uint64_t> bytes) { m_rangeBytes = std::move(bytes); }
    // Takes the bar off the line, before a report is printed.
    void ClearProgress();

private:
    void DrawProgress();
    // ", 41 MB/s, about 12 s left" once a range has run a while, else empty.
    std::string Pace() const;

    std::FILE* m_err;
    bool m_showProgress;
    std::string m_status;
    int m_high = 5000;
    int m_pos = -1;
    int m_drawn = -1;  // the per-mille last drawn
    std::vector<uint64_t> m_rangeBytes;
    size_t m_ranges = 0;  // ranges begun
    std::chrono::steady_clock::time_point m_rangeStart;
};
